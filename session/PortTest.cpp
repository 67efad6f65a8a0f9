#include "session/PortTest.h"

#include "engine/EngineParamTable.h"
#include "engine/ParameterExchange.h"
#include "engine/ScanEngineLink.h"

namespace qm {

PortTestResult testPort(Clock& clock, SerialPortOpener& opener) {
    PortTestResult result;
    ScanEngineLink link(clock, opener);
    if (!link.openPort(u"COM3:")) {
        result.failure = opener.lastFailure();
        if (result.failure.empty()) result.failure = "the device refused the serial line settings";
        return result;
    }
    result.opened = true;
    EngineParamTable table{};
    result.parameters = requestParameters(link, table);
    return result;
}

std::string describePortTest(const PortTestResult& result) {
    if (!result.opened) return "Cannot be opened: " + result.failure + ".";
    if (result.engineAnswered())
        return "An SSI engine answers (" + std::to_string(result.parameters) + " parameters).";
    return "Opened, but no SSI engine answers.";
}

}  // namespace qm
