#include "apps/wedge_common/QtPacketTrace.h"

#include <QLoggingCategory>

#include "engine/PacketTraceLines.h"

namespace qm::app {

namespace {

// Debug messages are off unless the rules switch them on.
Q_LOGGING_CATEGORY(packetsCategory, kPacketTraceCategory, QtInfoMsg)

// Through the category's name rather than the category itself, so that --trace writes even
// where the rules leave the category off.
void writeThroughQtLogging(const std::string& line) {
    QMessageLogger(nullptr, 0, nullptr, kPacketTraceCategory).debug().noquote() << line.c_str();
}

}  // namespace

std::unique_ptr<PacketTrace> packetTraceFor(bool asked, Clock& clock) {
    if (!asked && !packetsCategory().isDebugEnabled()) return nullptr;
    return std::make_unique<PacketTraceLines>(writeThroughQtLogging, clock.nowMicros());
}

}  // namespace qm::app
