#pragma once

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

#include "platform/SerialDevices.h"

namespace qm {
class Clock;
}

namespace qm::ui {

class GuiQueue;

// "Serial Port": every serial device of the system, whether this user may open it, and a
// test that asks the device for its parameters to tell whether an SSI engine answers.
class CPortDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTemplate = 200;
    static constexpr int kPortList = 1201;
    static constexpr int kDetails = 1202;
    static constexpr int kTest = 1203;
    static constexpr int kTestResult = 1204;
    static constexpr int kRefresh = 1205;
    static constexpr int kOk = 1;
    static constexpr int kCancel = 2;

    // `current` is selected when it is among the devices.
    CPortDlg(SerialDevices& devices, Clock& clock, GuiQueue& queue, const std::string& current,
             QWidget* parent = nullptr);

    // The path of the selected device; empty when none is.
    std::string chosenPath() const;

private:
    void refresh();
    void showSelected();
    void testSelected();
    const SerialDevice* selected() const;
    void setText(int id, const QString& text);

    SerialDevices& devices_;
    Clock& clock_;
    GuiQueue& queue_;
    std::vector<SerialDevice> listed_;
};

// Runs the dialog modally: the chosen device's path, nothing when cancelled.
std::optional<std::string> choosePort(SerialDevices& devices, Clock& clock, GuiQueue& queue,
                                      const std::string& current, QWidget* parent);

}  // namespace qm::ui
