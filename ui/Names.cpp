#include "ui/Names.h"

#include <utility>

namespace qm::ui {

namespace {

template <typename Value, std::size_t N>
std::optional<Value> lookUp(const std::pair<const char*, Value> (&table)[N], const QString& name) {
    for (const auto& [word, value] : table) {
        if (name == QLatin1String(word)) return value;
    }
    return std::nullopt;
}

const std::pair<const char*, ControlKind> ControlKinds[] = {
    {"pushbutton", ControlKind::PushButton},
    {"checkbox", ControlKind::CheckBox},
    {"radiobutton", ControlKind::RadioButton},
    {"ltext", ControlKind::LeftText},
    {"ctext", ControlKind::CentredText},
    {"rtext", ControlKind::RightText},
    {"groupbox", ControlKind::GroupBox},
    {"edit", ControlKind::Edit},
    {"dropdownlist", ControlKind::DropDownList},
    {"updown", ControlKind::UpDown},
    {"listbox", ControlKind::ListBox},
    {"progress", ControlKind::ProgressBar},
    {"bitmap", ControlKind::Bitmap},
    {"icon", ControlKind::Icon},
    {"tab", ControlKind::TabControl},
};

const std::pair<const char*, TemplateKind> TemplateKinds[] = {
    {"dialog", TemplateKind::Dialog},
    {"child", TemplateKind::Child},
    {"popup", TemplateKind::Popup},
};

const std::pair<const char*, unsigned> ControlStyles[] = {
    {"hidden", style::Hidden},          {"disabled", style::Disabled},
    {"multiline", style::MultiLine},    {"centred", style::Centred},
    {"tabstop", style::TabStop},        {"group", style::Group},
    {"readonly", style::ReadOnly},      {"number", style::Number},
    {"border", style::Border},          {"autoscroll", style::AutoScroll},
    {"vscroll", style::VerticalScroll}, {"textleft", style::TextLeft},
    {"arrowkeys", style::ArrowKeys},    {"default", style::Default},
};

const std::pair<const char*, unsigned> WindowStyles[] = {
    {"caption", window::Caption},     {"border", window::Border},
    {"sysmenu", window::SystemMenu},  {"centred", window::Centred},
    {"visible", window::Visible},     {"foreground", window::Foreground},
    {"nocaption", window::NoCaption},
};

}  // namespace

std::optional<ControlKind> controlKindNamed(const QString& name) {
    return lookUp(ControlKinds, name);
}

std::optional<TemplateKind> templateKindNamed(const QString& name) {
    return lookUp(TemplateKinds, name);
}

std::optional<unsigned> controlStyleNamed(const QString& name) {
    return lookUp(ControlStyles, name);
}

std::optional<unsigned> windowStyleNamed(const QString& name) { return lookUp(WindowStyles, name); }

}  // namespace qm::ui
