#include "apps/engine_sim/EngineSimOptions.h"

#include <charconv>
#include <functional>
#include <map>

#include "platform/sim/SimEngineParameterFile.h"
#include "platform/sim/SimEngineSymbology.h"

namespace qm::engine_sim {
namespace {

std::optional<int> parseCount(const std::string& text) {
    int value = 0;
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (status != std::errc() || end != text.data() + text.size() || value < 0) {
        return std::nullopt;
    }
    return value;
}

std::optional<sim::Barcode> parseBarcode(const std::string& text) {
    const size_t colon = text.find(':');
    if (colon == std::string::npos) return std::nullopt;
    const auto symbology = sim::symbologyByName(text.substr(0, colon));
    if (!symbology) return std::nullopt;
    return sim::Barcode{*symbology, text.substr(colon + 1)};
}

using ValueHandler = std::function<bool(const std::string&, EngineSimOptions&)>;

ValueHandler countInto(int sim::EngineFaults::*counter) {
    return [counter](const std::string& text, EngineSimOptions& options) {
        const auto count = parseCount(text);
        if (count) options.faults.*counter = *count;
        return count.has_value();
    };
}

const std::map<std::string, ValueHandler>& valueOptions() {
    static const std::map<std::string, ValueHandler> handlers{
        {"--barcode",
         [](const std::string& text, EngineSimOptions& options) {
             options.barcode = parseBarcode(text);
             return options.barcode.has_value();
         }},
        {"--params",
         [](const std::string& text, EngineSimOptions& options) {
             options.parameterFile = text;
             return !text.empty();
         }},
        {"--set",
         [](const std::string& text, EngineSimOptions& options) {
             const auto assignment = sim::parseParameterAssignment(text);
             if (assignment) options.assignments.push_back(*assignment);
             return assignment.has_value();
         }},
        {"--nak", countInto(&sim::EngineFaults::nakNextCommands)},
        {"--silent", countInto(&sim::EngineFaults::silentNextCommands)},
        {"--wrong-checksum", countInto(&sim::EngineFaults::wrongChecksumNextReplies)},
        {"--wrong-opcode", countInto(&sim::EngineFaults::wrongOpcodeNextReplies)},
        {"--short", countInto(&sim::EngineFaults::shortNextReplies)},
        {"--reply-delay",
         [](const std::string& text, EngineSimOptions& options) {
             const auto ms = parseCount(text);
             if (ms) options.faults.replyDelayMicros = int64_t{*ms} * 1000;
             return ms.has_value();
         }},
    };
    return handlers;
}

}  // namespace

bool parseEngineSimOptions(const std::vector<std::string>& args, EngineSimOptions& options,
                           std::string& error) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--no-read-message") {
            options.noReadMessageOff = true;
        } else if (auto handler = valueOptions().find(arg); handler != valueOptions().end()) {
            if (i + 1 == args.size()) {
                error = arg + " needs a value";
                return false;
            }
            if (!handler->second(args[++i], options)) {
                error = "bad value for " + arg + ": \"" + args[i] + "\"";
                return false;
            }
        } else {
            error = "unknown option \"" + arg + "\"";
            return false;
        }
    }
    return true;
}

std::string engineSimUsage() {
    return "Usage: quillmark-engine-sim [options]\n"
           "Runs a simulated SSI scan engine on a pseudo-terminal. The first line printed is\n"
           "the terminal's path; the engine runs until it is interrupted or terminated.\n"
           "\n"
           "  --barcode SYMBOLOGY:DATA  place a bar code in front of the engine (last wins);\n"
           "                            symbologies: code39 trioptic39 code93 code128\n"
           "                            uccean128 isbt128 msi d2of5 i2of5 codabar upca upce\n"
           "                            upce1 ean8 ean13 bookland rss14 rsslimited rssexpanded\n"
           "  --params FILE             start from the factory table changed by FILE's lines\n"
           "                            of \"NUMBER VALUE\" (decimal or 0x hex, # comments)\n"
           "  --set N=V                 set simple parameter N to V (repeatable)\n"
           "  --no-read-message         set parameter 94 to 0: no \"NR\" after a failed scan\n"
           "  --nak N                   refuse the next N commands with CMD_NAK\n"
           "  --silent N                answer nothing to the next N commands\n"
           "  --wrong-checksum N        spoil the checksum of the next N replies\n"
           "  --wrong-opcode N          send the next N replies with an unexpected opcode\n"
           "  --short N                 send only the start of the next N replies\n"
           "  --reply-delay MS          answer every command MS milliseconds after its last\n"
           "                            byte (0 allowed) instead of the engine's own delays\n"
           "  --help                    show this text\n";
}

}  // namespace qm::engine_sim
