#include "ui/TabControl.h"

#include <QApplication>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QTabBar>

#include "ui/DialogUnits.h"

namespace qm::ui {

namespace {

// The desktop's style with the space beside a tab's caption cut to one average character.
class CompactTabStyle : public QProxyStyle {
public:
    explicit CompactTabStyle(QObject* owner)
        : QProxyStyle(QStyleFactory::create(QApplication::style()->name())) {
        setParent(owner);
    }

    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        if (metric == PM_TabBarTabHSpace && widget) return DialogUnits(widget->font()).baseWidth();
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

}  // namespace

TabControl::TabControl(QWidget* parent) : QTabWidget(parent) {
    tabBar()->setStyle(new CompactTabStyle(tabBar()));
    setUsesScrollButtons(true);
}

}  // namespace qm::ui
