#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

struct Colour {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    auto operator<=>(const Colour&) const = default;
};

constexpr Colour kBlack{0x00, 0x00, 0x00};
constexpr Colour kGrey{0xC0, 0xC0, 0xC0};
constexpr Colour kWhite{0xFF, 0xFF, 0xFF};
constexpr Colour kRed{0xFF, 0x00, 0x00};
constexpr Colour kYellow{0xFF, 0xFF, 0x00};

const std::array<Colour, 16> kWindows16{{
    {0x00, 0x00, 0x00},
    {0x80, 0x00, 0x00},
    {0x00, 0x80, 0x00},
    {0x80, 0x80, 0x00},
    {0x00, 0x00, 0x80},
    {0x80, 0x00, 0x80},
    {0x00, 0x80, 0x80},
    {0xC0, 0xC0, 0xC0},
    {0x80, 0x80, 0x80},
    {0xFF, 0x00, 0x00},
    {0x00, 0xFF, 0x00},
    {0xFF, 0xFF, 0x00},
    {0x00, 0x00, 0xFF},
    {0xFF, 0x00, 0xFF},
    {0x00, 0xFF, 0xFF},
    {0xFF, 0xFF, 0xFF},
}};

uint32_t le(const Bytes& b, size_t at, int size) {
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = (value << 8) | b.at(at + static_cast<size_t>(i));
    return value;
}

// Just enough of a BMP reader for an uncompressed 4-bit picture stored bottom-up.
struct Bmp4 {
    Bytes file;
    uint32_t pixelOffset = 0;
    int32_t width = 0;
    int32_t height = 0;
    uint16_t bitsPerPixel = 0;
    uint32_t compression = 0;
    std::array<Colour, 16> palette{};

    explicit Bmp4(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        file.assign(std::istreambuf_iterator<char>(in), {});
        if (file.size() < 14 + 40 + 64) return;
        pixelOffset = le(file, 10, 4);
        width = static_cast<int32_t>(le(file, 18, 4));
        height = static_cast<int32_t>(le(file, 22, 4));
        bitsPerPixel = static_cast<uint16_t>(le(file, 28, 2));
        compression = le(file, 30, 4);
        const size_t paletteAt = 14 + le(file, 14, 4);
        for (size_t i = 0; i < palette.size(); ++i) {
            const size_t at = paletteAt + 4 * i;  // blue, green, red, unused
            palette[i] = {file.at(at + 2), file.at(at + 1), file.at(at)};
        }
    }

    size_t stride() const { return ((static_cast<size_t>(width) * 4 + 31) / 32) * 4; }

    Colour pixel(int x, int y) const {
        const size_t row = static_cast<size_t>(height - 1 - y);
        const uint8_t pair = file.at(pixelOffset + row * stride() + static_cast<size_t>(x / 2));
        return palette[x % 2 == 0 ? pair >> 4 : pair & 0x0F];
    }

    std::set<Colour> colours() const {
        std::set<Colour> seen;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) seen.insert(pixel(x, y));
        }
        return seen;
    }

    int countInRow(int y, Colour colour) const {
        int count = 0;
        for (int x = 0; x < width; ++x) count += pixel(x, y) == colour ? 1 : 0;
        return count;
    }

    // Leftmost and rightmost column holding a pixel of colour, or {-1, -1}.
    std::pair<int, int> columnsWith(Colour colour) const {
        std::pair<int, int> span{-1, -1};
        for (int x = 0; x < width; ++x) {
            for (int y = 0; y < height; ++y) {
                if (pixel(x, y) != colour) continue;
                if (span.first < 0) span.first = x;
                span.second = x;
            }
        }
        return span;
    }
};

std::string resource(const char* name) { return std::string(QM_SOURCE_DIR) + "/resources/" + name; }

struct Picture {
    const char* file;
    int width;
    int height;
};

class PopupBitmap : public testing::TestWithParam<Picture> {};

