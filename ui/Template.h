#pragma once

#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace qm::ui {

enum class ControlKind {
    PushButton,
    CheckBox,
    RadioButton,
    LeftText,
    CentredText,
    RightText,
    GroupBox,
    Edit,
    DropDownList,
    UpDown,
    ListBox,
    ProgressBar,
    Bitmap,
    Icon,
    TabControl,
};

// Control styles, as bits of ControlTemplate::styles.
namespace style {
inline constexpr unsigned Hidden = 1u << 0;
inline constexpr unsigned Disabled = 1u << 1;
inline constexpr unsigned MultiLine = 1u << 2;
inline constexpr unsigned Centred = 1u << 3;
inline constexpr unsigned TabStop = 1u << 4;
inline constexpr unsigned Group = 1u << 5;
inline constexpr unsigned ReadOnly = 1u << 6;
inline constexpr unsigned Number = 1u << 7;
inline constexpr unsigned Border = 1u << 8;
inline constexpr unsigned AutoScroll = 1u << 9;
inline constexpr unsigned VerticalScroll = 1u << 10;
inline constexpr unsigned TextLeft = 1u << 11;
inline constexpr unsigned ArrowKeys = 1u << 12;
inline constexpr unsigned Default = 1u << 13;
}  // namespace style

// Window styles, as bits of DialogTemplate::styles.
namespace window {
inline constexpr unsigned Caption = 1u << 0;
inline constexpr unsigned Border = 1u << 1;
inline constexpr unsigned SystemMenu = 1u << 2;
inline constexpr unsigned Centred = 1u << 3;
inline constexpr unsigned Visible = 1u << 4;
inline constexpr unsigned Foreground = 1u << 5;
inline constexpr unsigned NoCaption = 1u << 6;
}  // namespace window

// Controls without an id of their own (labels, group boxes) carry NoId.
inline constexpr int NoId = -1;

struct TabPage {
    QString caption;
    int templateId = 0;
};

struct ControlTemplate {
    int id = NoId;
    ControlKind kind = ControlKind::LeftText;
    QString text;
    QRect rect;  // dialog units
    unsigned styles = 0;
    QStringList items;           // drop-down list and list box entries, in order
    int image = 0;               // bitmap or icon resource number
    int buddy = NoId;            // up-down: the edit it steps
    std::vector<int> labels;     // label: the controls it names when not just the next one
    QString description;         // extra words for assistive technology
    std::vector<TabPage> pages;  // tab control: its pages, in tab order

    bool has(unsigned styleBit) const { return (styles & styleBit) != 0; }
};

enum class TemplateKind { Dialog, Child, Popup };

struct DialogTemplate {
    int id = 0;
    TemplateKind kind = TemplateKind::Dialog;
    QString caption;
    QSize size;                      // dialog units
    std::optional<QPoint> position;  // dialog units, relative to the owner
    QString fontFace;
    int fontPoints = 8;
    unsigned styles = 0;
    std::vector<ControlTemplate> controls;

    bool has(unsigned windowStyle) const { return (styles & windowStyle) != 0; }
    const ControlTemplate* find(int controlId) const;
};

struct MenuItem {
    QString text;
    int command = 0;              // 0 for a pop-up or a soft key that opens one
    int popup = -1;               // soft key: the index of the pop-up it opens
    std::vector<MenuItem> items;  // a pop-up's entries
};

struct MenuTemplate {
    int id = 0;
    std::vector<MenuItem> items;     // the pop-up menus
    std::vector<MenuItem> softKeys;  // the menu bar; a soft key with items opens them
};

}  // namespace qm::ui
