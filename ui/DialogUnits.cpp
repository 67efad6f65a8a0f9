#include "ui/DialogUnits.h"

#include <QFontMetrics>

namespace qm::ui {

namespace {

const QString Letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");

// units × base / divisor, rounded to the nearest pixel.
int scaled(int units, int base, int divisor) {
    const long long product = static_cast<long long>(units) * base;
    const long long half = divisor / 2;
    return static_cast<int>(product >= 0 ? (product + half) / divisor
                                         : -((-product + half) / divisor));
}

}  // namespace

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    baseWidth_ = (metrics.horizontalAdvance(Letters) / 26 + 1) / 2;
    baseHeight_ = metrics.height();
}

int DialogUnits::x(int units) const { return scaled(units, baseWidth_, 4); }

int DialogUnits::y(int units) const { return scaled(units, baseHeight_, 8); }

}  // namespace qm::ui
