// An install killed at any moment loses no list: the host's cabins.ini
// (about 20 MB, merged with a package cabin list that changes keys all over
// it) and both texture lists each hold either their old or their new bytes
// after the kill, and the next run completes, whatever temporary files the
// killed saves left beside the lists. A large model killed in the middle of
// its copy is either not there or whole, and the next run installs it
// without asking about a newer file.
#include "automation/Wait.h"
#include "automation/WindowAction.h"
#include "e2e/ExpectedTexts.h"
#include "e2e/FlowTest.h"
#include "tests/support/TestFiles.h"
#include "textfile/SafeReplace.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

using automation::ProgramWindow;
namespace control = automation::control;

namespace {

const char* const kListFolder = "Resourcen\\Parallels";
// In the order in which a run saves them.
const std::array<const char*, 3> kLists = {"Texturen.txt", "Bodentexturen.txt", "cabins.ini"};
constexpr size_t kGroundTextures = 1;
constexpr size_t kCabins = 2;
using Lists = std::array<std::string, 3>;
const char* const kMissing = "<missing>";

constexpr int kHostCabins = 200000;  // about 100 bytes each
constexpr int kChangedEvery = 50;    // every 50th cabin gets a changed and a new key

using Clock = std::chrono::steady_clock;

long long MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// A list built a section at a time into one buffer: 20 MB take a fraction
// of a second.
template <typename Section>
std::string BuildList(const char* heading, int sections, size_t sectionSize, Section section) {
    std::string text = heading;
    text.reserve(text.size() + static_cast<size_t>(sections) * sectionSize);
    char buffer[256];
    for (int i = 0; i < sections; ++i) {
        text.append(buffer, static_cast<size_t>(section(i, buffer, sizeof buffer)));
    }
    return text;
}

std::string HostCabinList() {
    return BuildList(
        "; Kabinenliste von Baukanter\r\n", kHostCabins, 104, [](int i, char* buffer, size_t size) {
            return std::snprintf(
                buffer, size,
                "[Kabine_%06d]\r\nModell\t = \"Resourcen\\Modelle\\Kabinen\\K%06d.3dm\""
                "\r\nSitze\t = %d\r\nFarbe\t = 200,180,150\r\n\r\n",
                i, i, 2 + i % 40);
        });
}

// Changes a key of cabins from the first to the last, adds a key to each of
// them and a new cabin at the end.
std::string PackageCabinList() {
    return BuildList("; Umbau aller Kabinen\r\n", kHostCabins / kChangedEvery, 40,
                     [](int i, char* buffer, size_t size) {
                         return std::snprintf(buffer, size,
                                              "[Kabine_%06d]\r\nSitze = %d\r\nLicht = Y\r\n",
                                              i * kChangedEvery, 60 + i % 7);
                     }) +
           "[Kabine_Neu]\r\nSitze = 4\r\n";
}

constexpr ULONGLONG kNoFile = ~0ULL;

ULONGLONG FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return kNoFile;
    return (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// When the reference run reached its steps, in ms after the click.
struct Timeline {
    long long texturesSaved = -1;  // Bodentexturen.txt has its new size
    long long resultShown = -1;    // the result message is up
};

// A kill `ms` after the click, or at once when the run has come that far.
struct Moment {
    long long ms;
    int renewedList;    // that list has its new size (or no file); -1: not waited for
    int cabinQuarters;  // the temporary file of cabins.ini holds that many
                        // quarters of the new list; -1: not waited for
};

class KilledInstall : public FlowTest {
protected:
    std::string ListPath(size_t list) const {
        return scenario.HostFolder() + "\\" + kListFolder + "\\" + kLists[list];
    }

    Lists ReadLists() const {
        Lists lists;
        for (size_t i = 0; i < kLists.size(); ++i) {
            if (!filetree::ReadFile(ListPath(i), lists[i])) lists[i] = kMissing;
        }
        return lists;
    }

    // Puts the old bytes back into the lists that differ from them, and
    // dates every host file back, so that a file that a killed run copied
    // halfway is replaced without a question.
    void Restore(const Lists& old, const Lists& now) {
        for (size_t i = 0; i < kLists.size(); ++i) {
            if (now[i] != old[i]) testfiles::Write(ListPath(i), old[i]);
        }
        ASSERT_TRUE(filetree::SetWriteTimes(scenario.HostFolder(),
                                            filetree::YearStart(Scenario::kHostYear)));
    }

    // Starts the installer and clicks Install; the time of the click.
    Clock::time_point StartAndInstall() {
        Start();
        HWND dialog = Expect(ProgramWindow::Install);
        EXPECT_TRUE(dialog && automation::PressButton(dialog, control::kInstallButton));
        return Clock::now();
    }

    std::string CabinTemporary() const {
        return safereplace::TemporaryPathFor(ListPath(kCabins).c_str());
    }

    // Waits until the run has come as far as the moment says (from the
    // click on). A kill may have left the temporary file of cabins.ini with
    // `leftover` bytes: the save first truncates it. False when the run does
    // not come that far in time.
    bool WaitForStep(const Moment& moment, ULONGLONG leftover, const Lists& fresh) const {
        const Clock::time_point start = Clock::now();
        bool begun = false;
        for (;;) {
            if (moment.renewedList >= 0) {
                // A name without a file, which a replace in two moves would
                // show, counts as reached too.
                const ULONGLONG size = FileSize(ListPath(moment.renewedList));
                if (size == fresh[moment.renewedList].size() || size == kNoFile) return true;
            }
            if (moment.cabinQuarters >= 0) {
                const ULONGLONG size = FileSize(CabinTemporary());
                begun = begun || size != leftover;
                // A missing file counts as reached: the save is over.
                if (begun && size >= fresh[kCabins].size() * moment.cabinQuarters / 4) return true;
            }
            if (moment.renewedList < 0 && moment.cabinQuarters < 0) return true;
            if (MillisecondsSince(start) > 30000) return false;
            Sleep(1);
        }
    }

    // Follows an uninterrupted run from the click to its result message.
    // The polling is light (a file size; the windows only now and then), so
    // that it does not slow the run down against the killed ones.
    Timeline Watch(Clock::time_point click, const Lists& old) {
        Timeline seen;
        for (int poll = 0; seen.resultShown < 0 && MillisecondsSince(click) < 60000; ++poll) {
            if (seen.texturesSaved < 0 &&
                FileSize(ListPath(kGroundTextures)) != old[kGroundTextures].size()) {
                seen.texturesSaved = MillisecondsSince(click);
            }
            if (poll % 20 == 0 && scenario.Find(ProgramWindow::Message) != nullptr) {
                seen.resultShown = MillisecondsSince(click);
            }
            Sleep(1);
        }
        return seen;
    }

    // Waits for the success message, answers it and waits for the end.
    void ExpectSuccess() {
        HWND done = ExpectMessage(expected::Text(106), {IDOK}, true);
        ASSERT_NE(done, nullptr);
        Answer(done, IDOK);
        ExpectEnded();
    }

    // The names of the files beside the lists other than the lists.
    std::vector<std::string> Leftovers() const {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found;
        const std::string pattern = scenario.HostFolder() + "\\" + kListFolder + "\\*";
        HANDLE search = FindFirstFileA(pattern.c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return {"<no folder>"};
        do {
            const std::string name = found.cFileName;
            if (name != "." && name != ".." &&
                std::find(kLists.begin(), kLists.end(), name) == kLists.end()) {
                names.push_back(name);
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
        return names;
    }
};

// 20 kills: ten spread evenly from the click to the result message of an
// uninterrupted run, three just before its texture lists were saved, three
// as soon as each list has its new file, and four while the temporary file
// of cabins.ini is written. The last kill most likely leaves that file for
// the completed run.
TEST_F(KilledInstall, LeavesEachListOldOrNewAndTheNextRunCompletes) {
    Prepare(Scenario::Package::Single);
    testfiles::Write(ListPath(kCabins), HostCabinList());
    testfiles::Write(scenario.PackageFolder() + "\\cabin.ini", PackageCabinList());
    const Lists old = ReadLists();

    const Timeline run = Watch(StartAndInstall(), old);
    ExpectSuccess();
    const Lists fresh = ReadLists();
    for (size_t i = 0; i < kLists.size(); ++i) {
        // The moments are told by the lists' sizes.
        ASSERT_NE(fresh[i].size(), old[i].size()) << kLists[i] << " is not rewritten";
    }
    ASSERT_TRUE(run.texturesSaved >= 0 && run.resultShown >= run.texturesSaved)
        << "texture lists saved at " << run.texturesSaved << " ms, result shown at "
        << run.resultShown << " ms";

    std::vector<Moment> moments;
    for (int i = 0; i < 10; ++i) moments.push_back({run.resultShown * i / 9, -1, -1});
    for (long long before : {20, 10, 0}) {
        moments.push_back({std::max(0LL, run.texturesSaved - before), -1, -1});
    }
    for (int list = 0; list < static_cast<int>(kLists.size()); ++list) {
        moments.push_back({0, list, -1});
    }
    for (int quarters = 0; quarters < 4; ++quarters) moments.push_back({0, -1, quarters});

    int allOld = 0, someNew = 0, allNew = 0, leftTemporary = 0;
    Lists found = fresh;
    for (const Moment& moment : moments) {
        Restore(old, found);
        const ULONGLONG leftover = FileSize(CabinTemporary());
        const Clock::time_point click = StartAndInstall();
        ASSERT_TRUE(WaitForStep(moment, leftover, fresh)) << "the run does not get that far";
        const long long wait = moment.ms - MillisecondsSince(click);
        if (wait > 0) Sleep(static_cast<DWORD>(wait));
        const long long killedAt = MillisecondsSince(click);
        ASSERT_TRUE(scenario.Kill()) << "the installer does not end";
        found = ReadLists();
        int renewed = 0;
        for (size_t i = 0; i < kLists.size(); ++i) {
            EXPECT_TRUE(found[i] == old[i] || found[i] == fresh[i])
                << kLists[i] << " holds neither its old nor its new bytes after a kill " << killedAt
                << " ms after the click ("
                << (found[i] == kMissing ? "no file" : std::to_string(found[i].size()) + " bytes")
                << ")";
            if (found[i] == fresh[i]) ++renewed;
        }
        renewed == 0 ? ++allOld : renewed == 3 ? ++allNew : ++someNew;
        if (!Leftovers().empty()) ++leftTemporary;
    }
    std::printf(
        "%zu kills: %d before the first list was saved, %d between the first and the last, "
        "%d after all; %d left a temporary file; the completed run starts with %zu\n",
        moments.size(), allOld, someNew, allNew, leftTemporary, Leftovers().size());
    // The last kill's leftovers stay for the completed run.
    Restore(old, found);
    StartAndInstall();
    ExpectSuccess();
    EXPECT_TRUE(ReadLists() == fresh) << "a completed run after the kills gave other lists";
    EXPECT_EQ(Leftovers(), std::vector<std::string>{});
}

// A package whose first file is a 256 MB model: three kills while it is
// being copied, then a run to the end.
TEST_F(KilledInstall, LeavesNoPartOfACopiedFile) {
    Prepare(Scenario::Package::Single);
    const std::string source = scenario.PackageFolder() + "\\Gross.3dm";
    const std::string destination = scenario.HostFolder() + "\\Resourcen\\Modelle\\Gross.3dm";
    const std::string temporary = safereplace::TemporaryPathFor(destination.c_str());
    constexpr ULONGLONG kSize = 256ULL << 20;
    {
        std::string block(1 << 20, '\0');
        for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 7 + i / 251);
        std::FILE* model = std::fopen(source.c_str(), "wb");
        ASSERT_NE(model, nullptr);
        for (ULONGLONG written = 0; written < kSize; written += block.size()) {
            ASSERT_EQ(std::fwrite(block.data(), 1, block.size(), model), block.size());
        }
        ASSERT_EQ(std::fclose(model), 0);
        ASSERT_TRUE(filetree::SetWriteTimes(scenario.PackageFolder(),
                                            filetree::YearStart(Scenario::kPackageYear)));
        std::string script;
        const std::string scriptPath = scenario.PackageFolder() + "\\InstSkript.txt";
        ASSERT_TRUE(filetree::ReadFile(scriptPath, script));
        const size_t section = script.find("Dateinstallation");
        ASSERT_NE(section, std::string::npos);
        script.insert(script.find('{', section) + 1,
                      "\r\n{Gross.3dm >> Resourcen\\Modelle\\Gross.3dm}");
        testfiles::Write(scriptPath, script);
    }
    // Part of the model is written: under its own name or a temporary one.
    const auto copying = [&] {
        const ULONGLONG own = FileSize(destination);
        const ULONGLONG other = FileSize(temporary);
        return (own != kNoFile && own > 0 && own < kSize) ||
               (other != kNoFile && other > 0 && other < kSize);
    };
    for (int kill = 0; kill < 3; ++kill) {
        const Clock::time_point click = StartAndInstall();
        while (!copying() && MillisecondsSince(click) < 30000) Sleep(1);
        ASSERT_TRUE(copying()) << "the copy of the model is not seen under way";
        ASSERT_TRUE(scenario.Kill()) << "the installer does not end";
        const ULONGLONG left = FileSize(destination);
        EXPECT_TRUE(left == kNoFile || left == kSize)
            << "a kill during the copy left " << left << " of " << kSize << " bytes of the model";
    }
    StartAndInstall();
    ExpectSuccess();
    EXPECT_EQ(FileSize(destination), kSize);
    EXPECT_EQ(FileSize(temporary), kNoFile) << "the temporary copy of the model is left";
}

}  // namespace
