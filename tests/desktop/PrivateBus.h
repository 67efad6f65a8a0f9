#pragma once

#include <QDBusConnection>
#include <QEventLoop>
#include <QProcess>
#include <QStringList>
#include <QTimer>
#include <functional>

namespace qm::test {

// A session bus of the test's own: a dbus-daemon it starts and ends. Connections made through
// it are closed with it.
class PrivateBus {
public:
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    // False when no dbus-daemon could be started (the test then skips).
    bool running() const { return !address_.isEmpty(); }
    const QString& address() const { return address_; }
    // A connection of its own, known to the bus under a unique name.
    QDBusConnection connect(const QString& name);
    void disconnect(const QString& name);

private:
    QProcess daemon_;
    QString address_;
    QStringList connections_;
};

// Runs the event loop until `done`, or at most `ms` of real time; whether it came.
inline bool spinUntil(const std::function<bool()>& done, int ms = 5000) {
    if (done()) return true;
    QEventLoop loop;
    QTimer tick;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        if (done()) loop.quit();
    });
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    tick.start(2);
    deadline.start(ms);
    loop.exec();
    return done();
}

}  // namespace qm::test