TEST_P(PopupBitmap, IsAnUncompressed16ColourBitmapOfItsSize) {
    const Bmp4 bmp(resource(GetParam().file));
    ASSERT_GE(bmp.file.size(), 14u + 40 + 64) << GetParam().file;
    EXPECT_EQ(bmp.file[0], 'B');
    EXPECT_EQ(bmp.file[1], 'M');
    EXPECT_EQ(le(bmp.file, 2, 4), bmp.file.size());
    EXPECT_EQ(le(bmp.file, 14, 4), 40u);  // BITMAPINFOHEADER
    EXPECT_EQ(bmp.width, GetParam().width);
    EXPECT_EQ(bmp.height, GetParam().height);  // positive: bottom-up
    EXPECT_EQ(bmp.bitsPerPixel, 4);
    EXPECT_EQ(bmp.compression, 0u);
    const uint32_t coloursUsed = le(bmp.file, 46, 4);
    EXPECT_TRUE(coloursUsed == 0 || coloursUsed == 16) << coloursUsed;
    EXPECT_EQ(bmp.palette, kWindows16);
    EXPECT_EQ(bmp.pixelOffset + bmp.stride() * static_cast<size_t>(bmp.height), bmp.file.size());
    for (const auto& [x, y] : {std::pair{0, 0}, {bmp.width - 1, 0}, {0, bmp.height - 1}}) {
        EXPECT_EQ(bmp.pixel(x, y), kGrey) << x << "," << y;
    }
}

INSTANTIATE_TEST_SUITE_P(Popups, PopupBitmap,
                         testing::Values(Picture{"popup_good_read.bmp", 129, 51},
                                         Picture{"popup_no_read.bmp", 180, 51}));

TEST(PopupBitmaps, GoodReadIsBlackWordsOnGreyAcrossThePicture) {
    const Bmp4 bmp(resource("popup_good_read.bmp"));
    ASSERT_EQ(bmp.bitsPerPixel, 4);
    const std::set<Colour> colours = bmp.colours();
    EXPECT_TRUE(colours.contains(kBlack));
    EXPECT_TRUE(colours.contains(kGrey));
    for (const Colour& c : colours) EXPECT_TRUE(c == kBlack || c == kGrey || c == kWhite);
    const auto [left, right] = bmp.columnsWith(kBlack);
    EXPECT_GT(right - left, bmp.width * 3 / 4);
}

TEST(PopupBitmaps, NoReadHasTheWarningTriangleLeftOfTheWords) {
    const Bmp4 bmp(resource("popup_no_read.bmp"));
    ASSERT_EQ(bmp.bitsPerPixel, 4);
    const std::set<Colour> colours = bmp.colours();
    for (const Colour& c : {kYellow, kRed, kBlack, kGrey}) EXPECT_TRUE(colours.contains(c));
    const auto [redLeft, redRight] = bmp.columnsWith(kRed);
    const auto [yellowLeft, yellowRight] = bmp.columnsWith(kYellow);
    const auto [blackLeft, blackRight] = bmp.columnsWith(kBlack);
    EXPECT_LT(redLeft, yellowLeft);  // the red border encloses the yellow
    EXPECT_GT(redRight, yellowRight);
    EXPECT_LT(redRight, bmp.width / 3);
    EXPECT_GT(blackLeft, redLeft);             // the exclamation mark inside the triangle
    EXPECT_GT(blackRight, bmp.width * 3 / 4);  // and the words to its right
    // Point up: rows are stored bottom-up, so a reader that flips them sees the apex below.
    EXPECT_LT(
        bmp.countInRow(bmp.height / 8, kRed) + bmp.countInRow(bmp.height / 8, kYellow),
        bmp.countInRow(bmp.height * 7 / 8, kRed) + bmp.countInRow(bmp.height * 7 / 8, kYellow));
}

}  // namespace
