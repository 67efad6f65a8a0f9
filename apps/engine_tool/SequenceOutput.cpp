#include "apps/engine_tool/SequenceOutput.h"

#include <ostream>
#include <sstream>

#include "engine/LinkStatusCodes.h"

namespace qm::tool {

namespace {

std::string hexByte(uint8_t value) {
    std::ostringstream text;
    text << "0x" << std::hex << std::uppercase << int(value);
    return text.str();
}

std::string parameterName(uint8_t number) {
    return "parameter " + std::to_string(number) + " (" + hexByte(number) + ")";
}

std::string transactionName(const FailedTransaction& failed) {
    using Kind = FailedTransaction::Kind;
    switch (failed.kind) {
        case Kind::ParameterRequest:
            return "the parameter request";
        case Kind::ScanEnable:
            return "enabling scanning";
        case Kind::Parameter:
            return parameterName(failed.number);
        case Kind::ExtendedParameter:
            return "extended parameter " + hexByte(failed.number);
    }
    return "a transaction";
}

}  // namespace

bool printFailedTransactions(const SequenceReport& report, std::ostream& err) {
    for (const FailedTransaction& failed : report.failed) {
        err << "quillmark-engine: " << transactionName(failed) << " failed: ";
        if (failed.kind == FailedTransaction::Kind::ParameterRequest && failed.status == kLinkOk)
            err << "no parameters came back\n";
        else
            err << "link status " << failed.status << " (" << linkCodeMeaning(failed.status)
                << ")\n";
    }
    return !report.failed.empty();
}

bool printDifferingEntries(const SequenceReport& report, const EngineParamTable& engine,
                           const CommandArray& profile, std::ostream& err) {
    for (uint8_t number : report.differing) {
        err << "quillmark-engine: " << parameterName(number) << " reads back "
            << int(engine[number]) << ", defaults.cfg holds " << int(profile[number].load())
            << "\n";
    }
    return !report.differing.empty();
}

}  // namespace qm::tool
