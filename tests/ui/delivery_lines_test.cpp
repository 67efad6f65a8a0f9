// The main dialog's lines on how decodes and trigger presses travel.
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QPushButton>

#include "tests/ui/WedgeAppFixture.h"
#include "ui/ControlLookup.h"
#include "ui/app/DeliveryStatus.h"

namespace qm::test {
namespace {

class DeliveryLinesTest : public WedgeAppFixture {
protected:
    void SetUp() override {
        WedgeAppFixture::SetUp();
        board.set({false, "Bar codes cannot be typed into other applications: no path.", true,
                   "Trigger keys come in through the session bus.", 0});
        services.delivery = &board;
    }

    // Every visible label's accessible name, as assistive technology reads it, one a line.
    std::string accessibleLabels() {
        QStringList names;
        for (QLabel* label : app->mainDialog()->findChildren<QLabel*>()) {
            if (!label->isVisibleTo(app->mainDialog())) continue;
            names << QAccessible::queryAccessibleInterface(label)->text(QAccessible::Name);
        }
        return names.join("\n").toStdString();
    }

    int buttonsBottom() {
        int bottom = 0;
        for (const int id :
             {ui::CMainDlg::kBeginScan, ui::CMainDlg::kBarCodeSetup, ui::CMainDlg::kExit})
            bottom = std::max(bottom, ui::control(app->mainDialog(), id)->geometry().bottom());
        return bottom;
    }

    // Each visible line lies under the buttons, whole, inside the dialog.
    void expectLinesWholeUnderTheButtons() {
        QWidget* dialog = app->mainDialog();
        for (QLabel* label : dialog->findChildren<QLabel*>()) {
            if (!label->isVisibleTo(dialog)) continue;
            const QRect where(label->mapTo(dialog, QPoint(0, 0)), label->size());
            EXPECT_GT(where.top(), buttonsBottom()) << label->text().toStdString();
            EXPECT_TRUE(dialog->rect().contains(where)) << label->text().toStdString();
            EXPECT_GE(label->height(), label->heightForWidth(label->width()))
                << label->text().toStdString();
        }
    }

    ui::DeliveryStatusBoard board;
};

TEST_F(DeliveryLinesTest, TheLinesAreReadUnderTheirTextsAndFollowTheStatus) {
    startUp();
    EXPECT_EQ(accessibleLabels(),
              "Bar codes cannot be typed into other applications: no path.\n"
              "Trigger keys come in through the session bus.");
    expectLinesWholeUnderTheButtons();

    board.decodeLost();
    board.decodeLost();
    QApplication::processEvents();
    EXPECT_EQ(accessibleLabels(),
              "Bar codes cannot be typed into other applications: no path.\n"
              "Trigger keys come in through the session bus.\n"
              "2 bar codes read were typed into no application.");
    expectLinesWholeUnderTheButtons();

    board.set({true, "Bar codes are typed through X11 (XTest).", false,
               "No trigger key reaches "
               "Quillmark. The control interface is off: another program owns "
               "org.quillmark.Wedge on the session bus.",
               0});
    EXPECT_EQ(accessibleLabels(),
              "Bar codes are typed through X11 (XTest).\n"
              "No trigger key reaches Quillmark. The control interface is off: another program "
              "owns org.quillmark.Wedge on the session bus.");
    expectLinesWholeUnderTheButtons();
}

TEST_F(DeliveryLinesTest, TheLinesStayWholeAtALargeFont) {
    const QFont usual = QApplication::font();
    QFont large = usual;
    large.setPointSizeF(usual.pointSizeF() * 2);
    QApplication::setFont(large);
    startUp();
    expectLinesWholeUnderTheButtons();
    QApplication::setFont(usual);
}

}  // namespace
}  // namespace qm::test
