// One QCoreApplication for the whole test program, made before the first test runs.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <memory>

namespace {

class QtCore : public testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "tests_desktop";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QCoreApplication>(argc, argv);
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QCoreApplication> app_;
};

[[maybe_unused]] testing::Environment* const Registered =
    testing::AddGlobalTestEnvironment(new QtCore);

}  // namespace

// The private bus and the programs under test are started by fork and exec from a process whose
// D-Bus threads run; the thread sanitizer would end the child before its exec.
extern "C" const char* __tsan_default_options() { return "die_after_fork=0"; }
