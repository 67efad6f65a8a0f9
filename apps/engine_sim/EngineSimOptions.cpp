#include "apps/engine_sim/EngineSimOptions.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <functional>
#include <ostream>

#include "platform/sim/SimEngineParameterFile.h"
#include "platform/sim/SimEngineSymbology.h"

namespace qm::engine_sim {
namespace {

constexpr const char* kProgram = "quillmark-engine-sim";

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

struct ValueOption {
    const char* name;
    const char* valueName;
    const char* description;
    ValueHandler handler;
};

ValueHandler countInto(int sim::EngineFaults::*counter) {
    return [counter](const std::string& text, EngineSimOptions& options) {
        const auto count = parseCount(text);
        if (count) options.faults.*counter = *count;
        return count.has_value();
    };
}

const std::vector<ValueOption>& valueOptions() {
    static const std::vector<ValueOption> table{
        {"--barcode", "SYMBOLOGY:DATA",
         "place a bar code in front of the engine (last wins);\n"
         "symbologies: code39 trioptic39 code93 code128\n"
         "uccean128 isbt128 msi d2of5 i2of5 codabar upca upce\n"
         "upce1 ean8 ean13 bookland rss14 rsslimited rssexpanded",
         [](const std::string& text, EngineSimOptions& options) {
             options.barcode = parseBarcode(text);
             return options.barcode.has_value();
         }},
        {"--params", "FILE",
         "start from the factory table changed by FILE's lines\n"
         "of \"NUMBER VALUE\" (decimal or 0x hex, # comments)",
         [](const std::string& text, EngineSimOptions& options) {
             options.parameterFile = text;
             return !text.empty();
         }},
        {"--set", "N=V", "set simple parameter N to V (repeatable)",
         [](const std::string& text, EngineSimOptions& options) {
             const auto assignment = sim::parseParameterAssignment(text);
             if (assignment) options.assignments.push_back(*assignment);
             return assignment.has_value();
         }},
        {"--nak", "N", "refuse the next N commands with CMD_NAK",
         countInto(&sim::EngineFaults::nakNextCommands)},
        {"--silent", "N", "answer nothing to the next N commands",
         countInto(&sim::EngineFaults::silentNextCommands)},
        {"--wrong-checksum", "N", "spoil the checksum of the next N replies",
         countInto(&sim::EngineFaults::wrongChecksumNextReplies)},
        {"--wrong-opcode", "N", "send the next N replies with an unexpected opcode",
         countInto(&sim::EngineFaults::wrongOpcodeNextReplies)},
        {"--short", "N", "send only the start of the next N replies",
         countInto(&sim::EngineFaults::shortNextReplies)},
        {"--link", "PATH",
         "keep a link at PATH to the terminal in use; it goes\n"
         "while the engine is unplugged (SIGUSR1) and comes back,\n"
         "to a new terminal, when it is plugged in (SIGUSR2)",
         [](const std::string& text, EngineSimOptions& options) {
             options.link = text;
             return !text.empty();
         }},
        {"--reply-delay", "MS",
         "answer every command MS milliseconds after its last\n"
         "byte (0 allowed) instead of the engine's own delays",
         [](const std::string& text, EngineSimOptions& options) {
             const auto ms = parseCount(text);
             if (ms) options.faults.replyDelayMicros = int64_t{*ms} * 1000;
             return ms.has_value();
         }},
    };
    return table;
}

// Every value is handed to its handler in command-line order, so repeated options keep
// their meaning: the last --barcode wins, every --set counts.
void addValueOption(CLI::App& app, const ValueOption& option, EngineSimOptions& options) {
    app.add_option(option.name, option.description)
        ->type_name(option.valueName)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
        ->each([&option, &options](const std::string& text) {
            if (!option.handler(text, options)) {
                throw CLI::ValidationError("bad value \"" + text + "\"");
            }
        });
}

void describeOptions(CLI::App& app, EngineSimOptions& options) {
    app.get_formatter()->column_width(28);
    for (const ValueOption& option : valueOptions()) addValueOption(app, option, options);
    app.add_flag("--no-read-message", options.noReadMessageOff,
                 "set parameter 94 to 0: no \"NR\" after a failed scan");
    app.add_flag("--trace", options.trace,
                 "write every packet received and sent on standard error");
    app.set_help_flag("-h,--help", "show this text and exit");
    app.set_version_flag("-v,--version", std::string(kProgram) + " " QM_VERSION,
                         "show the program's version and exit");
}

}  // namespace

std::optional<int> parseEngineSimOptions(int argc, const char* const argv[],
                                         EngineSimOptions& options, std::ostream& out,
                                         std::ostream& err) {
    CLI::App app(
        "Runs a simulated SSI scan engine on a pseudo-terminal. The first line printed is\n"
        "the terminal's path; the engine runs until it is interrupted or terminated.\n"
        "SIGUSR1 unplugs it: the terminal hangs up and goes. SIGUSR2 plugs it back in on a\n"
        "new terminal, whose path is printed as the next line, powered up afresh: its\n"
        "temporary parameters are back to the permanent ones.",
        kProgram);
    describeOptions(app, options);
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return 0;
    } catch (const CLI::CallForVersion& version) {
        out << version.what() << "\n";
        return 0;
    } catch (const CLI::ParseError& error) {
        err << kProgram << ": " << error.what() << " (see --help)\n";
        return kExitUsage;
    }
    return std::nullopt;
}

}  // namespace qm::engine_sim
