#pragma once

#include <cstdint>
#include <vector>

namespace qm::popup_bitmaps {

// A picture as indices into kPalette16, row by row from the top.
struct IndexedPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> indices;
};

// The bytes of an uncompressed 4-bit BMP file of the picture with kPalette16.
std::vector<uint8_t> encodeBmp4(const IndexedPicture& picture);

}  // namespace qm::popup_bitmaps
