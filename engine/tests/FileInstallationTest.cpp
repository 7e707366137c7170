// The file installation step on real files: copies, the newer-file question,
// write-protected targets, the move into place, missing sources and
// destinations that would leave the host folder.
#include "engine/FileInstallation.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "engine/TemporaryCopy.h"
#include "engine/tests/RecordingQuestions.h"
#include "package/InstallScript.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/TestFiles.h"

namespace {

using namespace asked;
using namespace testfiles;
using fileentry::Answer;
using Asked = std::vector<std::string>;

// Attributes an installed file must not keep. (Wine reports a file set to
// FILE_ATTRIBUTE_NORMAL as FILE_ATTRIBUTE_ARCHIVE.)
constexpr DWORD kProtecting =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// Bytes that a text-mode copy would change.
const std::string kContent("model\r\n\0\x1A\xFF", 10);

class InstallFilesTest : public ::testing::Test {
protected:
    InstallFilesTest() {
        CreateDirectoryA(host.c_str(), nullptr);
        CreateDirectoryA(package.c_str(), nullptr);
    }

    // Runs the step over a "Dateinstallation" section holding `entries`.
    bool Install(const std::string& entries, const std::vector<Answer>& answers = {}) {
        Write(package + "\\InstSkript.txt", "Dateinstallation\r\n{\r\n" + entries + "}\r\n");
        questions = RecordingQuestions(answers);
        InstallScript script;
        EXPECT_TRUE(script.Open((package + "\\InstSkript.txt").c_str()));
        return fileinstallation::InstallFiles(script, package, hostPath, skipAllNewer, questions);
    }

    std::string Source(const std::string& name) const { return package + "\\" + name; }
    std::string Target(const std::string& name) const { return hostPath + name; }

    void PackageFile(const std::string& name, ULONGLONG time, const std::string& bytes = kContent) {
        Write(Source(name), bytes);
        SetWriteTime(Source(name), time);
    }
    void HostFile(const std::string& name, ULONGLONG time, const std::string& bytes = "old") {
        Write(Target(name), bytes);
        SetWriteTime(Target(name), time);
    }

    const Asked& Shown() const { return questions.calls; }

