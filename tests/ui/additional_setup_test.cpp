#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include "ScreenshotFolder.h"
#include "SetupFixture.h"
#include "settings/SettingsFields.h"
#include "ui/additional/AdditionalSetupDialog.h"
#include "ui/setup/CodeTypePage.h"
#include "ui/setup/SetupDialog.h"

namespace qm::test {
namespace {

class AdditionalSetup : public SetupFixture {
protected:
    std::unique_ptr<ui::CAdditionalSetupDlg> open() {
        return std::make_unique<ui::CAdditionalSetupDlg>(state, &status, services);
    }
    SettingInt& intField(std::string_view name) {
        return findSettingsField(name)->intIn(state.scanSettings);
    }
    static QString editText(QWidget* page, int id) {
        return ui::controlAs<QLineEdit>(page, id)->text();
    }
    void forget() {
        engine.clearReceived();
        status.texts.clear();
    }
};

const std::vector<std::string> kUpdated{"Updating settings...", "Settings Updated."};

// Each page is also pictured: in QM_SCREENSHOT_DIR to be looked at, else in a folder of the
// test's own that goes with it.
TEST_F(AdditionalSetup, OpensOnTheFirstOfSevenTabsEachOneRendering) {
    const auto dialog = open();
    auto* tabs = ui::controlAs<QTabWidget>(dialog.get(), 1032);
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->currentIndex(), 0);
    dialog->setAttribute(Qt::WA_DontShowOnScreen);
    dialog->show();
    const TempFolder scratch("qm-screenshots");
    const QString folder = screenshotFolder(scratch);
    QStringList captions;
    for (int i = 0; i < tabs->count(); ++i) {
        captions << tabs->tabText(i);
        tabs->setCurrentIndex(i);
        const QImage picture = dialog->grab().toImage();
        EXPECT_EQ(picture.size(), dialog->size());
        EXPECT_TRUE(picture.save(folder + QString("/additional_%1.png").arg(i + 1)));
    }
    EXPECT_EQ(captions, (QStringList{"UPC/EAN 1", "UPC/EAN 2", "Code39", "MSIPlessey",
                                     "Interleaved", "RSS/Code93/Discrete", "Codabar"}));
}

TEST_F(AdditionalSetup, EverySpinStopsAtItsEndsAndStepsByOneInside) {
    for (const SpinCase& c : kSpins) {
        SCOPED_TRACE(c.field);
        for (const auto& [start, delta] : {std::pair{0, -1}, std::pair{99, 1}}) {
            intField(c.field) = start;
            const auto dialog = open();
            QWidget* page = dialog->pages()[size_t(c.page)];
            const std::string fileBefore = savedProfileText();
            forget();
            step(page, c.spin, delta);
            EXPECT_TRUE(packetsReceived().empty());
            EXPECT_TRUE(status.texts.empty());
            EXPECT_EQ(savedProfileText(), fileBefore);
            EXPECT_EQ(editText(page, c.edit), QString::number(start));
        }
        // From 99 one step down: shown, saved before it is sent, sent once.
        const auto dialog = open();
        QWidget* page = dialog->pages()[size_t(c.page)];
        forget();
        step(page, c.spin, -1);
        EXPECT_EQ(editText(page, c.edit), "98");
        EXPECT_EQ(packetsReceived(), std::vector<Bytes>{paramSendPacket(c.parameter, 98)});
        EXPECT_EQ(status.texts, kUpdated);
        EXPECT_EQ(findSettingsField(c.field)->intIn(savedProfile()->scanSettings), 98);
        EXPECT_EQ(state.commandArray[c.parameter], 98);
    }
}

TEST_F(AdditionalSetup, LengthAbove99IsShownAsStoredUntilItsSpinIsUsed) {
    intField("code39Length1") = 120;
    const auto dialog = open();
    QWidget* page = dialog->pages()[2];
    EXPECT_EQ(editText(page, 1013), "120");
    forget();
    step(page, 1014, 1);
    EXPECT_EQ(editText(page, 1013), "99");
    EXPECT_EQ(packetsReceived(), std::vector<Bytes>{paramSendPacket(18, 99)});
    forget();
    step(page, 1014, -1);
    EXPECT_EQ(packetsReceived(), std::vector<Bytes>{paramSendPacket(18, 98)});
}

TEST_F(AdditionalSetup, ReopeningShowsTheLastValues) {
    const int codabarLength = intField("codabarLength1") + 1;
    const bool code32Prefix = intField("code32Prefix") == 0;
    {
        const auto dialog = open();
        step(dialog->pages()[6], 1037, 1);
        closeListOn(dialog->pages()[1], 1009, "17");
        click(dialog->pages()[2], 1060);
        click(dialog->pages()[0], 1014);  // "EAN-8 Zero Extend" drives 39, not 224
        EXPECT_EQ(packetsReceived().back(), paramSendPacket(39, 1));
        ui::controlAs<QPushButton>(dialog.get(), 1)->click();
        EXPECT_EQ(dialog->result(), QDialog::Accepted);
    }
    forget();
    const auto reopened = open();
    const auto pages = reopened->pages();
    EXPECT_EQ(editText(pages[6], 1036), QString::number(codabarLength));
    EXPECT_EQ(ui::controlAs<QComboBox>(pages[1], 1009)->currentText(), "17");
    EXPECT_EQ(ui::controlAs<QCheckBox>(pages[2], 1060)->isChecked(), code32Prefix);
    EXPECT_TRUE(packetsReceived().empty());
}

TEST_F(AdditionalSetup, OpensFromCodeTypeAndReportsInTheSetupStatusLine) {
    ui::CSetupDlg setup(state, services);
    ui::attachAdditionalSetup(setup, state, services);
    QString title;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<ui::CAdditionalSetupDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        step(dialog->pages()[2], 1014, 1);
        dialog->close();
    });
    ui::controlAs<QPushButton>(&setup.codeTypePage(), 1057)->click();
    EXPECT_EQ(title, "Additional Parameter Setup");
    EXPECT_EQ(ui::controlAs<QLineEdit>(&setup, 1039)->text(), "Settings Updated.");
}

}  // namespace
}  // namespace qm::test
