// The reference for the wedge's start-up: a bare Qt Widgets program showing one window, which
// says "shown" once the window is on the screen and its peak memory a second later.
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QTimer>
#include <QWindow>
#include <cstdio>

namespace {

QString peakResident() {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly)) return "?";
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return QString::fromLatin1(line.mid(6).trimmed());
    return "?";
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLabel window("One window");
    window.show();
    while (!window.windowHandle() || !window.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    std::printf("shown\n");
    std::fflush(stdout);
    QTimer::singleShot(1000, [] {
        std::printf("peak %s\n", qPrintable(peakResident()));
        std::fflush(stdout);
        QCoreApplication::exit(0);
    });
    return QApplication::exec();
}