    TemporaryFolder root;
    std::string host = root.Path("Host");
    std::string hostPath = host + "\\";
    std::string package = root.Path("Paket");
    bool skipAllNewer = false;
    RecordingQuestions questions;
};

TEST_F(InstallFilesTest, CopiesNewFilesIntoFoldersSeveralLevelsDeep) {
    PackageFile("a.dat", kOld);
    PackageFile("Modelle\\b.3dm", kNew, "b");
    SetAttributes(Source("a.dat"), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);

    EXPECT_TRUE(
        Install("{ a.dat >> Resourcen\\Modelle\\Neu\\Tief\\a.dat }\r\n"
                "{Modelle\\b.3dm>>b.3dm}"));

    EXPECT_TRUE(Shown().empty());
    EXPECT_EQ(kContent, Read(Target("Resourcen\\Modelle\\Neu\\Tief\\a.dat")));
    EXPECT_EQ(kOld, WriteTime(Target("Resourcen\\Modelle\\Neu\\Tief\\a.dat")));
    EXPECT_EQ(0u, Attributes(Target("Resourcen\\Modelle\\Neu\\Tief\\a.dat")) & kProtecting);
    EXPECT_EQ("b", Read(Target("b.3dm")));
    EXPECT_EQ(kNew, WriteTime(Target("b.3dm")));
}

TEST_F(InstallFilesTest, ReplacesOlderAndEquallyOldFilesWithoutAsking) {
    PackageFile("older.dat", kNew);
    HostFile("older.dat", kOld);
    PackageFile("same.dat", kNew);
    HostFile("same.dat", kNew);

    EXPECT_TRUE(Install("{older.dat>>older.dat}{same.dat>>same.dat}"));

    EXPECT_TRUE(Shown().empty());
    EXPECT_EQ(kContent, Read(Target("older.dat")));
    EXPECT_EQ(kContent, Read(Target("same.dat")));
}

TEST_F(InstallFilesTest, AsksBeforeReplacingANewerFile) {
    struct Case {
        const char* behaviour;
        bool skipBefore;
        std::vector<Answer> answers;
        int questions;
        bool firstReplaced;
        bool secondReplaced;
        bool skipAfter;
    };
    const Case cases[] = {
        {"Keep keeps the file", false, {Answer::Keep, Answer::Keep}, 2, false, false, false},
        {"Replace replaces the file",
         false,
         {Answer::Replace, Answer::Keep},
         2,
         true,
         false,
         false},
        {"KeepAll keeps this and every later newer file",
         false,
         {Answer::KeepAll},
         1,
         false,
         false,
         true},
        {"Replace for both replaces both",
         false,
         {Answer::Replace, Answer::Replace},
         2,
         true,
         true,
         false},
        {"after an earlier Cancel nothing is asked", true, {}, 0, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.behaviour);
        PackageFile("first.dat", kOld);
        HostFile("first.dat", kNew);
        PackageFile("second.dat", kOld);
        HostFile("second.dat", kNew);
        PackageFile("fresh.dat", kOld);
        DeleteFileA(Target("fresh.dat").c_str());
        skipAllNewer = c.skipBefore;

        EXPECT_TRUE(Install("{first.dat>>first.dat}{fresh.dat>>fresh.dat}{second.dat>>second.dat}",
                            c.answers));

        Asked expected = {NewerFile(Target("first.dat"), Source("first.dat")),
                          NewerFile(Target("second.dat"), Source("second.dat"))};
        expected.resize(static_cast<size_t>(c.questions));
        EXPECT_EQ(expected, Shown());
        EXPECT_EQ(c.firstReplaced ? kContent : "old", Read(Target("first.dat")));
        EXPECT_EQ(c.secondReplaced ? kContent : "old", Read(Target("second.dat")));
        EXPECT_EQ(kContent, Read(Target("fresh.dat")));
        EXPECT_EQ(c.skipAfter, skipAllNewer);
    }
}

TEST_F(InstallFilesTest, WriteProtectedFileFailsOnceAndIsWritableAfterwards) {
    PackageFile("locked.dat", kOld);
    HostFile("locked.dat", kNew);
    SetAttributes(Target("locked.dat"), FILE_ATTRIBUTE_READONLY);
    HANDLE probe = CreateFileA(Target("locked.dat").c_str(), GENERIC_WRITE, 0, nullptr,
                               OPEN_EXISTING, 0, nullptr);
    if (probe != INVALID_HANDLE_VALUE) {
        CloseHandle(probe);
        GTEST_SKIP() << "this user may write read-only files";
    }
    PackageFile("next.dat", kOld);

    EXPECT_FALSE(Install("{locked.dat>>locked.dat}{next.dat>>next.dat}", {Answer::Replace}));

    const Asked expected = {NewerFile(Target("locked.dat"), Source("locked.dat")),
                            CopyFailed(Source("locked.dat"), Target("locked.dat"))};
    EXPECT_EQ(expected, Shown());
    EXPECT_EQ("old", Read(Target("locked.dat")));
    EXPECT_EQ(0u, Attributes(Target("locked.dat")) & kProtecting);
    EXPECT_EQ(kContent, Read(Target("next.dat"))) << "later entries still run";

    EXPECT_TRUE(Install("{locked.dat>>locked.dat}", {Answer::Replace}));
    EXPECT_EQ(kContent, Read(Target("locked.dat")));
}

TEST_F(InstallFilesTest, MissingSourceIsReportedWithItsFullPathAndSkipped) {
    PackageFile("present.dat", kOld);

    EXPECT_TRUE(Install("{Modelle\\fehlt.dat>>fehlt.dat}{present.dat>>present.dat}"));

    const Asked expected = {SourceMissing(Source("Modelle\\fehlt.dat"))};
    EXPECT_EQ(expected, Shown());
    EXPECT_FALSE(Exists(Target("fehlt.dat")));
    EXPECT_EQ(kContent, Read(Target("present.dat")));
}

TEST_F(InstallFilesTest, EntriesWithoutArrowAreIgnored) {
    PackageFile("a.dat", kOld);

    EXPECT_TRUE(Install("{a.dat}{a.dat>b.dat}{a.dat->c.dat}"));

    EXPECT_TRUE(Shown().empty());
    EXPECT_FALSE(Exists(Target("a.dat")));
    EXPECT_FALSE(Exists(Target("b.dat")));
}

TEST_F(InstallFilesTest, SplitsAtTheFirstArrow) {
    PackageFile("a.dat", kOld);

    EXPECT_FALSE(Install("{a.dat>>b>>c.dat}"));

    const Asked expected = {CopyFailed(Source("a.dat"), Target("b>>c.dat"))};
    EXPECT_EQ(expected, Shown()) << "\">\" is no file name character, so the copy fails";
}

TEST_F(InstallFilesTest, NeverWritesOutsideTheHostFolder) {
    const char* refused[] = {
        "..\\outside.dat",
        "Sub\\..\\..\\outside.dat",
        "Sub/../../outside.dat",
        "..\\Host\\..\\..\\outside.dat",
        "\\..\\outside.dat",
        "\\\\..\\outside.dat",
        "Sub\\\\..\\..\\outside.dat",
        "...\\outside.dat",
        "C:\\outside.dat",
        "C:outside.dat",
        "\\C:\\outside.dat",
        "..",
        "Sub\\..",
        "",
        "\\",
        "\\\\",
        "NUL",
        "Sub\\com1.dat",
        "Sub\\Con",
    };
    PackageFile("x.dat", kOld);
    PackageFile("good.dat", kOld);
    for (const char* destination : refused) {
        SCOPED_TRACE(destination);
        EXPECT_FALSE(Install(std::string("{x.dat>>") + destination + "}{good.dat>>good.dat}"));
        const Asked expected = {CopyFailed(Source("x.dat"), Target(destination))};
        EXPECT_EQ(expected, Shown());
        EXPECT_EQ(kContent, Read(Target("good.dat"))) << "later entries still run";
    }
    EXPECT_FALSE(Exists(root.Path("outside.dat")));
    EXPECT_FALSE(Exists(root.Path("..\\outside.dat")));
    EXPECT_FALSE(Exists(hostPath + "outside.dat"));
}

// On the double-byte code pages 0x5C, the backslash, is also the second byte
// of characters such as 0x83 0x5C and 0x95 0x5C (code page 932): where the
// byte rule sees one name more, the system resolves to one level higher.
// Under any code page nothing lands beside the host folder; under 932 (this
// program's run with LC_ALL=ja_JP.UTF-8) the two climbs are refused and the
// name that stays inside is written.
TEST_F(InstallFilesTest, NeverWritesOutsideTheHostFolderOnDoubleByteCodePages) {
    const char* locale = std::getenv("LC_ALL");
    const bool japanese = locale != nullptr && std::strncmp(locale, "ja_JP", 5) == 0;
    if (japanese) {
        ASSERT_EQ(932u, GetACP());
    }
    const bool doubleByte = GetACP() == 932;
    const char* climbing[] = {
        "\x83\\x\\..\\..\\outside.dat",
        "Modelle\\\x95\\Dach\\..\\..\\..\\outside.dat",
    };
    PackageFile("x.dat", kOld);
    for (const char* destination : climbing) {
        SCOPED_TRACE(destination);
        const bool installed = Install(std::string("{x.dat>>") + destination + "}");
        if (doubleByte) {
            EXPECT_FALSE(installed);
            const Asked expected = {CopyFailed(Source("x.dat"), Target(destination))};
            EXPECT_EQ(expected, Shown());
        }
        std::map<std::string, std::string> beside = FolderTree(root.Path());
        for (auto at = beside.begin(); at != beside.end();) {
            const bool ours =
                at->first.rfind("Host\\", 0) == 0 || at->first.rfind("Paket\\", 0) == 0;
            at = ours ? beside.erase(at) : std::next(at);
        }
        EXPECT_TRUE(beside.empty()) << "written beside the host folder: " << beside.begin()->first;
    }
    // Two levels up from a folder in Sub: still inside, one level higher than
    // the byte rule reads it. (Only ASCII names are made: Wine cannot make
    // other names under a Unix locale that is not installed.)
    const char* inside = "Sub\\\x95\\x\\..\\..\\in.dat";
    EXPECT_TRUE(Install(std::string("{x.dat>>") + inside + "}"));
    EXPECT_EQ(kContent, Read(Target(doubleByte ? "in.dat" : "Sub\\in.dat")));
}

// The destination follows the host folder's backslash, so leading and doubled
// separators make runs inside the path, which Windows reads as one.
TEST_F(InstallFilesTest, ResolvesStepsAndSeparatorsInsideTheHostFolder) {
    struct Case {
        const char* destination;
        const char* lands;  // below the host folder
    };
    const Case cases[] = {
        {"Sub\\..\\inside.dat", "inside.dat"},
        {"Sub\\.\\Deeper\\..\\inside2.dat", "Sub\\inside2.dat"},
        {"Console.dat", "Console.dat"},
        {"COM10.dat", "COM10.dat"},
        {"\\lead.dat", "lead.dat"},
        {"\\Lead\\x.dat", "Lead\\x.dat"},
        {"\\\\\\Three\\x.dat", "Three\\x.dat"},
        {"//Slashes\\x.dat", "Slashes\\x.dat"},
        {"Doubled\\\\x.dat", "Doubled\\x.dat"},
        {"Doubled//y.dat", "Doubled\\y.dat"},
        {"Run\\\\New\\\\\\x.dat", "Run\\New\\x.dat"},
        {"Deep\\\\\\Er\\\\\\Still\\\\\\x.dat", "Deep\\Er\\Still\\x.dat"},
        {"Up\\\\..\\\\up.dat", "up.dat"},
    };
    PackageFile("x.dat", kOld);
    std::string entries;
    for (const Case& c : cases) entries += std::string("{x.dat>>") + c.destination + "}";

    EXPECT_TRUE(Install(entries));

    EXPECT_TRUE(Shown().empty());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.destination);
        EXPECT_EQ(kContent, Read(Target(c.lands)));
    }
}

