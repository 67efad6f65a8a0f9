#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAccessibleValueInterface>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWheelEvent>

#include "SetupFixture.h"
#include "ui/setup/CodeTypePage.h"
#include "ui/setup/DataFormatPage.h"
#include "ui/setup/ScannerPage.h"
#include "ui/setup/SetupDialog.h"
#include "ui/setup/UserPage.h"

namespace qm::test {
namespace {

QAccessibleInterface* accessible(QWidget* page, int id) {
    return QAccessible::queryAccessibleInterface(ui::control(page, id));
}

class AssistedSetup : public SetupFixture {
protected:
    void SetUp() override {
        SetupFixture::SetUp();
        dialog = std::make_unique<ui::CSetupDlg>(state, services);
        engine.clearReceived();
    }
    QWidget* user() { return &dialog->userPage(); }
    QWidget* scanner() { return &dialog->scannerPage(); }
    QWidget* dataFormat() { return &dialog->dataFormatPage(); }

    std::unique_ptr<ui::CSetupDlg> dialog;
};

TEST_F(AssistedSetup, AClosedListChangedByKeyLetterOrWheelActsAsWhenItsListCloses) {
    struct Case {
        QWidget* page;
        int list;
        std::function<void(QWidget*)> change;
        const char* shown;
        std::vector<Bytes> packets;
        std::string ScanSettings::*field;
    };
    const auto key = [](Qt::Key k, QString text) {
        return [k, text](QWidget* list) {
            QKeyEvent event(QEvent::KeyPress, k, Qt::NoModifier, text);
            QCoreApplication::sendEvent(list, &event);
        };
    };
    const auto wheelUp = [](QWidget* list) {
        QWheelEvent event({5, 5}, {5, 5}, {}, {0, 120}, Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(list, &event);
    };
    const Case cases[] = {
        {dataFormat(),
         1015,
         key(Qt::Key_Down, {}),
         "AIM",
         {paramSendPacket(45, 1)},
         &ScanSettings::codeIdText},
        {scanner(),
         1038,
         wheelUp,
         "Narrow",
         {paramSendPacket(191, 181)},
         &ScanSettings::scanAngleText},
        {user(), 1004, key(Qt::Key_C, "C"), "Ctrl", {}, &ScanSettings::scanKeyName},
    };
    for (const Case& c : cases) {
        auto* list = ui::controlAs<QComboBox>(c.page, c.list);
        engine.clearReceived();
        c.change(list);
        EXPECT_EQ(list->currentText(), c.shown);
        EXPECT_EQ(packetsReceived(), c.packets) << c.shown;
        EXPECT_EQ(savedProfile()->scanSettings.*c.field, c.shown);
    }
    EXPECT_EQ(state.linkSettings.codeIdMode(), 2u);  // AIM
    EXPECT_EQ(state.linkSettings.scanKey(), 0x11);   // Ctrl
}

TEST_F(AssistedSetup, AnAccessibleToggleActsAsAClick) {
    const bool code93 = state.scanSettings.enableCode93 != 0;
    accessible(&dialog->codeTypePage(), 1041)
        ->actionInterface()
        ->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(packetsReceived(), (std::vector<Bytes>{paramSendPacket(9, !code93)}));
    EXPECT_EQ(savedProfile()->scanSettings.enableCode93, code93 ? 0 : 1);

    engine.clearReceived();
    QAccessibleInterface* twoButton = accessible(user(), 1003);
    twoButton->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(twoButton->state().checked);
    EXPECT_EQ(packetsReceived(), (std::vector<Bytes>{paramSendPacket(237, 0)}));
    EXPECT_FALSE(ui::control(user(), 1005)->isHidden());  // the target key list
    EXPECT_EQ(savedProfile()->scanSettings.twoButtonControl, 1);
}

TEST_F(AssistedSetup, AnAccessibleSpinStepsAndTakesAValueInOneStep) {
    QAccessibleInterface* spin = accessible(scanner(), 1029);  // scan time, 3.0
    ASSERT_NE(spin->valueInterface(), nullptr);
    EXPECT_EQ(spin->text(QAccessible::Name), "Scan Time");
    spin->actionInterface()->doAction(QAccessibleActionInterface::increaseAction());
    spin->valueInterface()->setCurrentValue(35);
    spin->valueInterface()->setCurrentValue(120);  // beyond the range: its end
    EXPECT_EQ(packetsReceived(),
              (std::vector<Bytes>{paramSendPacket(136, 31), paramSendPacket(136, 35),
                                  paramSendPacket(136, 99)}));
    EXPECT_EQ(spin->valueInterface()->currentValue().toInt(), 99);
    EXPECT_EQ(spin->text(QAccessible::Value), "9.9");
    EXPECT_EQ(savedProfile()->scanSettings.scanTimeIndex, 99);
}

TEST_F(AssistedSetup, AnEntrySelectedInTheOpenListIsChosen) {
    dialog->setAttribute(Qt::WA_DontShowOnScreen);
    dialog->show();
    auto* codeId = ui::controlAs<QComboBox>(dataFormat(), 1015);
    QAccessibleInterface* list = accessible(dataFormat(), 1015);
    list->actionInterface()->doAction(QAccessibleActionInterface::showMenuAction());
    ASSERT_TRUE(codeId->view()->isVisible());
    QAccessibleInterface* symbol = list->child(0)->child(2);
    ASSERT_EQ(symbol->text(QAccessible::Name), "Symbol");
    symbol->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    QCoreApplication::processEvents();
    EXPECT_FALSE(codeId->view()->isVisible());
    EXPECT_EQ(codeId->currentText(), "Symbol");
    EXPECT_EQ(packetsReceived(), (std::vector<Bytes>{paramSendPacket(45, 2)}));
    EXPECT_EQ(savedProfile()->scanSettings.codeIdText, "Symbol");
}

// What reaches a control while another's engine work runs waits for that handler to end.
TEST_F(AssistedSetup, AnActionDuringAnotherControlsWorkRunsAfterIt) {
    const bool code93 = state.scanSettings.enableCode93 != 0;
    bool sentDuringTheStep = true;
    queue.post([&] {
        accessible(&dialog->codeTypePage(), 1041)
            ->actionInterface()
            ->doAction(QAccessibleActionInterface::toggleAction());
        sentDuringTheStep = packetsReceived().size() > 1;
    });
    step(scanner(), 1029, 1);
    EXPECT_FALSE(sentDuringTheStep);
    EXPECT_EQ(packetsReceived(),
              (std::vector<Bytes>{paramSendPacket(136, 31), paramSendPacket(9, !code93)}));
}

}  // namespace
}  // namespace qm::test
