#include "platform/sim/SimEngineSymbology.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace qm::sim {
namespace {

using S = Symbology;

constexpr SymbologyInfo kSymbologies[] = {
    {S::Code39, "code39", false, 0, 0x01, "]A0", 'B'},
    {S::TriopticCode39, "trioptic39", false, 13, 0x15, "]X0", 'B'},
    {S::Code93, "code93", false, 9, 0x07, "]G0", 'D'},
    {S::Code128, "code128", false, 8, 0x03, "]C0", 'K'},
    {S::UccEan128, "uccean128", false, 14, 0x0F, "]C1", 'K'},
    {S::Isbt128, "isbt128", false, 84, 0x19, "]C4", 'K'},
    {S::MsiPlessey, "msi", false, 11, 0x0E, "]M0", 'J'},
    {S::Discrete2of5, "d2of5", false, 5, 0x04, "]S0", 'H'},
    {S::Interleaved2of5, "i2of5", false, 6, 0x06, "]I0", 'F'},
    {S::Codabar, "codabar", false, 7, 0x02, "]F0", 'C'},
    {S::UpcA, "upca", false, 1, 0x08, "]E0", 'A'},
    {S::UpcE, "upce", false, 2, 0x09, "]E0", 'A'},
    {S::UpcE1, "upce1", false, 12, 0x10, "]E0", 'A'},
    {S::Ean8, "ean8", false, 4, 0x0A, "]E4", 'A'},
    {S::Ean13, "ean13", false, 3, 0x0B, "]E0", 'A'},
    {S::BooklandEan, "bookland", false, 83, 0x16, "]X0", 'L'},
    {S::Rss14, "rss14", true, 0x52, 0x30, "]e0", 'R'},
    {S::RssLimited, "rsslimited", true, 0x53, 0x31, "]e0", 'R'},
    {S::RssExpanded, "rssexpanded", true, 0x54, 0x32, "]e0", 'R'},
};

std::string lowerCase(std::string_view text) {
    std::string lowered(text);
    std::ranges::transform(lowered, lowered.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lowered;
}

}  // namespace

const SymbologyInfo& symbologyInfo(Symbology symbology) {
    return *std::ranges::find(kSymbologies, symbology, &SymbologyInfo::symbology);
}

std::optional<Symbology> symbologyByName(std::string_view name) {
    const std::string wanted = lowerCase(name);
    const auto* found = std::ranges::find(kSymbologies, wanted, &SymbologyInfo::name);
    if (found == std::end(kSymbologies)) return std::nullopt;
    return found->symbology;
}

}  // namespace qm::sim