TEST_F(InstallFilesTest, NoSectionNoCopies) {
    PackageFile("a.dat", kOld);
    Write(package + "\\InstSkript.txt", "Texturskript{{a.dat>>a.dat}}");
    InstallScript script;
    ASSERT_TRUE(script.Open((package + "\\InstSkript.txt").c_str()));

    EXPECT_TRUE(fileinstallation::InstallFiles(script, package, hostPath, skipAllNewer, questions));

    EXPECT_TRUE(Shown().empty());
    EXPECT_FALSE(Exists(Target("a.dat")));
}

TEST(IsExistingFileNewer, ComparesLastWriteTimes) {
    TemporaryFolder folder;
    struct Case {
        const char* behaviour;
        ULONGLONG destination;  // 0: no such file
        ULONGLONG source;       // 0: no such file
        bool newer;
    };
    const Case cases[] = {
        {"destination later", kNew, kOld, true}, {"destination earlier", kOld, kNew, false},
        {"same time", kNew, kNew, false},        {"one tick later", kOld + 1, kOld, true},
        {"destination missing", 0, kOld, false}, {"source missing", kOld, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.behaviour);
        const std::string destination = folder.Path("destination.dat");
        const std::string source = folder.Path("source.dat");
        DeleteFileA(destination.c_str());
        DeleteFileA(source.c_str());
        if (c.destination != 0) {
            Write(destination, "d");
            SetWriteTime(destination, c.destination);
        }
        if (c.source != 0) {
            Write(source, "s");
            SetWriteTime(source, c.source);
        }
        EXPECT_EQ(c.newer, fileinstallation::IsExistingFileNewer(destination, source));
    }
    CreateDirectoryA(folder.Path("Ordner").c_str(), nullptr);
    EXPECT_FALSE(
        fileinstallation::IsExistingFileNewer(folder.Path("Ordner"), folder.Path("source.dat")))
        << "a folder cannot be opened as a file";
    EXPECT_FALSE(fileinstallation::IsExistingFileNewer(folder.Path("Fehlt\\destination.dat"),
                                                       folder.Path("destination.dat")))
        << "the destination's folder is missing";
}

