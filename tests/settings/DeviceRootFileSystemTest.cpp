#include <fstream>

#include "SettingsFixture.h"

namespace qm::test {
namespace {

namespace fs = std::filesystem;

class DeviceRootFileSystemTest : public ::testing::Test {
protected:
    TemporaryDeviceRoot root;
    DeviceRootFileSystem files{root.path()};
};

TEST_F(DeviceRootFileSystemTest, MapsHandheldPathsUnderTheRoot) {
    const std::pair<std::string_view, fs::path> cases[] = {
        {"\\Program Files\\Quillmark\\LastUser.cfg", "Program Files/Quillmark/LastUser.cfg"},
        {"\\Storage\\Program Files\\Quillmark\\", "Storage/Program Files/Quillmark"},
        {"\\dev\\COM3", "dev/COM3"},
        {"\\\\a\\.\\b", "a/b"},
    };
    for (const auto& [device, relative] : cases)
        EXPECT_EQ(files.hostPath(device), root.path() / relative) << device;
    EXPECT_EQ(files.hostPath("\\a\\..\\..\\etc\\passwd"), std::nullopt);
}

TEST_F(DeviceRootFileSystemTest, TellsDirectoriesFilesAndNothingApart) {
    ASSERT_TRUE(files.createDirectories("\\A\\B"));
    ASSERT_TRUE(files.writeFileAtomically("\\A\\file", "x"));
    EXPECT_EQ(files.isDirectory("\\A\\B"), true);
    EXPECT_EQ(files.isDirectory("\\A\\file"), false);
    EXPECT_EQ(files.isDirectory("\\A\\missing"), std::nullopt);
    EXPECT_EQ(files.readFile("\\A\\missing"), std::nullopt);
    EXPECT_EQ(files.readFile("\\A\\B"), std::nullopt);
}

TEST_F(DeviceRootFileSystemTest, ReplacesAFileWholeAndLeavesNoTemporaryBehind) {
    const std::string large(100'000, 'L');
    ASSERT_TRUE(files.writeFileAtomically("\\f.cfg", large));
    ASSERT_TRUE(files.writeFileAtomically("\\f.cfg", std::string_view("a\0b", 3)));
    EXPECT_EQ(files.readFile("\\f.cfg"), std::string("a\0b", 3));
    EXPECT_EQ(std::distance(fs::directory_iterator(root.path()), fs::directory_iterator()), 1);
    EXPECT_FALSE(files.writeFileAtomically("\\no folder\\f.cfg", "x"));
    EXPECT_FALSE(files.writeFileAtomically("\\", "x"));
}

TEST(PrepareDeviceRootTest, InstallsTheShippedProfilesOnceAndKeepsTheUsers) {
    TemporaryDeviceRoot root;
    const fs::path resources = fs::path(QM_SOURCE_DIR) / "resources";
    const fs::path profiles = root.path() / "Program Files/Quillmark";

    ASSERT_TRUE(prepareDeviceRoot(root.path(), resources));
    EXPECT_TRUE(fs::is_directory(root.path() / "dev"));
    EXPECT_EQ(
        DeviceRootFileSystem(root.path()).readFile("\\Program Files\\Quillmark\\defaults.cfg"),
        shippedResource("defaults.cfg"));

    std::ofstream(profiles / "LastUser.cfg") << "the user's own";
    ASSERT_TRUE(prepareDeviceRoot(root.path(), resources));
    EXPECT_EQ(
        DeviceRootFileSystem(root.path()).readFile("\\Program Files\\Quillmark\\LastUser.cfg"),
        "the user's own");
    EXPECT_FALSE(prepareDeviceRoot(root.path() / "fresh", root.path() / "no resources"));
}

}  // namespace
}  // namespace qm::test
