#pragma once

#include <QProcess>
#include <QString>
#include <functional>

namespace qm::sim {
class SimEngine;
}

namespace qm::app {

class WedgeRuntime;
class SimulatedEngineWindow;

// The simulated handheld shown at work on an X display: three scans (one a no-read) through
// the virtual scan key into an xterm with the popups on, then a round through Bar Code Setup;
// screenshots of the main dialog, the progress dialog, the popups and every setup page saved
// in `folder`, and what the xterm received printed.
// Ends the run with "Exit"; a failure ends it with status 3.
class Demonstration {
public:
    Demonstration(WedgeRuntime& runtime, sim::SimEngine& engine, SimulatedEngineWindow& window,
                  QString folder);
    ~Demonstration();

    // Before start-up: the popups switched on in the device root's working profile, and the
    // progress dialog watched for its screenshot.
    bool prepare(const std::string& root);
    // Once the main dialog is shown.
    void run();

private:
    bool startClient();
    QString throughBarCodeSetup();
    bool scan(const char* what, bool expectTyping);
    bool waitFor(const std::function<bool()>& condition, int limitMs);
    void pause(int ms);
    QString save(const QPixmap& picture, const QString& name);
    QString received() const;
    void fail(const QString& why);

    WedgeRuntime& runtime_;
    sim::SimEngine& engine_;
    SimulatedEngineWindow& window_;
    QString folder_;
    QString clientOutput_;
    QProcess client_;
    QStringList saved_;
    bool progressSaved_ = false;
};

}  // namespace qm::app
