#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <functional>

#include "SettingsFixture.h"

namespace qm::test {
namespace {

namespace fs = std::filesystem;

constexpr size_t kLimit = 64 * 1024;

class DeviceRootFileSystemTest : public ::testing::Test {
protected:
    std::optional<std::string> read(std::string_view path) {
        return files.readRegularFile(path, kLimit).bytes;
    }

    TempFolder root{"qm-settings"};
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
    EXPECT_EQ(read("\\A\\missing"), std::nullopt);
    EXPECT_EQ(read("\\A\\B"), std::nullopt);
    EXPECT_TRUE(files.readRegularFile("\\A\\missing", kLimit).missing);
    EXPECT_FALSE(files.readRegularFile("\\A\\B", kLimit).missing);
}

// What was there keeps its bytes whatever the answer: nothing is ever replaced.
TEST_F(DeviceRootFileSystemTest, RenamesOnlyToAFreeName) {
    using Renaming = FileSystem::Renaming;
    ASSERT_TRUE(files.writeFileAtomically("\\a", "A"));
    ASSERT_TRUE(files.writeFileAtomically("\\b", "B"));
    EXPECT_EQ(files.renameWithoutReplacing("\\a", "\\b").result, Renaming::TargetExists);
    EXPECT_EQ(read("\\a"), "A");
    EXPECT_EQ(read("\\b"), "B");
    const auto failed = files.renameWithoutReplacing("\\missing", "\\c");
    EXPECT_EQ(failed.result, Renaming::Failed);
    EXPECT_EQ(failed.fault, "No such file or directory");
    EXPECT_EQ(files.renameWithoutReplacing("\\a", "\\c").result, Renaming::Renamed);
    EXPECT_EQ(read("\\a"), std::nullopt);
    EXPECT_EQ(read("\\c"), "A");
    EXPECT_EQ(files.displayPath("\\P F\\c"), (root.path() / "P F" / "c").string());
}

TEST_F(DeviceRootFileSystemTest, ReplacesAFileWholeAndLeavesNoTemporaryBehind) {
    const std::string large(100'000, 'L');
    ASSERT_TRUE(files.writeFileAtomically("\\f.cfg", large));
    ASSERT_TRUE(files.writeFileAtomically("\\f.cfg", std::string_view("a\0b", 3)));
    EXPECT_EQ(read("\\f.cfg"), std::string("a\0b", 3));
    EXPECT_EQ(std::distance(fs::directory_iterator(root.path()), fs::directory_iterator()), 1);
    EXPECT_FALSE(files.writeFileAtomically("\\no folder\\f.cfg", "x"));
    EXPECT_FALSE(files.writeFileAtomically("\\", "x"));
}

struct ReadCase {
    std::string_view description;
    std::function<void(const fs::path&)> make;  // creates root/f
    std::optional<std::string> bytes;
    std::string_view fault;
};

void PrintTo(const ReadCase& c, std::ostream* out) { *out << c.description; }

class RegularFileReadTest : public DeviceRootFileSystemTest,
                            public ::testing::WithParamInterface<ReadCase> {};

// A FIFO would block the open and /dev/zero would never end: neither may be read at all.
TEST_P(RegularFileReadTest, ReadsOnlyRegularFilesUpToTheLimit) {
    GetParam().make(root.path() / "f");
    const auto contents = files.readRegularFile("\\f", kLimit);
    EXPECT_EQ(contents.bytes, GetParam().bytes);
    EXPECT_EQ(contents.fault, GetParam().fault);
}

void writeBytes(const fs::path& path, size_t count) {
    std::ofstream(path, std::ios::binary) << std::string(count, 'x');
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, RegularFileReadTest,
    ::testing::Values(
        ReadCase{"at the limit", [](const fs::path& f) { writeBytes(f, kLimit); },
                 std::string(kLimit, 'x'), ""},
        ReadCase{"one byte over", [](const fs::path& f) { writeBytes(f, kLimit + 1); },
                 std::nullopt, "is larger than 65536 bytes"},
        ReadCase{"empty", [](const fs::path& f) { writeBytes(f, 0); }, "", ""},
        ReadCase{"fifo", [](const fs::path& f) { ASSERT_EQ(::mkfifo(f.c_str(), 0600), 0); },
                 std::nullopt, "is not a regular file"},
        ReadCase{"device", [](const fs::path& f) { fs::create_symlink("/dev/zero", f); },
                 std::nullopt, "is not a regular file"},
        ReadCase{"directory", [](const fs::path& f) { fs::create_directory(f); }, std::nullopt,
                 "is not a regular file"},
        ReadCase{"missing", [](const fs::path&) {}, std::nullopt,
                 "cannot be opened: No such file or directory"}),
    [](const auto& info) {
        std::string name(info.param.description);
        std::replace(name.begin(), name.end(), ' ', '_');
        return name;
    });

TEST(PrepareDeviceRootTest, InstallsTheShippedProfilesOnceAndKeepsTheUsers) {
    TempFolder root{"qm-settings"};
    const fs::path resources = fs::path(QM_SOURCE_DIR) / "resources";
    const fs::path profiles = root.path() / "Program Files/Quillmark";

    ASSERT_TRUE(prepareDeviceRoot(root.path(), resources));
    EXPECT_TRUE(fs::is_directory(root.path() / "dev"));
    EXPECT_EQ(DeviceRootFileSystem(root.path())
                  .readRegularFile("\\Program Files\\Quillmark\\defaults.cfg", kLimit)
                  .bytes,
              shippedResource("defaults.cfg"));

    std::ofstream(profiles / "LastUser.cfg") << "the user's own";
    ASSERT_TRUE(prepareDeviceRoot(root.path(), resources));
    EXPECT_EQ(DeviceRootFileSystem(root.path())
                  .readRegularFile("\\Program Files\\Quillmark\\LastUser.cfg", kLimit)
                  .bytes,
              "the user's own");
    EXPECT_FALSE(prepareDeviceRoot(root.path() / "fresh", root.path() / "no resources"));
}

}  // namespace
}  // namespace qm::test
