// What saving and the first run leave on disk: no write through a link planted beside a
// profile, the profile's own mode kept, folders nobody else may enter, and a temporary file
// left by a crash that does not stop the next save.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "platform/linux/DeviceRootFileSystem.h"
#include "platform/linux/LockFileMutexes.h"
#include "tests/TempFolder.h"

namespace qm {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kProfile = "\\Program Files\\Quillmark\\LastUser.cfg";

std::string contentsOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

mode_t modeOf(const fs::path& path) {
    struct stat attributes {};
    EXPECT_EQ(::lstat(path.c_str(), &attributes), 0) << path;
    return attributes.st_mode & 07777;
}

class ScopedUmask {
public:
    explicit ScopedUmask(mode_t mask) : previous_(::umask(mask)) {}
    ~ScopedUmask() { ::umask(previous_); }

private:
    mode_t previous_;
};

class DeviceRootSafety : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(files.createDirectories("\\Program Files\\Quillmark"));
        ASSERT_TRUE(files.writeFileAtomically(kProfile, "old"));
    }

    fs::path profile() const { return *files.hostPath(kProfile); }
    fs::path temporary() const { return profile().string() + ".tmp"; }

    test::TempFolder root{"qm-safety"};
    DeviceRootFileSystem files{root.path()};
};

// Whatever a crash or someone else left at the temporary name is neither written through nor
// in the way.
TEST_F(DeviceRootSafety, ALinkPlantedAtTheTemporaryNameIsNeitherFollowedNorKept) {
    const fs::path victim = root.path() / "victim";
    std::ofstream(victim) << "not yours";
    fs::create_symlink(victim, temporary());

    ASSERT_TRUE(files.writeFileAtomically(kProfile, "new"));
    EXPECT_EQ(contentsOf(victim), "not yours");
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(profile())));
    EXPECT_EQ(contentsOf(profile()), "new");
    EXPECT_FALSE(fs::exists(fs::symlink_status(temporary())));
}

TEST_F(DeviceRootSafety, SavingKeepsTheProfilesMode) {
    const ScopedUmask umask(022);
    for (const mode_t mode : {0600, 0664}) {
        ASSERT_EQ(::chmod(profile().c_str(), mode), 0);
        ASSERT_TRUE(files.writeFileAtomically(kProfile, "new"));
        EXPECT_EQ(modeOf(profile()), mode);
    }
}

// The wedge and the engine tool may save into one folder at the same time.
TEST_F(DeviceRootSafety, ConcurrentSavesEachLeaveAWholeFile) {
    const std::string a(200'000, 'a'), b(100'000, 'b');
    bool allSaved[2] = {true, true};
    auto saver = [&](int index, const std::string& contents) {
        for (int i = 0; i < 25; ++i)
            allSaved[index] = files.writeFileAtomically(kProfile, contents) && allSaved[index];
    };
    std::thread first(saver, 0, std::cref(a));
    std::thread second(saver, 1, std::cref(b));
    first.join();
    second.join();
    EXPECT_TRUE(allSaved[0] && allSaved[1]);
    const std::string saved = contentsOf(profile());
    EXPECT_TRUE(saved == a || saved == b) << saved.size() << " bytes";
}

TEST(PrepareDeviceRoot, MakesFoldersOnlyTheUserMayEnterWhateverTheUmask) {
    const ScopedUmask umask(0);
    test::TempFolder parent{"qm-safety"};
    ASSERT_EQ(::chmod(parent.path().c_str(), 0755), 0);
    const fs::path root = parent.path() / "data" / "quillmark";

    ASSERT_TRUE(prepareDeviceRoot(root, fs::path(QM_SOURCE_DIR) / "resources"));
    for (const fs::path& folder : {parent.path() / "data", root, root / "Program Files",
                                   root / "Program Files/Quillmark", root / "dev"})
        EXPECT_EQ(modeOf(folder), 0700u) << folder;
    EXPECT_EQ(modeOf(parent.path()), 0755u) << "a folder that was there is left alone";
}

TEST(LockFileMutexes, ALinkPlantedAtTheLocksNameIsNotFollowed) {
    test::TempFolder root{"qm-safety"};
    const fs::path target = root.path() / "elsewhere";
    fs::create_symlink(target, root.path() / "Quillmark.lock");
    const MutexCreation created =
        linux_platform::LockFileMutexes(root.path()).createMutex(u"Quillmark");
    EXPECT_EQ(created.mutex, nullptr);
    EXPECT_NE(created.lastError, 0u);
    EXPECT_FALSE(fs::exists(target));
}

}  // namespace
}  // namespace qm
