#include "ui/ControlFactory.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QStyle>

#include "ui/CheckBox.h"
#include "ui/ControlLookup.h"
#include "ui/ControlText.h"
#include "ui/DropDownList.h"
#include "ui/TabControl.h"
#include "ui/UpDownControl.h"

namespace qm::ui {

namespace {

QWidget* makeButton(const ControlTemplate& c, QWidget* host) {
    auto* button = new QPushButton(c.text, host);
    button->setAutoDefault(false);
    button->setDefault(c.has(style::Default));
    return button;
}

QWidget* makeCheckBox(const ControlTemplate& c, QWidget* host) {
    auto* box = new CheckBox(c.text, host);
    if (c.has(style::TextLeft)) box->setLayoutDirection(Qt::RightToLeft);
    return box;
}

QWidget* makeLabel(const ControlTemplate& c, QWidget* host, Qt::Alignment alignment) {
    // Shown without mnemonics until a buddy is set; static texts wrap at word boundaries.
    auto* label = new QLabel(withoutMnemonics(c.text), host);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(alignment | Qt::AlignTop);
    label->setWordWrap(true);
    return label;
}

QWidget* makeEdit(const ControlTemplate& c, QWidget* host) {
    auto* edit = new QLineEdit(c.text, host);
    edit->setReadOnly(c.has(style::ReadOnly));
    edit->setFrame(c.has(style::Border));
    if (c.has(style::Centred)) edit->setAlignment(Qt::AlignCenter);
    if (c.has(style::Number)) {
        edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edit));
    }
    return edit;
}

QWidget* makeDropDownList(const ControlTemplate& c, QWidget* host) {
    auto* list = new DropDownList(host);
    list->addItems(c.items);
    list->setCurrentIndex(-1);
    return list;
}

QWidget* makeListBox(const ControlTemplate& c, QWidget* host) {
    auto* list = new QListWidget(host);
    list->addItems(c.items);
    return list;
}

QWidget* makeProgressBar(QWidget* host) {
    auto* bar = new QProgressBar(host);
    bar->setTextVisible(false);
    bar->setRange(0, 100);
    bar->setValue(0);
    return bar;
}

QWidget* makeBitmap(const ControlTemplate& c, QWidget* host) {
    auto* picture = new QLabel(host);
    picture->setPixmap(QPixmap(QStringLiteral(":/bitmaps/%1.bmp").arg(c.image)));
    picture->setAlignment(c.has(style::Centred) ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignTop);
    return picture;
}

QIcon iconNumbered(int number, const QWidget* host) {
    const QIcon shipped(QStringLiteral(":/icons/%1.png").arg(number));
    if (!shipped.availableSizes().isEmpty()) return shipped;
    if (!QApplication::windowIcon().isNull()) return QApplication::windowIcon();
    return host->style()->standardIcon(QStyle::SP_ComputerIcon);
}

QWidget* makeIcon(const ControlTemplate& c, QWidget* host) {
    auto* picture = new QLabel(host);
    const int side = host->style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, host);
    picture->setPixmap(iconNumbered(c.image, host).pixmap(side, side));
    return picture;
}

QWidget* makeWidget(const ControlTemplate& c, QWidget* host) {
    switch (c.kind) {
        case ControlKind::PushButton:
            return makeButton(c, host);
        case ControlKind::CheckBox:
            return makeCheckBox(c, host);
        case ControlKind::RadioButton:
            return new QRadioButton(c.text, host);
        case ControlKind::LeftText:
            return makeLabel(c, host, Qt::AlignLeft);
        case ControlKind::CentredText:
            return makeLabel(c, host, Qt::AlignHCenter);
        case ControlKind::RightText:
            return makeLabel(c, host, Qt::AlignRight);
        case ControlKind::GroupBox:
            return new QGroupBox(c.text, host);
        case ControlKind::Edit:
            return makeEdit(c, host);
        case ControlKind::DropDownList:
            return makeDropDownList(c, host);
        case ControlKind::UpDown:
            return new UpDownControl(host);
        case ControlKind::ListBox:
            return makeListBox(c, host);
        case ControlKind::ProgressBar:
            return makeProgressBar(host);
        case ControlKind::Bitmap:
            return makeBitmap(c, host);
        case ControlKind::Icon:
            return makeIcon(c, host);
        case ControlKind::TabControl:
            return new TabControl(host);
    }
    return new QWidget(host);
}

// A drop-down list's rectangle spans its dropped list; closed, it is as tall as its font
// makes it, and the rest of the rectangle says how many entries the list shows at once.
void placeDropDownList(QComboBox* list, const QRect& area) {
    const int closedHeight = list->sizeHint().height();
    const int entryHeight = std::max(1, list->fontMetrics().height());
    list->setGeometry(area.x(), area.y(), area.width(), closedHeight);
    list->setMaxVisibleItems(std::max(1, (area.height() - closedHeight) / entryHeight));
}

void place(QWidget* widget, const ControlTemplate& c, const DialogUnits& units) {
    const QRect area = units.rect(c.rect);
    if (auto* list = qobject_cast<QComboBox*>(widget)) {
        placeDropDownList(list, area);
    } else if (c.kind == ControlKind::Icon) {
        widget->setGeometry(QRect(area.topLeft(), widget->sizeHint()));
    } else {
        widget->setGeometry(area);
    }
}

}  // namespace

QWidget* createControl(const ControlTemplate& control, QWidget* host, const DialogUnits& units) {
    QWidget* widget = makeWidget(control, host);
    tagControl(widget, control.id);
    place(widget, control, units);
    if (control.has(style::Hidden)) widget->hide();
    if (control.has(style::Disabled)) widget->setEnabled(false);
    if (control.has(style::TabStop)) widget->setFocusPolicy(Qt::StrongFocus);
    return widget;
}

}  // namespace qm::ui
