#pragma once

#include <atomic>
#include <string>

#include "platform/SerialPort.h"

namespace qm::linux_platform {

// A serial device driven through termios. The descriptor stays non-blocking and every
// wait is a poll(), because the tty driver's own read timer only counts tenths of a
// second while the link's time-outs are in milliseconds.
class TermiosSerialPort : public SerialPort {
public:
    // Takes ownership of an open, locked tty descriptor. `path` is where it was opened: a device
    // no longer found there counts as lost (none: only a hang-up does).
    explicit TermiosSerialPort(int fd, std::string path = {});
    ~TermiosSerialPort() override;
    TermiosSerialPort(const TermiosSerialPort&) = delete;
    TermiosSerialPort& operator=(const TermiosSerialPort&) = delete;

    bool getTimeouts(SerialTimeouts& out) override;
    bool setTimeouts(const SerialTimeouts& timeouts) override;
    bool getLineSettings(LineSettings& out) override;
    bool setLineSettings(const LineSettings& settings) override;

    bool setRts(bool on) override;
    bool getModemStatus(uint32_t& status) override;
    bool setEventMask(uint32_t mask) override;
    bool inputQueueLength(uint32_t& count) override;

    IoResult read(uint8_t* buffer, size_t count) override;
    IoResult readUnless(uint8_t* buffer, size_t count, Wakeup& wake,
                        const std::function<bool()>& endEarly) override;
    IoResult write(const uint8_t* bytes, size_t count) override;
    void abort() override;
    bool deviceLost() override;

    // Puts the line into raw byte mode, leaving speed, framing and flow control as
    // they are: a tty may come up cooked and echoing.
    bool enterRawMode();

private:
    // read(); with `endEarly`, also the end of readUnless().
    IoResult readCutShort(uint8_t* buffer, size_t count, const std::function<bool()>* endEarly);

    // Whether `path_` still leads to the device this descriptor has open.
    bool stillAtPath() const;

    int fd_;
    std::string path_;
    std::atomic<bool> lost_{false};
    int abortFd_;  // an eventfd that wakes any wait once the port is aborted
    int nudgeFd_;  // an eventfd that wakes a read that may be cut short
    std::atomic<bool> aborted_{false};
    SerialTimeouts timeouts_;
    uint32_t eventMask_ = 0;
};

}  // namespace qm::linux_platform
