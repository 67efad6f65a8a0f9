// The watch of the folders on the way to a port's device, on real folders and links.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>

#include "TempFolder.h"
#include "platform/linux/DeviceFolderWatch.h"
#include "wedge/BoundedWait.h"

namespace qm::linux_platform {
namespace {

namespace fs = std::filesystem;

class DeviceFolderWatchTest : public ::testing::Test {
protected:
    DeviceFolderWatchTest() {
        fs::create_directories(root() / "dev");
        fs::create_directories(root() / "by-id");
        fs::create_directories(root() / "pts");
        std::ofstream(root() / "pts" / "0").put('\n');
        fs::create_symlink(root() / "by-id" / "engine", port());
        fs::create_symlink("../pts/0", root() / "by-id" / "engine");
    }
    fs::path root() const { return folder.path(); }
    fs::path port() const { return root() / "dev" / "COM3"; }
    std::vector<std::string> names(std::initializer_list<const char*> folders) const {
        std::vector<std::string> out;
        for (const char* name : folders) out.push_back((root() / name).lexically_normal().string());
        return out;
    }

    test::TempFolder folder{"qm-watch"};
};

TEST_F(DeviceFolderWatchTest, FoldersFollowEveryLinkToTheNearestFolderThatExists) {
    EXPECT_EQ(DeviceFolderWatch::foldersOnTheWay(port().string()), names({"dev", "by-id", "pts"}));
    fs::remove(root() / "by-id" / "engine");
    EXPECT_EQ(DeviceFolderWatch::foldersOnTheWay(port().string()), names({"dev", "by-id"}));
    fs::remove_all(root() / "by-id");
    EXPECT_EQ(DeviceFolderWatch::foldersOnTheWay(port().string()),
              (std::vector<std::string>{(root() / "dev").string(), root().string()}));
}

// A device that goes and comes back at the far end of the links is told of both times, and
// the watch follows the link when it leads to a folder it did not watch before.
TEST_F(DeviceFolderWatchTest, ChangesAnywhereOnTheWayAreToldAndTheWayIsFollowed) {
    test::BoundedWait told;
    std::atomic<int> changes{0};
    const auto watch = DeviceFolderWatch::start(port().string(), [&] {
        ++changes;
        told.changed();
    });
    ASSERT_NE(watch, nullptr);
    const auto toldAgain = [&](auto change) {
        const int before = changes;
        change();
        return told.until([&] { return changes > before; });
    };
    EXPECT_TRUE(toldAgain([&] { fs::remove(root() / "pts" / "0"); }));
    EXPECT_TRUE(toldAgain([&] { fs::remove(root() / "by-id" / "engine"); }));
    fs::create_directories(root() / "usb");
    EXPECT_TRUE(toldAgain([&] { fs::create_symlink("../usb/1", root() / "by-id" / "engine"); }));
    EXPECT_TRUE(toldAgain([&] { std::ofstream(root() / "usb" / "1").put('\n'); }));
}

}  // namespace
}  // namespace qm::linux_platform
