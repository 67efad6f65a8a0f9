#include "bench/soak/ReceiveTap.h"

namespace qm::bench {

class TappedPort : public SerialPort {
public:
    TappedPort(std::unique_ptr<SerialPort> inner, ReceiveTap& tap)
        : inner_(std::move(inner)), tap_(tap) {}

    bool getTimeouts(SerialTimeouts& out) override { return inner_->getTimeouts(out); }
    bool setTimeouts(const SerialTimeouts& timeouts) override {
        reading_ = timeouts.readTotalConstant == tap_.packetTimeoutMs_;
        if (reading_) tap_.packetReads_.emplace_back();
        return inner_->setTimeouts(timeouts);
    }
    bool getLineSettings(LineSettings& out) override { return inner_->getLineSettings(out); }
    bool setLineSettings(const LineSettings& settings) override {
        return inner_->setLineSettings(settings);
    }
    bool setRts(bool on) override { return inner_->setRts(on); }
    bool getModemStatus(uint32_t& status) override { return inner_->getModemStatus(status); }
    bool setEventMask(uint32_t mask) override { return inner_->setEventMask(mask); }
    bool inputQueueLength(uint32_t& count) override { return inner_->inputQueueLength(count); }
    IoResult read(uint8_t* buffer, size_t count) override {
        const IoResult got = inner_->read(buffer, count);
        if (reading_ && got.ok && !tap_.packetReads_.empty())
            tap_.packetReads_.back().insert(tap_.packetReads_.back().end(), buffer,
                                            buffer + got.count);
        return got;
    }
    IoResult write(const uint8_t* bytes, size_t count) override {
        return inner_->write(bytes, count);
    }
    void abort() override { inner_->abort(); }

private:
    std::unique_ptr<SerialPort> inner_;
    ReceiveTap& tap_;
    bool reading_ = false;
};

std::unique_ptr<SerialPort> ReceiveTap::open(const std::u16string& name) {
    auto port = inner_.open(name);
    if (!port) return nullptr;
    return std::make_unique<TappedPort>(std::move(port), *this);
}

}  // namespace qm::bench
