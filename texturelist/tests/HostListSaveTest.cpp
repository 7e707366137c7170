// The program's three savers of host lists, side by side: cabins.ini through
// the INI document, Texturen.txt and Bodentexturen.txt through the texture
// list merge. Each host list lies in a folder of its own, so that a
// temporary file left behind shows in the folder's listing.
#include "package/InstallScript.h"
#include "textfile/IniDocument.h"
#include "textfile/SafeReplace.h"
#include "texturelist/TextureMerge.h"

#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The longest path the system takes (MAX_PATH without its terminator).
constexpr std::size_t kSystemPathLimit = 259;

const char kOriginal[] = "Basis{\r\n\tTextur{\tid(3)\tname(x)\t}\r\n}\r\n";

// Loads what it saves (not counted), arms the fault seam at `failStep`,
// saves over `target`; true when the save reported success.
using SaveFunction = bool (*)(const std::string& target, int failStep);

bool SaveCabins(const std::string& target, int failStep) {
    IniDocument document;
    EXPECT_EQ(document.Load(testfiles::Scratch("cabins_new.ini").c_str(), 0, 0), 0);
    safereplace::FailStep(failStep);
    return document.Save(target.c_str()) == 0;
}

bool MergeSection(const std::string& target, int failStep, const char* section) {
    InstallScript script;
    EXPECT_TRUE(script.Open(testfiles::Scratch("InstSkript.txt").c_str()));
    safereplace::FailStep(failStep);
    return texturemerge::MergeSection(script, section, target) == texturemerge::MergeResult::Saved;
}

bool SaveTextures(const std::string& target, int failStep) {
    return MergeSection(target, failStep, "Texturskript");
}

bool SaveGroundTextures(const std::string& target, int failStep) {
    return MergeSection(target, failStep, "Bodenskript");
}

struct Saver {
    const char* fileName;
    std::size_t pathLimit;  // the saver's longest path
    SaveFunction save;
};

const Saver kSavers[] = {
    {"cabins.ini", 255, SaveCabins},  // IniDocument::Save refuses longer paths
    {"Texturen.txt", kSystemPathLimit, SaveTextures},
    {"Bodentexturen.txt", kSystemPathLimit, SaveGroundTextures},
};

// What a failed save must not change.
struct FileState {
    std::string bytes;
    fs::perms permissions;
    fs::file_time_type written;
#ifdef _WIN32
    DWORD attributes;
#endif
    bool operator==(const FileState& other) const {
        return bytes == other.bytes && permissions == other.permissions && written == other.written
#ifdef _WIN32
               && attributes == other.attributes
#endif
            ;
    }
};

FileState StateOf(const std::string& path) {
    return {testfiles::Read(path), fs::status(path).permissions(), fs::last_write_time(path)
#ifdef _WIN32
                                                                       ,
            testfiles::Attributes(path)
#endif
    };
}

std::vector<std::string> Listing(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class HostListSave : public ::testing::Test {
protected:
    // New content large enough for several writes of 64 KiB each.
    void SetUp() override {
        std::string ini = "[Kabinen]\r\n";
        std::string textures = "Texturskript{\n";
        std::string ground = "Bodenskript{\n";
        for (int i = 1; i <= 4000; ++i) {
            const std::string id = std::to_string(i);
            ini += "Kabine" + id + " = \"Fahrerstand mit langer Beschreibung " + id + "\"\r\n";
            textures +=
                "{t" + id + ".bmp>>Textur{id(" + id + ")name(Baum mit Rinde " + id + ")}}\n";
            ground += "{b" + id + ".bmp>>Textur{id(" + id + ")name(Boden aus Kies " + id + ")}}\n";
        }
        testfiles::Write(testfiles::Scratch("cabins_new.ini"), ini);
        testfiles::Write(testfiles::Scratch("InstSkript.txt"), textures + "}\n" + ground + "}\n");
    }
    void TearDown() override {
        safereplace::FailStep(0);
        for (const std::string& folder : folders) fs::remove_all(folder);
    }

    // An empty folder of the running test, named after the host list.
    std::string NewFolder(const Saver& saver) {
        folders.push_back(testfiles::Scratch(std::string(saver.fileName) + ".d"));
        fs::remove_all(folders.back());
        fs::create_directories(folders.back());
        return folders.back();
    }

    std::vector<std::string> folders;
};

TEST_F(HostListSave, EveryFailingStepLeavesTheListItsAttributesAndItsFolderAlone) {
    for (const Saver& saver : kSavers) {
        SCOPED_TRACE(saver.fileName);
        const std::string folder = NewFolder(saver);
        const std::string target = folder + "/" + saver.fileName;
        testfiles::Write(target, kOriginal);
#ifdef _WIN32
        testfiles::SetAttributes(target, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
#else
        fs::permissions(target,
                        fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
#endif
        const FileState before = StateOf(target);
        const std::vector<std::string> files = Listing(folder);
        int steps = 0;
        for (int n = 1; n <= 100; ++n) {
            SCOPED_TRACE("failing step " + std::to_string(n));
            const bool saved = saver.save(target, n);
            const int counted = safereplace::StepsCounted();
            safereplace::FailStep(0);
            if (saved) {
                EXPECT_LT(counted, n) << "a failed step was reported as success";
                steps = counted;
                break;
            }
            ASSERT_GE(counted, n) << "the save failed before the injected fault";
            EXPECT_TRUE(StateOf(target) == before) << "the list, its time or attributes changed";
            EXPECT_EQ(Listing(folder), files) << "a temporary file was left behind";
        }
        EXPECT_GE(steps, 5) << "a save writes twice or more, flushes, closes and moves";
        EXPECT_NE(testfiles::Read(target), kOriginal);
        EXPECT_EQ(Listing(folder), files);
#ifdef _WIN32
        const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
        EXPECT_EQ(testfiles::Attributes(target) & kept, kept) << "the saved list lost them";
#endif
    }
}

TEST_F(HostListSave, AListWhosePathIsAtTheLimitSavesOverAStaleTemporaryFile) {
    for (const Saver& saver : kSavers) {
        SCOPED_TRACE(saver.fileName);
        const std::string folder = NewFolder(saver);
        const std::size_t nameLength = saver.pathLimit - folder.size() - 1;
        ASSERT_GT(nameLength, std::strlen(saver.fileName));
        const std::string target = folder + "/" +
                                   std::string(nameLength - std::strlen(saver.fileName), 'x') +
                                   saver.fileName;
        ASSERT_EQ(target.size(), saver.pathLimit);
        testfiles::Write(target, kOriginal);
        // A save killed before its move leaves this behind.
        testfiles::Write(safereplace::TemporaryPathFor(target.c_str()), std::string(5000, '?'));
        EXPECT_TRUE(saver.save(target, 0));
        EXPECT_NE(testfiles::Read(target), kOriginal);
        EXPECT_EQ(Listing(folder), std::vector<std::string>{fs::path(target).filename().string()});
    }
}

}  // namespace
