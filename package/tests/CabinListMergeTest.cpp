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

#include "package/CabinMerge.h"
#include "tests/support/TestFiles.h"
#include "textfile/IniDocument.h"

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
        if (fs::exists(HostList())) {
            fs::permissions(HostList(), fs::perms::owner_write, fs::perm_options::add, ignored);
        }
        fs::remove_all(folder, ignored);
    }

    std::string HostList() const { return (folder / "cabins.ini").string(); }
    std::string PackageList() const { return (folder / "cabin.ini").string(); }

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
        fs::last_write_time(HostList(), fs::last_write_time(HostList()) - std::chrono::hours(24));
        hostTime = fs::last_write_time(HostList());
    }

    bool HostListUntouched(const std::string& text) const {
        return ReadText(HostList()) == text && fs::last_write_time(HostList()) == hostTime;
    }

    fs::path folder;
    fs::file_time_type hostTime;
};

// A replaced key moves to the end of its section.
TEST_F(CabinListMergeTest, PackageKeysWinAndNewSectionsFollowTheHostsOwn) {
    testfiles::Write(HostList(), "; Kabinen\r\n[A]\r\nk = 1\r\nj = \"x y\"\r\n[C]\r\nn = 4\r\n");
    testfiles::Write(PackageList(), "[A]\r\nk = 2\r\n[B]\r\nm = 3\r\n");

    EXPECT_TRUE(cabinlist::MergeInto(HostList(), PackageList()));

    EXPECT_EQ("; Kabinen\n[A]\nj\t = \"x y\"\nk\t = 2\n\n[C]\nn\t = 4\n\n[B]\nm\t = 3\n\n",
              ReadText(HostList()));
}

// A host list in the layout Save writes is merged section by section, any
// other whole; either way the bytes are those of the whole documents'
// merge, and so are the named sections' bytes before and after.
TEST_F(CabinListMergeTest, EveryHostListMergesAsTheWholeDocumentsDo) {
    const std::string saved =
        "; Kabinen\r\n[A] ;alt\r\nm\t = \"x;y\"\r\nk\t = 1,-2147483648\r\n\r\n; zwischen\r\n"
        "[B]\r\n;vorn\r\nh\t = 0x00ff,0x12345 ;c\r\nf\t = 1.250\r\nb\t = Y,N\r\ne\t =\r\n"
        "t\t = \"a[x5B]b[t]\"\r\nu\t = Zug\r\n\r\n[C]\r\nn\t = #ff80\r\n\r\n; am Ende\r\n";
    const std::string package =
        "; neu\r\n[C] ;neu\r\nn = 2\r\n[D]\r\nd = 1\r\n[A]\r\nk=5\r\n;Schluss\r\n";
    struct Case {
        const char* behaviour;
        std::string hostText;
        std::string packageText;
        bool streamed;
    };
    const Case cases[] = {
        {"as Save writes it, first, middle and last section named", saved, package, true},
        {"with a UTF-8 mark", "\xEF\xBB\xBF" + saved.substr(11), package, true},
        {"only a UTF-8 mark", "\xEF\xBB\xBF", package, true},
        {"no section named", saved, "[X]\r\nx = 1\r\n", true},
        {"LF line ends", "[A]\nk\t = 1\n\n", package, false},
        {"a last line without its line end", "[A]\r\nk\t = 1\r\n\r\n; c", package, false},
        {"blanks around the equals sign", "[A]\r\nk = 1\r\n\r\n", package, false},
        {"a section twice", "[A]\r\nk\t = 1\r\n\r\n[A]\r\nj\t = 1\r\n\r\n", package, false},
        {"a key twice", "[A]\r\nk\t = 1\r\nk\t = 2\r\n\r\n", package, false},
        {"no empty line after the keys", "[A]\r\nk\t = 1\r\n[C]\r\n\r\n", package, false},
        {"a comment before the empty line", "[A]\r\nk\t = 1\r\n;c\r\n\r\n", package, false},
        {"a blank-only line", "[A]\r\nk\t = 1\r\n \r\n\r\n", package, false},
        {"a key line before the first header", "k\t = 1\r\n[A]\r\n\r\n", package, false},
        {"a header without its comment's blank", "[A];c\r\n\r\n", package, false},
        {"values Save writes otherwise",
         "[A]\r\ni\t = -0\r\nh\t = 0x00FF\r\nf\t = 1.25\r\nb\t = y\r\nt\t = \"a\tb\"\r\n\r\n",
         package, false},
        {"a NUL in a line", std::string("[A]\r\nk\t = 1\0\r\n\r\n", 15), package, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.behaviour);
        testfiles::Write(HostList(), c.hostText);
        testfiles::Write(PackageList(), c.packageText);
        IniDocument whole(false);
        IniDocument named(false);
        ASSERT_EQ(0, whole.Load(HostList().c_str(), 0, 0));
        ASSERT_EQ(0, named.Load(PackageList().c_str(), 0, 0));
        // The named sections as the whole list writes them, its mark in
        // front when the first of them opens the list.
        const auto namedSections = [&] {
            std::string bytes;
            for (const auto& node : whole.Nodes()) {
                if (node->Kind() != NodeKind::Section ||
                    named.FindSection(std::string(node->Name().Bytes()).c_str()) < 0) {
                    continue;
                }
                if (bytes.empty() && whole.Utf8Mark() && node == whole.Nodes()[0]) {
                    bytes = "\xEF\xBB\xBF";
                }
                bytes += whole.SavedSectionBytes(node.get());
            }
            return bytes;
        };
        const std::string before = namedSections();
        ASSERT_EQ(0, whole.Load(PackageList().c_str(), 0, 0));
        CabinMerge merge;

        ASSERT_TRUE(merge.Prepare(HostList(), PackageList()));

        EXPECT_EQ(c.streamed, merge.Streamed());
        EXPECT_EQ(whole.SavedBytes(), merge.MergedBytes());
        EXPECT_EQ(before, merge.OldSectionBytes());
        EXPECT_EQ(namedSections(), merge.NewSectionBytes());
        EXPECT_TRUE(merge.Write());
        EXPECT_EQ(whole.SavedBytes(), testfiles::Read(HostList()));
    }
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
        fs::remove(HostList());
        fs::remove(PackageList());
        if (c.hostText != nullptr) {
            testfiles::Write(HostList(), c.hostText);
            AgeHostList();
        }
        if (c.packageText != nullptr) testfiles::Write(PackageList(), c.packageText);

        EXPECT_TRUE(cabinlist::MergeInto(HostList(), PackageList()));

        if (c.hostText == nullptr) {
            EXPECT_FALSE(fs::exists(HostList()));
        } else {
            std::string text = c.hostText;
            text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
            EXPECT_TRUE(HostListUntouched(text));
        }
    }
}

TEST_F(CabinListMergeTest, WriteProtectedHostListFailsAndStaysWhole) {
    const std::string original = "[A]\r\nk = 1\r\n";
    testfiles::Write(HostList(), original);
    testfiles::Write(PackageList(), "[A]\r\nk = 2\r\n[B]\r\nm = 3\r\n");
    AgeHostList();
    fs::permissions(HostList(),
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    if (std::FILE* probe = std::fopen(HostList().c_str(), "r+")) {
        std::fclose(probe);
        GTEST_SKIP() << "this user may write read-only files";
    }

    EXPECT_FALSE(cabinlist::MergeInto(HostList(), PackageList()));

    EXPECT_TRUE(HostListUntouched("[A]\nk = 1\n"));
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name == "cabins.ini" || name == "cabin.ini") << "left behind: " << name;
    }
}

}  // namespace
