#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace qm::sim {

using SimpleParameterTable = std::array<uint8_t, 256>;

// Values a fresh engine holds. The ten parameters the host forces at start-up sit at
// other values, so a host talking to a fresh engine really has to send them.
SimpleParameterTable factorySimpleParameters();
SimpleParameterTable factoryExtendedParameters();

// The simple and extended numbers the engine lists, in this order, when asked for all
// of its parameters.
std::span<const uint8_t> reportedSimpleParameters();
std::span<const uint8_t> reportedExtendedParameters();

// One bank of 256 parameters, each with the value in use and the value that survives a
// power cycle.
class ParameterBank {
public:
    explicit ParameterBank(const SimpleParameterTable& values)
        : current_(values), permanent_(values) {}

    uint8_t current(uint8_t number) const { return current_[number]; }
    uint8_t permanent(uint8_t number) const { return permanent_[number]; }
    void setTemporary(uint8_t number, uint8_t value) { current_[number] = value; }
    void setPermanent(uint8_t number, uint8_t value) {
        current_[number] = value;
        permanent_[number] = value;
    }
    void resetTo(const SimpleParameterTable& values) { current_ = permanent_ = values; }
    void powerCycle() { current_ = permanent_; }

private:
    SimpleParameterTable current_;
    SimpleParameterTable permanent_;
};

}  // namespace qm::sim