// The move into place never replaces what it must not, also when the
// destination changed since the caller looked it up.
TEST(TemporaryCopy, MovesIntoPlaceOnlyOverWhatMayBeReplaced) {
    TemporaryFolder folder;
    const std::string source = folder.Path("source.dat");
    Write(source, kContent);
    SetWriteTime(source, kOld);
    struct Case {
        const char* behaviour;
        bool lookedUpMissing;  // what the caller's lookup said
        const char* now;       // "" nothing, "file", "read-only", "folder"
        bool moved;
    };
    const Case cases[] = {
        {"missing", true, "", true},
        {"appeared since the lookup", true, "file", true},
        {"appeared read-only since the lookup", true, "read-only", false},
        {"there", false, "file", true},
        {"there, read-only", false, "read-only", false},
        {"there, a folder", false, "folder", false},
        {"gone since the lookup", false, "", true},
    };
    // Root under Wine may write read-only files: those cases prove nothing then.
    const std::string probe = folder.Path("probe.dat");
    Write(probe, "x");
    SetAttributes(probe, FILE_ATTRIBUTE_READONLY);
    HANDLE opened =
        CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    const bool readOnlyHolds = opened == INVALID_HANDLE_VALUE;
    if (!readOnlyHolds) CloseHandle(opened);
    std::vector<char> buffer;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.behaviour);
        const std::string destination = folder.Path(std::string("d-") + c.behaviour);
        const std::string now = c.now;
        if (now == "read-only" && !readOnlyHolds) continue;
        if (now == "folder") {
            CreateDirectoryA(destination.c_str(), nullptr);
        } else if (!now.empty()) {
            Write(destination, "old");
            if (now == "read-only") SetAttributes(destination, FILE_ATTRIBUTE_READONLY);
        }
        TemporaryCopy copy(destination);
        Fingerprint content;
        bool folderMissing = true;
        ASSERT_TRUE(copy.Write(source, buffer, &content, folderMissing));
        EXPECT_FALSE(folderMissing);
        EXPECT_EQ(kContent.size(), content.size);
        const bool moved = copy.MoveIntoPlace(c.lookedUpMissing);
        EXPECT_FALSE(Exists(copy.Temporary())) << "no temporary file stays";
        EXPECT_EQ(c.moved, moved);
        if (now == "folder") {
            EXPECT_TRUE(Attributes(destination) & FILE_ATTRIBUTE_DIRECTORY);
        } else if (c.moved) {
            EXPECT_EQ(kContent, Read(destination));
            EXPECT_EQ(kOld, WriteTime(destination)) << "the source's time survives the move";
            EXPECT_EQ(0u, Attributes(destination) & kProtecting);
        } else {
            EXPECT_EQ("old", Read(destination));
        }
    }
}

