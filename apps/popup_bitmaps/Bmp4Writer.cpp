#include "Bmp4Writer.h"

#include <cstddef>

#include "Palette16.h"

namespace qm::popup_bitmaps {

namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kPaletteSize = 16 * 4;
constexpr int32_t kPixelsPerMetre = 2835;  // 72 dots per inch

void put16(std::vector<uint8_t>& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t value) {
    put16(out, static_cast<uint16_t>(value));
    put16(out, static_cast<uint16_t>(value >> 16));
}

// Two pixels a byte, the left one in the high nibble; every row padded to 4 bytes.
uint32_t rowStride(int width) { return ((static_cast<uint32_t>(width) * 4 + 31) / 32) * 4; }

void putHeaders(std::vector<uint8_t>& out, const IndexedPicture& picture, uint32_t pixelBytes) {
    const uint32_t pixelOffset = kFileHeaderSize + kInfoHeaderSize + kPaletteSize;
    out.push_back('B');
    out.push_back('M');
    put32(out, pixelOffset + pixelBytes);
    put32(out, 0);
    put32(out, pixelOffset);

    put32(out, kInfoHeaderSize);
    put32(out, static_cast<uint32_t>(picture.width));
    put32(out, static_cast<uint32_t>(picture.height));  // positive: rows stored bottom-up
    put16(out, 1);                                      // planes
    put16(out, 4);                                      // bits per pixel
    put32(out, 0);                                      // uncompressed
    put32(out, pixelBytes);
    put32(out, kPixelsPerMetre);
    put32(out, kPixelsPerMetre);
    put32(out, 16);  // colours used
    put32(out, 0);   // all colours important
}

void putPalette(std::vector<uint8_t>& out) {
    for (const Rgb& colour : kPalette16) {
        out.insert(out.end(), {colour.b, colour.g, colour.r, 0});
    }
}

void putRow(std::vector<uint8_t>& out, const IndexedPicture& picture, int y, uint32_t stride) {
    const size_t rowStart = out.size();
    out.resize(rowStart + stride, 0);
    for (int x = 0; x < picture.width; ++x) {
        const uint8_t index = picture.indices[static_cast<size_t>(y * picture.width + x)] & 0x0F;
        out[rowStart + static_cast<size_t>(x / 2)] |= (x % 2 == 0) ? index << 4 : index;
    }
}

}  // namespace

std::vector<uint8_t> encodeBmp4(const IndexedPicture& picture) {
    const uint32_t stride = rowStride(picture.width);
    const uint32_t pixelBytes = stride * static_cast<uint32_t>(picture.height);
    std::vector<uint8_t> out;
    out.reserve(kFileHeaderSize + kInfoHeaderSize + kPaletteSize + pixelBytes);
    putHeaders(out, picture, pixelBytes);
    putPalette(out);
    for (int y = picture.height - 1; y >= 0; --y) putRow(out, picture, y, stride);
    return out;
}

}  // namespace qm::popup_bitmaps
