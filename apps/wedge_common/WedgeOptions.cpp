#include "apps/wedge_common/WedgeOptions.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

#include "apps/desktop/BusNames.h"

namespace qm::app {

namespace {

QString programName() { return QFileInfo(QCoreApplication::applicationFilePath()).fileName(); }

void usageError(const QString& message) {
    std::fprintf(stderr, "%s: %s\nTry '--help'.\n", qPrintable(programName()), qPrintable(message));
}

}  // namespace

std::optional<WedgeOptions> parseWedgeOptions(const QCoreApplication& app, Engine engine,
                                              int& exitCode) {
    QCommandLineParser parser;
    const bool simulated = engine == Engine::Simulated;
    parser.setApplicationDescription(
        simulated ? "The Quillmark scan wedge on a simulated engine, with a window to place bar "
                    "codes in front of it and press its trigger keys."
                  : "The Quillmark scan wedge: types every bar code the scan engine reads into "
                    "the application that has the keyboard focus.");
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption root("root",
                                  "The device root: profiles and the port (default: "
                                  "$XDG_DATA_HOME/" +
                                      programName() + ").",
                                  "DIR");
    const QCommandLineOption port("port", "Make the device root's COM3 this serial device.",
                                  "DEVICE");
    const QCommandLineOption service("service", "Show the technician's buttons.");
    const QCommandLineOption input(
        "input",
        "How decodes are typed: x11 (XTest, with the trigger keys through XInput2), "
        "virtual-keyboard (wlroots compositors), portal (the desktop's remote desktop portal), "
        "uinput (/dev/uinput) or auto (x11 in an X11 session; in a Wayland session the first of "
        "virtual-keyboard, portal and uinput that works).",
        "PATH", "auto");
    const QCommandLineOption trace("trace",
                                   "Write every packet to and from the engine and each "
                                   "transaction's link status on standard error.");
    const QCommandLineOption noWindow(
        "no-window",
        "Run without the main dialog: only the icon in the desktop's panel, where it has one. "
        "Start-up failures are written to standard error and end the program.");
    const QCommandLineOption demo("demo", "Run the demonstration and save its screenshots in DIR.",
                                  "DIR");
    const QCommandLineOption scanKey(
        "scan-key", "Press or release the scan key of the running wedge (for key bindings).",
        "press|release");
    const QCommandLineOption targetKey("target-key", "The same for its target key.",
                                       "press|release");
    QCommandLineOption bench("bench-start-up", "Print the start-up time and quit.");
    bench.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOptions({root, service, input, trace, noWindow, scanKey, targetKey});
    if (simulated)
        parser.addOptions({demo, bench});
    else
        parser.addOption(port);

    if (!parser.parse(app.arguments())) {
        usageError(parser.errorText());
        exitCode = kUsageExitCode;
        return std::nullopt;
    }
    if (parser.isSet(help) || parser.isSet(version)) {
        if (parser.isSet(help))
            std::fputs(qPrintable(parser.helpText()), stdout);
        else
            std::printf("%s %s\n", qPrintable(programName()),
                        qPrintable(QCoreApplication::applicationVersion()));
        exitCode = 0;
        return std::nullopt;
    }
    if (!parser.positionalArguments().isEmpty()) {
        usageError("unexpected argument " + parser.positionalArguments().first());
        exitCode = kUsageExitCode;
        return std::nullopt;
    }
    WedgeOptions options;
    const auto chosen = inputChoiceNamed(parser.value(input).toStdString());
    if (!chosen) {
        usageError(QString("--input takes one of ") + inputChoiceNames());
        exitCode = kUsageExitCode;
        return std::nullopt;
    }
    options.input = *chosen;
    if (!desktop::readKeyCommand(parser.value(scanKey), parser.value(targetKey),
                                 options.keyCommand)) {
        usageError("one of --scan-key and --target-key, with press or release");
        exitCode = kUsageExitCode;
        return std::nullopt;
    }
    options.root = parser.value(root);
    options.busName = simulated ? desktop::kWedgeSimService : desktop::kWedgeService;
    options.service = parser.isSet(service);
    options.trace = parser.isSet(trace);
    options.noWindow = parser.isSet(noWindow);
    if (simulated) {
        options.demoFolder = parser.value(demo);
        options.benchStartUp = parser.isSet(bench);
    } else {
        options.port = parser.value(port);
    }
    return options;
}

void nameTheProgram() {
    QCoreApplication::setApplicationName("Quillmark");
    QCoreApplication::setApplicationVersion(QM_VERSION);
}

std::optional<WedgeOptions> readWedgeOptions(int argc, char** argv, Engine engine, int& exitCode) {
    QCoreApplication console(argc, argv);
    nameTheProgram();
    return parseWedgeOptions(console, engine, exitCode);
}

}  // namespace qm::app
