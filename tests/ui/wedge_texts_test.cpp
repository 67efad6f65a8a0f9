#include <gtest/gtest.h>

#include "ui/WedgeTexts.h"

namespace qm::ui {
namespace {

TEST(WedgeTexts, AreTheScannerPageAndMainDialogWords) {
    EXPECT_EQ(kPreparingToScanText, u"Preparing to Scan...");
    EXPECT_EQ(kFailedToScanText, u"Failed to Scan!");
    // After switching the scanner off the button offers to switch it on, and back.
    EXPECT_EQ(scannerPowerCaption(false), u"Turn Scanner\nON");
    EXPECT_EQ(scannerPowerCaption(true), u"Turn Scanner\nOFF");
}

}  // namespace
}  // namespace qm::ui
