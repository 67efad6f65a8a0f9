#include "apps/wedge_common/DisplayCheck.h"

#include <QFileInfo>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "apps/wedge_common/SessionChoice.h"

namespace qm::app {

namespace {

// The context's texts are Qt's own literals, which live as long as the program.
struct HeldMessage {
    QtMsgType type;
    const char* file;
    int line;
    const char* function;
    const char* category;
    QString text;
};

std::vector<HeldMessage>& heldMessages() {
    static std::vector<HeldMessage> held;
    return held;
}

std::string& programName() {
    static std::string name;
    return name;
}

std::string variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

bool& platformChosenHere() {
    static bool chosen = false;
    return chosen;
}

// What Qt draws with does not depend on which of its plugins happen to be installed.
void choosePlatform() {
    const auto platform = qtPlatformFor(SessionEnvironment::current(), variable("QT_QPA_PLATFORM"));
    if (!platform) return;
    setenv("QT_QPA_PLATFORM", platform->c_str(), 1);
    platformChosenHere() = true;
}

std::string whyNoDisplay() {
    const std::string platform = variable("QT_QPA_PLATFORM");
    if (!platform.empty() && !platformChosenHere())
        return "the platform \"" + platform + "\" cannot be started";
    const std::string x11 = variable("DISPLAY");
    const std::string wayland = variable("WAYLAND_DISPLAY");
    if (x11.empty() && wayland.empty())
        return "no display (neither DISPLAY nor WAYLAND_DISPLAY is set)";
    return "the display " + (x11.empty() ? wayland : x11) + " cannot be opened";
}

// Qt reports a platform that cannot start as a fatal message and aborts once the handler
// returns, so the handler ends the process itself. What Qt said on the way there is only the
// detail of that one line.
void holdWhileOpening(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "%s: %s\n", programName().c_str(), whyNoDisplay().c_str());
        std::_Exit(1);
    }
    heldMessages().push_back(
        {type, context.file, context.line, context.function, context.category, text});
}

}  // namespace

std::unique_ptr<QApplication> openDisplay(int& argc, char** argv) {
    programName() = argc > 0 ? QFileInfo(QString::fromLocal8Bit(argv[0])).fileName().toStdString()
                             : "quillmark";
    choosePlatform();
    const QtMessageHandler previous = qInstallMessageHandler(holdWhileOpening);
    auto app = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(previous);
    for (const HeldMessage& message : heldMessages()) {
        const QMessageLogContext context(message.file, message.line, message.function,
                                         message.category);
        qt_message_output(message.type, context, message.text);
    }
    heldMessages().clear();
    return app;
}

}  // namespace qm::app
