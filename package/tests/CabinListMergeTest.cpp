// Merging a package's cabin list into the host's, on real files. Portable:
// runs natively and under Wine.
#include "package/CabinListMerge.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/support/TestFiles.h"

namespace {

namespace fs = std::filesystem;

// A fresh folder for one test, removed afterwards.
class CabinListMergeTest : public ::testing::Test {
protected:
    CabinListMergeTest() {
        folder = testfiles::Scratch("lists");
        fs::create_directories(folder);
    }
    ~CabinListMergeTest() override {
        std::error_code ignored;
        if (fs::exists(hostList())) {
            fs::permissions(hostList(), fs::perms::owner_write, fs::perm_options::add, ignored);
        }
        fs::remove_all(folder, ignored);
    }

    std::string hostList() const { return (folder / "cabins.ini").string(); }
    std::string packageList() const { return (folder / "cabin.ini").string(); }

    // The file's text with line ends as LF, whatever the platform writes.
    static std::string ReadText(const std::string& path) {
        std::ifstream file(path, std::ios::binary);
        std::string text;
        for (char c : std::string(std::istreambuf_iterator<char>(file), {})) {
            if (c != '\r') text += c;
        }
        return text;
    }

    // Back-dated, so that a rewrite shows in the time stamp.
    void AgeHostList() {
        fs::last_write_time(hostList(), fs::last_write_time(hostList()) - std::chrono::hours(24));
        hostTime = fs::last_write_time(hostList());
    }

    bool HostListUntouched(const std::string& text) const {
        return ReadText(hostList()) == text && fs::last_write_time(hostList()) == hostTime;
    }

    fs::path folder;
    fs::file_time_type hostTime;
};

// A replaced key moves to the end of its section.
TEST_F(CabinListMergeTest, PackageKeysWinAndNewSectionsFollowTheHostsOwn) {
    testfiles::Write(hostList(), "; Kabinen\r\n[A]\r\nk = 1\r\nj = \"x y\"\r\n[C]\r\nn = 4\r\n");
    testfiles::Write(packageList(), "[A]\r\nk = 2\r\n[B]\r\nm = 3\r\n");

    EXPECT_TRUE(cabinlist::MergeInto(hostList(), packageList()));

    EXPECT_EQ("; Kabinen\n[A]\nj\t = \"x y\"\nk\t = 2\n\n[C]\nn\t = 4\n\n[B]\nm\t = 3\n\n",
              ReadText(hostList()));
}

TEST_F(CabinListMergeTest, NothingIsWrittenWithoutBothLists) {
    struct Case {
        const char* behaviour;
        const char* hostText;     // nullptr: no file
        const char* packageText;  // nullptr: no file
    };
    const Case cases[] = {
        {"package without cabin.ini", "[A]\r\nk = 1\r\n", nullptr},
        {"package with an empty cabin.ini", "[A]\r\nk = 1\r\n", ""},
        {"host without cabins.ini", nullptr, "[A]\r\nk = 2\r\n"},
        {"host with an empty cabins.ini", "", "[A]\r\nk = 2\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.behaviour);
        fs::remove(hostList());
        fs::remove(packageList());
        if (c.hostText != nullptr) {
            testfiles::Write(hostList(), c.hostText);
            AgeHostList();
        }
        if (c.packageText != nullptr) testfiles::Write(packageList(), c.packageText);

        EXPECT_TRUE(cabinlist::MergeInto(hostList(), packageList()));

        if (c.hostText == nullptr) {
            EXPECT_FALSE(fs::exists(hostList()));
        } else {
            std::string text = c.hostText;
            text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
            EXPECT_TRUE(HostListUntouched(text));
        }
    }
}

TEST_F(CabinListMergeTest, WriteProtectedHostListFailsAndStaysWhole) {
    const std::string original = "[A]\r\nk = 1\r\n";
    testfiles::Write(hostList(), original);
    testfiles::Write(packageList(), "[A]\r\nk = 2\r\n[B]\r\nm = 3\r\n");
    AgeHostList();
    fs::permissions(hostList(),
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    if (std::FILE* probe = std::fopen(hostList().c_str(), "r+")) {
        std::fclose(probe);
        GTEST_SKIP() << "this user may write read-only files";
    }

    EXPECT_FALSE(cabinlist::MergeInto(hostList(), packageList()));

    EXPECT_TRUE(HostListUntouched("[A]\nk = 1\n"));
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name == "cabins.ini" || name == "cabin.ini") << "left behind: " << name;
    }
}

}  // namespace
