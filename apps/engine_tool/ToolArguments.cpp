#include "apps/engine_tool/ToolArguments.h"

#include <CLI/CLI.hpp>
#include <ostream>

#include "apps/engine_tool/EngineTool.h"
#include "platform/ParseByte.h"

namespace qm::tool {

namespace {

constexpr const char* kProgram = "quillmark-engine";

// Parameter numbers and values are written as everywhere else: decimal or 0x hex.
CLI::Option* addByte(CLI::App& command, const char* name, const char* description,
                     uint8_t& target) {
    return command
        .add_option_function<std::string>(
            name,
            [name, &target](const std::string& text) {
                const auto byte = parseByte(text);
                if (!byte) {
                    throw CLI::ValidationError(name, "must be 0 to 255, not \"" + text + "\"");
                }
                target = *byte;
            },
            description)
        ->type_name("")
        ->required();
}

void addTrace(CLI::App& app, ToolArguments& arguments) {
    app.add_flag("--trace", arguments.trace,
                 "write every packet and each transaction's link\n"
                 "status on standard error");
}

void addSet(CLI::App& app, ToolArguments& arguments) {
    CLI::App* set = app.add_subcommand("set", "change one parameter (decimal or 0x..)");
    set->add_flag("--extended", arguments.extended, "an extended parameter (prefix 0xF0)");
    set->add_flag("--permanent", arguments.permanent, "store it, so it survives a power cycle");
    addByte(*set, "NUMBER", "the parameter's number", arguments.number);
    addByte(*set, "VALUE", "its new value", arguments.value);
}

void addAim(CLI::App& app, ToolArguments& arguments) {
    CLI::App* aim = app.add_subcommand("aim", "switch the aiming beam on or off");
    aim->add_option_function<std::string>(
           "STATE", [&arguments](const std::string& state) { arguments.aimOn = state == "on"; })
        ->type_name("on|off")
        ->check(CLI::IsMember({"on", "off"}))
        ->required();
}

void addCommands(CLI::App& app, ToolArguments& arguments) {
    app.add_subcommand("params", "read and print all parameters");
    addSet(app, arguments);
    addAim(app, arguments);
    app.add_subcommand("enable", "enable scanning");
    app.add_subcommand("scan",
                       "one scan; prints the decoded data with other\n"
                       "than printable ASCII escaped");
    app.add_subcommand("sync", "load a profile file and bring the engine in line with it")
        ->add_option("PROFILE", arguments.path, "the profile file")
        ->type_name("")
        ->required();
    app.add_subcommand("burn",
                       "burn FOLDER/defaults.cfg into the engine and, when\n"
                       "verified, write FOLDER/LastUser.cfg")
        ->add_option("FOLDER", arguments.path, "the profile folder")
        ->type_name("")
        ->required();
    for (CLI::App* command : app.get_subcommands([](const CLI::App*) { return true; })) {
        command->group("Commands");
        addTrace(*command, arguments);  // after the command too, where it is easily added
    }
    app.require_subcommand(1);
}

void describeCommandLine(CLI::App& app, ToolArguments& arguments) {
    app.get_formatter()->label("SUBCOMMAND", "COMMAND");
    app.get_formatter()->column_width(24);
    app.set_help_flag("-h,--help", "show this text (after a command: that command's) and exit");
    app.set_version_flag("-v,--version", std::string(kProgram) + " " QM_VERSION,
                         "show the program's version and exit");
    app.add_option("PORT", arguments.port, "the engine's serial device, e.g. /dev/ttyUSB0")
        ->type_name("")
        ->required();
    addTrace(app, arguments);
    addCommands(app, arguments);
    app.footer("Run \"quillmark-engine PORT COMMAND --help\" for a command's arguments.");
    // Words the commands do not take are said by name below, not lost in "a command is
    // required"; the commands themselves still refuse extra words.
    app.allow_extras();
}

// A command's own help names the port before it, as it is typed.
std::string helpText(const CLI::App& app) {
    const auto chosen = app.get_subcommands();
    if (chosen.empty()) return app.help();
    return chosen.front()->help(std::string(kProgram) + " PORT");
}

int usageError(const std::string& message, std::ostream& err) {
    err << kProgram << ": " << message << " (see --help)\n";
    return kExitUsage;
}

std::optional<int> unexpectedWord(const CLI::App& app, std::ostream& err) {
    if (app.remaining().empty()) return std::nullopt;
    const std::string word = app.remaining().front();
    return usageError((word.starts_with("-") ? "unknown option " : "unknown command ") + word, err);
}

}  // namespace

std::optional<int> parseToolArguments(int argc, const char* const argv[], ToolArguments& arguments,
                                      std::ostream& out, std::ostream& err) {
    CLI::App app("Talks to a scan engine on a serial device.", kProgram);
    describeCommandLine(app, arguments);
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        out << helpText(app);
        return 0;
    } catch (const CLI::CallForVersion& version) {
        out << version.what() << "\n";
        return 0;
    } catch (const CLI::ParseError& error) {
        if (const auto done = unexpectedWord(app, err)) return done;
        const bool portOnly = app.get_subcommands().empty() && app.count("PORT") == 1;
        return usageError(portOnly ? "no command given" : error.what(), err);
    }
    if (const auto done = unexpectedWord(app, err)) return done;
    arguments.command = app.get_subcommands().front()->get_name();
    return std::nullopt;
}

}  // namespace qm::tool
