#pragma once

#include <memory>
#include <ostream>

#include "session/ProgressReporter.h"

namespace qm::tool {

// The progress dialog's bar as one line of text that is rewritten as it advances.
class ConsoleProgress : public ProgressReporter {
public:
    explicit ConsoleProgress(std::ostream& out) : out_(out) {}
    ~ConsoleProgress() override { close(); }

    void setPosition(int position) override {
        out_ << "\rInitializing Bar Code Scanner: " << position << "/" << kLastPosition
             << std::flush;
        shown_ = true;
    }
    void close() override {
        if (shown_) out_ << "\n" << std::flush;
        shown_ = false;
    }

private:
    std::ostream& out_;
    bool shown_ = false;
};

class ConsoleProgressFactory : public ProgressDialogFactory {
public:
    explicit ConsoleProgressFactory(std::ostream& out) : out_(out) {}
    std::unique_ptr<ProgressReporter> createProgressDialog() override {
        return std::make_unique<ConsoleProgress>(out_);
    }

private:
    std::ostream& out_;
};

}  // namespace qm::tool
