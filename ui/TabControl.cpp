#include "ui/TabControl.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>
#include <QToolButton>

#include "ui/DialogUnits.h"

namespace qm::ui {

namespace {

// Room left beside the shown tabs for the style's overlap of the first tab and the frame.
constexpr int kSlack = 2;

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

// A tab bar that says how wide each of its tabs wants to be.
class MeasuredTabBar : public QTabBar {
public:
    using QTabBar::QTabBar;
    using QTabBar::tabSizeHint;
};

QToolButton* makeArrow(QWidget* parent, Qt::ArrowType arrow, const QString& name) {
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAccessibleName(name);
    return button;
}

}  // namespace

TabControl::TabControl(QWidget* parent)
    : QTabWidget(parent),
      arrows_(new QWidget(this)),
      previous_(makeArrow(arrows_, Qt::LeftArrow, tr("Previous tab"))),
      next_(makeArrow(arrows_, Qt::RightArrow, tr("Next tab"))) {
    setTabBar(new MeasuredTabBar(this));
    tabBar()->setStyle(new CompactTabStyle(tabBar()));
    tabBar()->setElideMode(Qt::ElideNone);
    tabBar()->setExpanding(false);
    setUsesScrollButtons(false);
    auto* row = new QHBoxLayout(arrows_);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(previous_);
    row->addWidget(next_);
    setCornerWidget(arrows_, Qt::TopRightCorner);
    arrows_->hide();
    connect(previous_, &QToolButton::clicked, this, [this] { selectNeighbour(-1); });
    connect(next_, &QToolButton::clicked, this, [this] { selectNeighbour(1); });
    connect(this, &QTabWidget::currentChanged, this, [this] { showWholeTabs(); });
}

int TabControl::tabWidth(int index) const {
    return static_cast<const MeasuredTabBar*>(tabBar())->tabSizeHint(index).width();
}

// The width the tab widget gives its row, with the arrows beside it or without.
int TabControl::roomForTabs(bool withArrows) const {
    QStyleOptionTabWidgetFrame option;
    initStyleOption(&option);
    option.leftCornerWidgetSize = QSize();
    option.rightCornerWidgetSize = withArrows ? arrows_->sizeHint() : QSize();
    option.tabBarSize.setWidth(QWIDGETSIZE_MAX);
    return style()->subElementRect(QStyle::SE_TabWidgetTabBar, &option, this).width() - kSlack;
}

int TabControl::lastTabFitting(int first, int room) const {
    int last = first;
    int used = tabWidth(first);
    while (last + 1 < count() && used + tabWidth(last + 1) <= room) used += tabWidth(++last);
    return last;
}

// The run starts where it did unless the selected tab has left it; then it starts as far on
// as shows the selected tab at its end, or at the selected tab.
void TabControl::showWholeTabs() {
    if (arranging_ || count() == 0) return;
    arranging_ = true;
    int all = 0;
    for (int i = 0; i < count(); ++i) all += tabWidth(i);
    const bool crowded = all > roomForTabs(false);
    const int room = roomForTabs(crowded);
    const int current = std::max(0, currentIndex());
    first_ = crowded ? std::min(first_, current) : 0;
    last_ = crowded ? lastTabFitting(first_, room) : count() - 1;
    while (current > last_) last_ = lastTabFitting(++first_, room);
    for (int i = 0; i < count(); ++i) tabBar()->setTabVisible(i, i >= first_ && i <= last_);
    arrows_->setVisible(crowded);
    previous_->setEnabled(current > 0);
    next_->setEnabled(current + 1 < count());
    arranging_ = false;
}

// The nearest tab that can be selected, past any that cannot.
void TabControl::selectNeighbour(int step) {
    for (int target = currentIndex() + step; target >= 0 && target < count(); target += step) {
        if (isTabEnabled(target)) {
            setCurrentIndex(target);
            return;
        }
    }
}

void TabControl::tabInserted(int index) {
    QTabWidget::tabInserted(index);
    showWholeTabs();
}

void TabControl::tabRemoved(int index) {
    QTabWidget::tabRemoved(index);
    showWholeTabs();
}

void TabControl::resizeEvent(QResizeEvent* event) {
    QTabWidget::resizeEvent(event);
    showWholeTabs();
}

void TabControl::showEvent(QShowEvent* event) {
    QTabWidget::showEvent(event);
    showWholeTabs();
}

void TabControl::changeEvent(QEvent* event) {
    QTabWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        showWholeTabs();
}

}  // namespace qm::ui
