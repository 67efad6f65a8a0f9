#include "ui/setup/ControlCatalogue.h"

#include <algorithm>
#include <array>

namespace qm::ui {

namespace {

using Kind = CatalogueControlKind;

constexpr CatalogueControl box(int page, int id, std::string_view field) {
    return {page, id, field, Kind::CheckBox};
}
constexpr CatalogueControl list(int page, int id, std::string_view field) {
    return {page, id, field, Kind::List};
}
constexpr CatalogueControl length(int page, int edit, int spin, std::string_view field) {
    return {page, edit, field, Kind::Length, spin};
}
constexpr CatalogueControl format(int page, int id, std::string_view field) {
    return {page, id, field, Kind::DataFormatList};
}

// Grouped by page, so that one page's controls are one run of the table.
constexpr std::array kControls{
    // Scanner: the one control of the page that is an ordinary catalogue check box
    box(143, 1007, "bidirectionalRead"),
    // Data Format
    format(103, 1013, "dataFormatText"),
    format(103, 1015, "codeIdText"),
    format(103, 1016, "prefixText"),
    format(103, 1017, "suffix1Text"),
    format(103, 1018, "suffix2Text"),
    // Code Type
    box(130, 1047, "enableMsiPlessey"),
    box(130, 1049, "enableDiscrete2of5"),
    box(130, 1050, "enableInterleaved2of5"),
    box(130, 1048, "enableRss"),
    box(130, 1043, "enableCodabar"),
    box(130, 1016, "enableBooklandEan"),
    box(130, 1040, "enableCode39"),
    box(130, 1008, "enableTriopticCode39"),
    box(130, 1041, "enableCode93"),
    box(130, 1044, "enableUss128"),
    box(130, 1023, "enableUccEan128"),
    box(130, 1022, "enableIsbt128"),
    box(130, 1004, "enableUpcA"),
    box(130, 1007, "enableUpcE"),
    box(130, 1010, "enableUpcE1"),
    box(130, 1013, "enableEan8"),
    box(130, 1015, "enableEan13"),
    // UPC/EAN 1
    list(155, 1002, "securityLevelText"),
    box(155, 1003, "couponCode"),
    box(155, 1005, "upcACheckDigit"),
    list(155, 1006, "upcAPreambleText"),
    box(155, 1008, "upcECheckDigit"),
    list(155, 1009, "upcEPreambleText"),
    box(155, 1011, "upcE1CheckDigit"),
    list(155, 1012, "upcE1PreambleText"),
    box(155, 1014, "ean8ZeroExtend"),
    // UPC/EAN 2
    list(156, 1005, "supplementsText"),
    list(156, 1009, "supplementRedundancyText"),
    box(156, 1006, "upcEToUpcA"),
    box(156, 1007, "upcE1ToUpcA"),
    box(156, 1008, "ean8ToEan13"),
    // Code39
    length(146, 1013, 1014, "code39Length1"),
    length(146, 1017, 1018, "code39Length2"),
    box(146, 1060, "code32Prefix"),
    box(146, 1008, "code39ToCode32"),
    box(146, 1009, "code39TransmitCheckDigit"),
    box(146, 1010, "code39VerifyCheckDigit"),
    box(146, 1011, "code39FullAscii"),
    // MSIPlessey
    length(151, 1015, 1029, "msiLength1"),
    length(151, 1017, 1030, "msiLength2"),
    list(151, 1016, "msiCheckDigitsText"),
    list(151, 1018, "msiAlgorithmText"),
    box(151, 1033, "msiTransmitCheckDigit"),
    // Interleaved
    length(154, 1018, 1029, "i2of5Length1"),
    length(154, 1019, 1030, "i2of5Length2"),
    list(154, 1010, "i2of5VerifyText"),
    box(154, 1020, "i2of5TransmitCheckDigit"),
    box(154, 1021, "i2of5ToEan13"),
    // RSS/Code93/Discrete
    box(158, 1030, "rss14Limited"),
    box(158, 1031, "rss14Extended"),
    length(158, 1036, 1037, "d2of5Length1"),
    length(158, 1040, 1041, "d2of5Length2"),
    length(158, 1034, 1035, "code93Length1"),
    length(158, 1038, 1039, "code93Length2"),
    // Codabar
    length(159, 1036, 1037, "codabarLength1"),
    length(159, 1039, 1040, "codabarLength2"),
    box(159, 1028, "clsiEditing"),
    box(159, 1029, "notisEditing"),
};

}  // namespace

std::span<const CatalogueControl> catalogueControls() { return kControls; }

std::span<const CatalogueControl> catalogueControlsOf(int templateId) {
    const auto onPage = [templateId](const CatalogueControl& c) {
        return c.templateId == templateId;
    };
    const auto first = std::find_if(kControls.begin(), kControls.end(), onPage);
    const auto last = std::find_if_not(first, kControls.end(), onPage);
    return {first, last};
}

const CatalogueControl* findCatalogueControl(int templateId, int controlId) {
    for (const CatalogueControl& c : catalogueControlsOf(templateId))
        if (c.controlId == controlId) return &c;
    return nullptr;
}

}  // namespace qm::ui
