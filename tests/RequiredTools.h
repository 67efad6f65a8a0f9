#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string_view>

namespace qm::test {

// Set where every program the tests use must be there (CI sets it): a test that would skip
// for want of one fails instead, so a missing package never passes for a passing test.
inline bool testToolsRequired() {
    const char* required = std::getenv("QM_REQUIRE_TEST_TOOLS");
    return required != nullptr && std::string_view(required) != "" &&
           std::string_view(required) != "0";
}

}  // namespace qm::test

// Skips the test when `available` is false because a program it runs is missing (Xvfb, a
// terminal, a compositor, a bus daemon), or fails it where the tools are required. Hardware
// this machine may never have (/dev/uinput, a real keyboard) is GTEST_SKIP's alone.
#define QM_SKIP_UNLESS_TOOLS(available, missing)                                         \
    do {                                                                                 \
        if (!(available)) {                                                              \
            if (::qm::test::testToolsRequired())                                         \
                FAIL() << "needs " << (missing) << ", and QM_REQUIRE_TEST_TOOLS is set"; \
            GTEST_SKIP() << "needs " << (missing);                                       \
        }                                                                                \
    } while (false)
