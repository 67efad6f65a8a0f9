#pragma once

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace qm::ui {

// Dialog units are font-relative: a horizontal unit is a quarter of the font's average
// character width, a vertical unit an eighth of its character height, so a dialog laid out
// in them grows with its font.
class DialogUnits {
public:
    // Base units measured the way the handheld's dialog manager measures them: the average
    // width over the 52 letters, rounded, and the character height.
    explicit DialogUnits(const QFont& font);
    DialogUnits(int baseWidth, int baseHeight) : baseWidth_(baseWidth), baseHeight_(baseHeight) {}

    int baseWidth() const { return baseWidth_; }
    int baseHeight() const { return baseHeight_; }

    int x(int units) const;
    int y(int units) const;
    QPoint point(const QPoint& units) const { return {x(units.x()), y(units.y())}; }
    QSize size(const QSize& units) const { return {x(units.width()), y(units.height())}; }
    QRect rect(const QRect& units) const { return {point(units.topLeft()), size(units.size())}; }

private:
    int baseWidth_;
    int baseHeight_;
};

}  // namespace qm::ui
