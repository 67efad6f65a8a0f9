#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "platform/linux/PseudoTerminal.h"

namespace qm::linux_platform {
namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

std::string readFromMaster(PseudoTerminal& pty, size_t wanted) {
    std::string got;
    for (int tries = 0; tries < 50 && got.size() < wanted; ++tries) {
        uint8_t buffer[16];
        const IoResult r = pty.read(buffer, sizeof buffer, 100'000);
        if (!r.ok) break;
        got.append(buffer, buffer + r.count);
    }
    return got;
}

TEST(PseudoTerminal, PassesBytesBothWays) {
    std::string error;
    auto pty = PseudoTerminal::open(error);
    ASSERT_NE(pty, nullptr) << error;
    ASSERT_TRUE(pty->holdSlaveOpen());
    std::unique_ptr<std::FILE, FileCloser> slave(std::fopen(pty->slavePath().c_str(), "r+b"));
    ASSERT_NE(slave, nullptr);
    std::setvbuf(slave.get(), nullptr, _IONBF, 0);

    const uint8_t toClient[] = {0x04, 0xD0, 0x0A, 0x0D, 0x00, 0xFF};  // raw: no translation
    ASSERT_TRUE(pty->write(toClient, sizeof toClient).ok);
    uint8_t received[sizeof toClient] = {};
    ASSERT_EQ(std::fread(received, 1, sizeof received, slave.get()), sizeof received);
    EXPECT_EQ(std::string(received, received + sizeof received),
              std::string(toClient, toClient + sizeof toClient));

    const std::string fromClient("\x05\xC7\r\n\x03", 5);
    ASSERT_EQ(std::fwrite(fromClient.data(), 1, fromClient.size(), slave.get()), fromClient.size());
    EXPECT_EQ(readFromMaster(*pty, fromClient.size()), fromClient);
}

TEST(PseudoTerminal, ReadWithNothingWaitingTimesOutEmpty) {
    std::string error;
    auto pty = PseudoTerminal::open(error);
    ASSERT_NE(pty, nullptr) << error;
    ASSERT_TRUE(pty->holdSlaveOpen());
    uint8_t byte = 0;
    const IoResult r = pty->read(&byte, 1, 5'000);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.count, 0u);
}

}  // namespace
}  // namespace qm::linux_platform
