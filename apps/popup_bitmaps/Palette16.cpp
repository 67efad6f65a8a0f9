#include "Palette16.h"

namespace qm::popup_bitmaps {

namespace {

int squaredDistance(Rgb a, Rgb b) {
    const int dr = a.r - b.r;
    const int dg = a.g - b.g;
    const int db = a.b - b.b;
    return dr * dr + dg * dg + db * db;
}

}  // namespace

uint8_t nearestPaletteIndex(Rgb colour) {
    uint8_t best = 0;
    for (uint8_t i = 1; i < kPalette16.size(); ++i) {
        if (squaredDistance(colour, kPalette16[i]) < squaredDistance(colour, kPalette16[best])) {
            best = i;
        }
    }
    return best;
}

}  // namespace qm::popup_bitmaps
