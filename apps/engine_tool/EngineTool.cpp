#include "apps/engine_tool/EngineTool.h"

#include <functional>
#include <map>
#include <memory>
#include <ostream>

#include "apps/engine_tool/ConsoleProgress.h"
#include "apps/engine_tool/SequenceOutput.h"
#include "apps/engine_tool/ToolArguments.h"
#include "engine/ParameterExchange.h"
#include "engine/ScanEngineLink.h"
#include "session/EngineSync.h"
#include "session/StartUp.h"
#include "settings/ProfileFiles.h"
#include "state/ProcessState.h"
#include "wedge/ScanCycle.h"

namespace qm::tool {

namespace {

int reportResult(ScanEngineLink& link, const std::string& what, std::ostream& err) {
    const int32_t status = link.LinkStatus;
    if (status == kLinkOk) return kExitOk;
    err << "quillmark-engine: " << what << " failed: link status " << status << " ("
        << linkCodeMeaning(status) << ")\n";
    return kExitEngineFailed;
}

int printParameters(ProcessState& state, const ToolArguments&, std::ostream& out,
                    std::ostream& err) {
    ScanEngineLink& link = state.link;
    EngineParamTable table{};
    ParameterPairs pairs;
    requestParameters(link, table, &pairs);
    if (link.LinkStatus != kLinkOk) return reportResult(link, "reading the parameters", err);
    if (pairs.empty()) {
        err << "quillmark-engine: the engine did not answer the parameter request\n";
        return kExitEngineFailed;
    }
    for (auto [number, value] : pairs) out << int(number) << ' ' << int(value) << '\n';
    return kExitOk;
}

int setOneParameter(ProcessState& state, const ToolArguments& arguments, std::ostream&,
                    std::ostream& err) {
    ScanEngineLink& link = state.link;
    using Send = int32_t (*)(ScanEngineLink&, uint8_t, uint8_t);
    const Send send = arguments.extended
                          ? (arguments.permanent ? storeExtendedParameter : setExtendedParameter)
                          : (arguments.permanent ? storeParameter : setParameter);
    send(link, arguments.number, arguments.value);
    return reportResult(link, "setting the parameter", err);
}

int switchAiming(ProcessState& state, const ToolArguments& arguments, std::ostream&,
                 std::ostream& err) {
    ScanEngineLink& link = state.link;
    if (arguments.aimOn)
        link.aimOn();
    else
        link.aimOff();
    return reportResult(link, arguments.aimOn ? "aim on" : "aim off", err);
}

int enableScanning(ProcessState& state, const ToolArguments&, std::ostream&, std::ostream& err) {
    ScanEngineLink& link = state.link;
    link.sendCommand(SCAN_ENABLE.data(), SCAN_ENABLE.size(), AwaitAck::Yes);
    return reportResult(link, "enabling scanning", err);
}

// Start-up's own sequence, its failures and progress on standard error.
class ConsoleStartUp : public StartUpObserver {
public:
    ConsoleStartUp(std::ostream& err, std::string profile)
        : err_(err), profile_(std::move(profile)) {}
    void startUpFailed(StartUpFailure, const std::string& reason) override {
        err_ << "quillmark-engine: cannot load profile " << profile_ << ": " << reason << "\n";
    }
    std::unique_ptr<ProgressReporter> createProgressDialog() override {
        return std::make_unique<ConsoleProgress>(err_);
    }

private:
    std::ostream& err_;
    std::string profile_;
};

int synchronizeProfile(ProcessState& state, const ToolArguments& arguments, std::ostream&,
                       std::ostream& err) {
    const std::string name = std::filesystem::path(arguments.path).filename().string();
    ConsoleStartUp startUp(err, arguments.path);
    SequenceReport report;
    if (!prepareEngine(state, startUp, name, &report)) return kExitEngineFailed;
    // The last send's status alone would hide every refusal before it.
    const bool anyFailed = printFailedTransactions(report, err);
    const int result = reportResult(state.link, "synchronising the engine", err);
    if (anyFailed && result == kExitOk)
        err << "quillmark-engine: synchronising the engine failed: " << report.failed.size()
            << " transaction(s) did not succeed\n";
    return anyFailed ? kExitEngineFailed : result;
}

int reportFailedBurn(ProcessState& state, const SequenceReport& report,
                     const std::filesystem::path& folder, std::ostream& out, std::ostream& err) {
    if (!report.profileFault.empty())
        err << "quillmark-engine: cannot load "
            << (folder / ProfileFiles[kFactoryDefaultsProfile]).string() << ": "
            << report.profileFault << "\n";
    printDifferingEntries(report, state.engineParamTable, state.commandArray, err);
    out << "Failed to set Factory Defaults.\n";
    return reportResult(state.link, "burning the defaults", err);
}

int burnFactoryDefaults(ProcessState& state, const ToolArguments& arguments, std::ostream& out,
                        std::ostream& err) {
    const std::filesystem::path folder(arguments.path);
    ConsoleProgressFactory dialogs(err);
    SequenceReport report;
    const int32_t status = burnDefaults(state, dialogs, &report);
    const bool anyFailed = printFailedTransactions(report, err);
    if (status != kLinkOk) return reportFailedBurn(state, report, folder, out, err);
    if (!report.workingProfileWritten) {
        err << "quillmark-engine: the engine holds the factory defaults, but the working profile "
            << (folder / ProfileFiles[kLastUserProfile]).string() << " was not written\n";
        return kExitEngineFailed;
    }
    // The read-back shows current values; a refused store may not have become permanent.
    if (anyFailed) {
        err << "quillmark-engine: the read-back matches, but the engine refused "
            << report.failed.size() << " of the burn's transactions\n";
        return kExitEngineFailed;
    }
    out << "Defaults burned to scanner: verified, LastUser.cfg written\n";
    return kExitOk;
}

// Printable ASCII as it is; everything else (and the backslash) escaped, so a script sees
// exactly which bytes the engine sent.
std::string escaped(const std::string& data) {
    static const char* hex = "0123456789ABCDEF";
    std::string text;
    for (unsigned char c : data) {
        if (c == '\\')
            text += "\\\\";
        else if (c == '\r')
            text += "\\r";
        else if (c == '\n')
            text += "\\n";
        else if (c == '\t')
            text += "\\t";
        else if (c >= 0x20 && c < 0x7F)
            text += static_cast<char>(c);
        else
            text += std::string("\\x") + hex[c >> 4] + hex[c & 0xF];
    }
    return text;
}

// The scan cycle needs to know how the engine formats its data (to find its no-read
// marker) and how long it scans: the engine itself says.
void takeScanSettingsFromEngine(ProcessState& state) {
    requestParameters(state.link, state.engineParamTable);
    state.linkSettings.copyFromEngine(state.engineParamTable);
}

int scanOnce(ProcessState& state, const ToolArguments&, std::ostream& out, std::ostream& err) {
    takeScanSettingsFromEngine(state);
    std::string data;
    const auto keep = [&data](const uint8_t* bytes, int length) {
        data.assign(reinterpret_cast<const char*>(bytes), static_cast<size_t>(length));
    };
    const ScanCycleResult result = runScanCycleWith(state, keep);
    if (result.outcome == kLinkOk) {
        out << escaped(data) << "\n";
        return kExitOk;
    }
    err << "quillmark-engine: no decode: outcome " << result.outcome << " ("
        << linkCodeMeaning(result.outcome) << ")\n";
    return kExitEngineFailed;
}

using Command =
    std::function<int(ProcessState&, const ToolArguments&, std::ostream&, std::ostream&)>;

const std::map<std::string, Command>& commands() {
    static const std::map<std::string, Command> table = {
        {"params", printParameters}, {"set", setOneParameter},     {"aim", switchAiming},
        {"enable", enableScanning},  {"sync", synchronizeProfile}, {"burn", burnFactoryDefaults},
        {"scan", scanOnce},
    };
    return table;
}

}  // namespace

std::optional<std::filesystem::path> profileFolderOf(const ToolArguments& arguments) {
    if (arguments.command == "burn") return std::filesystem::path(arguments.path);
    if (arguments.command == "sync") {
        const auto folder = std::filesystem::path(arguments.path).parent_path();
        return folder.empty() ? std::filesystem::path(".") : folder;
    }
    return std::nullopt;
}

int runEngineCommand(ProcessState& state, const ToolArguments& arguments, std::ostream& out,
                     std::ostream& err) {
    const auto hold = state.link.holdLink();
    return commands().at(arguments.command)(state, arguments, out, err);
}

}  // namespace qm::tool
