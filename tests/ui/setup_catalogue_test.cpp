#include <QLineEdit>

#include "SetupFixture.h"
#include "settings/SettingsFields.h"
#include "ui/TemplateBuilder.h"
#include "ui/TemplateLoader.h"
#include "ui/setup/CatalogueBinding.h"

namespace qm::test {
namespace {

class CatalogueBinding : public SetupFixture {
protected:
    std::unique_ptr<QWidget> boundPage(int templateId) {
        auto page = ui::buildWidget(ui::requireTemplate(templateId));
        ui::fillCatalogueControls(page.get(), state.scanSettings);
        ui::bindCatalogueControls(page.get(), templateId, state, &status, services);
        return page;
    }
    SettingInt& intField(std::string_view name) {
        return findSettingsField(name)->intIn(state.scanSettings);
    }
};

struct BoxCase {
    int controlId;
    uint8_t parameter;
    bool extended;
    const char* field;
};

TEST_F(CatalogueBinding, EveryCodeTypeBoxSendsItsParameterAndSavesItsState) {
    const BoxCase cases[] = {
        {1047, 11, false, "enableMsiPlessey"},
        {1049, 5, false, "enableDiscrete2of5"},
        {1050, 6, false, "enableInterleaved2of5"},
        {1048, 0x52, true, "enableRss"},
        {1043, 7, false, "enableCodabar"},
        {1016, 83, false, "enableBooklandEan"},
        {1041, 9, false, "enableCode93"},
        {1044, 8, false, "enableUss128"},
        {1023, 14, false, "enableUccEan128"},
        {1022, 84, false, "enableIsbt128"},
        {1004, 1, false, "enableUpcA"},
        {1007, 2, false, "enableUpcE"},
        {1010, 12, false, "enableUpcE1"},
        {1013, 4, false, "enableEan8"},
        {1015, 3, false, "enableEan13"},
    };
    const auto page = boundPage(130);
    for (const BoxCase& c : cases) {
        const bool ticked = intField(c.field) == 0;
        engine.clearReceived();
        status.texts.clear();
        click(page.get(), c.controlId);
        const Bank bank = c.extended ? Bank::Extended : Bank::Simple;
        EXPECT_EQ(packetsReceived(),
                  (std::vector<Bytes>{paramSendPacket(c.parameter, ticked, bank)}))
            << c.field;
        EXPECT_EQ(status.texts,
                  (std::vector<std::string>{"Updating settings...", "Settings Updated."}))
            << c.field;
        const auto saved = savedProfile();
        EXPECT_EQ(findSettingsField(c.field)->intIn(saved->scanSettings), ticked ? 1 : 0);
        EXPECT_EQ(saved->commandArray[c.parameter], ticked ? 1 : 0) << c.field;
    }
}

TEST_F(CatalogueBinding, TickingOneCode39KindClearsTheOtherOnThePageAndSendsItAfter) {
    struct Case {
        int ticked;
        int cleared;
        std::vector<Bytes> packets;
    };
    const Case cases[] = {
        {1040, 1008, {paramSendPacket(0, 1), paramSendPacket(13, 0)}},
        {1008, 1040, {paramSendPacket(13, 1), paramSendPacket(0, 0)}},
    };
    for (const Case& c : cases) {
        state.scanSettings.enableCode39 = c.ticked == 1008;
        state.scanSettings.enableTriopticCode39 = c.ticked == 1040;
        const auto page = boundPage(130);
        engine.clearReceived();
        click(page.get(), c.ticked);
        EXPECT_EQ(packetsReceived(), c.packets) << c.ticked;
        EXPECT_FALSE(ui::controlAs<QCheckBox>(page.get(), c.cleared)->isChecked());
        const auto saved = savedProfile();
        EXPECT_EQ(saved->scanSettings.enableCode39, c.ticked == 1040 ? 1 : 0);
        EXPECT_EQ(saved->scanSettings.enableTriopticCode39, c.ticked == 1008 ? 1 : 0);
    }
}

TEST_F(CatalogueBinding, AdditionalListsSendOnEveryCloseTheSameChoiceAgainIncluded) {
    struct Case {
        int templateId;
        int controlId;
        const char* text;
        uint8_t parameter;
        uint8_t value;
    };
    const Case cases[] = {
        {154, 1010, "OPCC", 49, 1},
        {154, 1010, "OPCC", 49, 1},
        {151, 1018, "MOD10_MOD10", 51, 17},
        {155, 1006, "Country/System", 34, 2},
        {156, 1005, "Enable_Smart", 16, 3},
        {156, 1009, "20", 80, 20},
        {155, 1002, "3", 77, 3},
    };
    for (const Case& c : cases) {
        const auto page = boundPage(c.templateId);
        engine.clearReceived();
        closeListOn(page.get(), c.controlId, c.text);
        EXPECT_EQ(packetsReceived(), (std::vector<Bytes>{paramSendPacket(c.parameter, c.value)}))
            << c.text;
        EXPECT_EQ(savedProfile()->commandArray[c.parameter], c.value) << c.text;
    }
}

TEST_F(CatalogueBinding, LengthSpinsStepWithinZeroTo99) {
    struct Case {
        int from;
        int delta;
        bool sent;
    };
    const Case cases[] = {{0, -1, false}, {29, 1, true}, {99, 1, false}, {0, 1, true}};
    for (const Case& c : cases) {
        state.scanSettings.code93Length2 = c.from;  // 158: edit 1038, spin 1039, parameter 27
        const auto page = boundPage(158);
        const std::string before = savedProfileText();
        engine.clearReceived();
        step(page.get(), 1039, c.delta);
        const int now = c.sent ? c.from + c.delta : c.from;
        auto* edit = ui::controlAs<QLineEdit>(page.get(), 1038);
        EXPECT_EQ(edit->text(), QString::number(now)) << c.from;
        EXPECT_EQ(ui::controlAs<ui::UpDownControl>(page.get(), 1039)->position(), now);
        if (!c.sent) {
            EXPECT_TRUE(packetsReceived().empty()) << c.from;
            EXPECT_EQ(savedProfileText(), before) << c.from;
            continue;
        }
        EXPECT_EQ(packetsReceived(), (std::vector<Bytes>{paramSendPacket(27, uint8_t(now))}));
        const auto saved = savedProfile();
        EXPECT_EQ(saved->scanSettings.code93Length2, now);
        EXPECT_EQ(saved->commandArray[27], now);
    }
}

}  // namespace
}  // namespace qm::test
