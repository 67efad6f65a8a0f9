#include "apps/wedge_sim/Demonstration.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QPixmap>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <cstdio>

#include "apps/wedge_common/WedgeRuntime.h"
#include "apps/wedge_sim/SetupDemonstration.h"
#include "apps/wedge_sim/SimulatedEngineWindow.h"
#include "engine/Packets.h"
#include "platform/linux/DeviceRootFileSystem.h"
#include "settings/ConfigFolder.h"
#include "settings/ProfileFile.h"
#include "settings/ProfileFiles.h"
#include "ui/ControlLookup.h"
#include "ui/app/ProgressDialog.h"
#include "ui/setup/SetupDialog.h"

namespace qm::app {

namespace {

constexpr int kDemoFailedExitCode = 3;
constexpr int kExitButton = 1065;
constexpr int kBarCodeSetupButton = 1059;

size_t startDecodes(sim::SimEngine& engine) {
    size_t count = 0;
    for (const auto& packet : engine.received())
        count += packet.bytes.size() > 1 && packet.bytes[1] == START_DECODE[1] ? 1 : 0;
    return count;
}

QString escaped(const QByteArray& bytes) {
    QString text;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '\r')
            text += "\\r";
        else if (byte == '\n')
            text += "\\n";
        else if (byte < 0x20 || byte > 0x7e)
            text += QString("\\x%1").arg(byte, 2, 16, QChar('0'));
        else
            text += QChar(byte);
    }
    return text;
}

}  // namespace

Demonstration::Demonstration(WedgeRuntime& runtime, sim::SimEngine& engine,
                             SimulatedEngineWindow& window, QString folder)
    : runtime_(runtime), engine_(engine), window_(window), folder_(std::move(folder)) {}

Demonstration::~Demonstration() {
    client_.kill();
    client_.waitForFinished(2000);
}

bool Demonstration::prepare(const std::string& root) {
    QDir().mkpath(folder_);
    DeviceRootFileSystem files(root);
    ScanSettings settings;
    CommandArray commands{};
    const std::string profile =
        std::string(kConfigFolder) + std::string(ProfileFiles[kLastUserProfile]);
    if (!readProfile(files, profile, settings, commands, nullptr)) return false;
    settings.visualOnGoodRead = 1;
    settings.visualOnNoRead = 1;
    if (!writeProfile(files, profile, settings, commands)) return false;
    QObject::connect(&runtime_.app(), &ui::CScanWedgeApp::progressDialogCreated,
                     [this](ui::CProgressDlg* dialog) {
                         QObject::connect(dialog, &ui::CProgressDlg::positionShown,
                                          [this, dialog](int position) {
                                              if (progressSaved_ || position < 40) return;
                                              progressSaved_ = true;
                                              save(dialog->grab(), "progress.png");
                                          });
                     });
    return true;
}

void Demonstration::run() {
    if (!startClient()) return fail("the demonstration needs xterm and xdotool on the display");
    save(runtime_.app().frame()->grab(), "main-dialog.png");
    engine_.placeBarcode({sim::Symbology::Code128, "QUILLMARK-0001"});
    window_.place(sim::Barcode{sim::Symbology::Code128, "QUILLMARK-0001"});
    if (!scan("good-read", true)) return fail("the first scan typed nothing");
    window_.place(std::nullopt);
    if (!scan("no-read", false)) return fail("the no-read showed no popup");
    window_.place(sim::Barcode{sim::Symbology::Code128, "0042"});
    if (!scan("second-good-read", true)) return fail("the third scan typed nothing");
    const QString setupFault = throughBarCodeSetup();
    if (!setupFault.isEmpty()) return fail("Bar Code Setup: " + setupFault);
    std::printf("The xterm received: %s\n", qPrintable(escaped(received().toLatin1())));
    for (const QString& file : saved_) std::printf("Screenshot: %s\n", qPrintable(file));
    std::fflush(stdout);
    ui::controlAs<QPushButton>(runtime_.app().mainDialog(), kExitButton)->click();
}

QString Demonstration::throughBarCodeSetup() {
    QString fault = "the dialog did not open";
    runtime_.setupOpened = [&](ui::CSetupDlg& dialog) {
        QTimer::singleShot(100, &dialog, [&] {
            SetupDemonstration round(
                dialog, runtime_.state(), engine_,
                [this](const QPixmap& picture, const QString& name) { save(picture, name); });
            fault = round.run();
            dialog.exitSetup();
        });
    };
    ui::controlAs<QPushButton>(runtime_.app().mainDialog(), kBarCodeSetupButton)->click();
    runtime_.setupOpened = nullptr;
    return fault;
}

bool Demonstration::startClient() {
    clientOutput_ = QDir(folder_).filePath("xterm-received.txt");
    QFile::remove(clientOutput_);
    const QString shell = "stty raw -echo; exec tee '" + clientOutput_ + "'";
    client_.start("xterm", {"-geometry", "70x10+0+420", "-e", "sh", "-c", shell});
    if (!client_.waitForStarted(5000)) return false;
    if (!waitFor([this] { return QFile::exists(clientOutput_); }, 10000)) return false;
    return QProcess::execute("timeout", {"10", "xdotool", "search", "--sync", "--onlyvisible",
                                         "--class", "xterm", "windowfocus", "--sync"}) == 0;
}

bool Demonstration::scan(const char* what, bool expectTyping) {
    const auto before = received().size();
    const size_t decodesBefore = startDecodes(engine_);
    bool popupSeen = false;
    const auto connection =
        QObject::connect(&runtime_.popups(), &ui::PopupFeedback::popupShown, [&](Popup) {
            pause(30);
            save(QGuiApplication::primaryScreen()->grabWindow(0), QString("%1.png").arg(what));
            popupSeen = true;
        });
    window_.holdScanKey(true);
    const bool started = waitFor([&] { return startDecodes(engine_) > decodesBefore; }, 5000);
    window_.holdScanKey(false);
    const bool done = started && waitFor([&] { return popupSeen; }, 10000);
    QObject::disconnect(connection);
    // The popup's 1.5 s and the thread's pause after the cycle.
    pause(2000);
    return done && (!expectTyping || received().size() > before);
}

bool Demonstration::waitFor(const std::function<bool()>& condition, int limitMs) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > limitMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

void Demonstration::pause(int ms) {
    waitFor([] { return false; }, ms);
}

QString Demonstration::save(const QPixmap& picture, const QString& name) {
    const QString path = QDir(folder_).absoluteFilePath(name);
    if (picture.save(path, "PNG")) saved_ << path;
    return path;
}

QString Demonstration::received() const {
    QFile file(clientOutput_);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromLatin1(file.readAll());
}

void Demonstration::fail(const QString& why) {
    std::fprintf(stderr, "quillmark-sim: demonstration failed: %s\n", qPrintable(why));
    QMetaObject::invokeMethod(
        qApp, [] { QCoreApplication::exit(kDemoFailedExitCode); }, Qt::QueuedConnection);
}

}  // namespace qm::app
