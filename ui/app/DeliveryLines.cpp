#include "ui/app/DeliveryLines.h"

#include <QLabel>
#include <QVBoxLayout>

namespace qm::ui {

namespace {

QLabel* line(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setFocusPolicy(Qt::NoFocus);
    return label;
}

void setLine(QLabel* label, const QString& text, bool warning) {
    label->setText(text);
    label->setAccessibleName(text);
    label->setVisible(!text.isEmpty());
    // Bold rather than a colour, which some themes and readers lose.
    QFont font = label->font();
    font.setBold(warning);
    label->setFont(font);
}

}  // namespace

QString lostDecodesText(int lost) {
    if (lost <= 0) return {};
    if (lost == 1) return "1 bar code read was typed into no application.";
    return QString("%1 bar codes read were typed into no application.").arg(lost);
}

DeliveryLines::DeliveryLines(DeliveryStatusBoard& board, QWidget* parent)
    : QWidget(parent),
      typing_(line(this, "typingLine")),
      triggers_(line(this, "triggerLine")),
      lost_(line(this, "lostDecodesLine")) {
    auto* layout = new QVBoxLayout(this);
    const int margin = fontMetrics().averageCharWidth();
    layout->setContentsMargins(margin, 0, margin, margin / 2);
    layout->setSpacing(margin / 2);
    for (QLabel* label : {typing_, triggers_, lost_}) layout->addWidget(label);
    show(board.status());
    connect(&board, &DeliveryStatusBoard::changed, this,
            [this](const DeliveryStatus& status) { show(status); });
}

int DeliveryLines::heightFor(int width) const { return layout()->totalHeightForWidth(width); }

void DeliveryLines::show(const DeliveryStatus& status) {
    setLine(typing_, QString::fromStdString(status.typing), !status.canType);
    setLine(triggers_, QString::fromStdString(status.triggers), !status.hasTriggers);
    setLine(lost_, lostDecodesText(status.lostDecodes), true);
    emit resized();
}

}  // namespace qm::ui