TEST(EnsureDirectory, MakesMissingParents) {
    TemporaryFolder folder;
    EXPECT_TRUE(fileinstallation::EnsureDirectory(folder.Path("A\\B\\C")));
    EXPECT_TRUE(Attributes(folder.Path("A\\B\\C")) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_TRUE(fileinstallation::EnsureDirectory(folder.Path("A\\B\\C"))) << "exists already";
    EXPECT_TRUE(fileinstallation::EnsureDirectory(folder.Path("A\\D\\"))) << "trailing backslash";
    EXPECT_TRUE(Attributes(folder.Path("A\\D")) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_TRUE(fileinstallation::EnsureDirectory(folder.Path("E\\\\\\F\\\\\\G\\\\")))
        << "runs of backslashes";
    EXPECT_TRUE(Attributes(folder.Path("E\\F\\G")) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_FALSE(fileinstallation::EnsureDirectory(""));
    EXPECT_FALSE(fileinstallation::EnsureDirectory("\\\\"));
    Write(folder.Path("Datei"), "x");
    EXPECT_FALSE(fileinstallation::EnsureDirectory(folder.Path("Datei\\Unter")))
        << "parent is a file";
    EXPECT_FALSE(fileinstallation::EnsureDirectory(folder.Path("Datei"))) << "a file is no folder";
}

// FileExists answers as a search with FindFirstFileA does (the answer it
// always gave), also for the names that look quicker by their attributes.
TEST(FileExists, AnswersAsTheFolderSearch) {
    TemporaryFolder folder;
    Write(folder.Path("a.dat"), "x");
    CreateDirectoryA(folder.Path("Ordner").c_str(), nullptr);
    Write(folder.Path("Ordner\\b.dat"), "x");
    struct Case {
        const char* name;  // below the folder; "" is the folder itself
        int exists;        // 1 or 0; -1 where only the search decides (Windows
                           // reads < and " as wildcards, Wine does not)
    };
    const Case cases[] = {
        {"a.dat", 1},
        {"A.DAT", 1},
        {"", 1},
        {"Ordner", 1},
        {"Ordner\\b.dat", 1},
        {"Ordner/b.dat", 1},
        {"Ordner\\\\b.dat", 1},
        {"Ordner\\..\\a.dat", 1},
        {"b.dat", 0},
        {"Fehlt\\a.dat", 0},
        {"a.dat\\b.dat", 0},
        {"Ordner\\", 0},
        {"*.dat", 1},
        {"a.d?t", 1},
        {"x*.dat", 0},
        {"a.dat.", 1},
        {"a.dat ", 1},
        {"a<dat", -1},
        {"a\"dat", -1},
        {"a|dat", 0},
        {"a.dat:", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = *c.name ? folder.Path(c.name) : folder.Path();
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA(path.c_str(), &found);
        const bool searchFinds = search != INVALID_HANDLE_VALUE;
        if (searchFinds) FindClose(search);
        EXPECT_EQ(searchFinds, fileinstallation::FileExists(path));
        if (c.exists >= 0) {
            EXPECT_EQ(c.exists == 1, fileinstallation::FileExists(path));
        }
    }
}

}  // namespace
