// merge_bench: how long the cabin merge takes under Wine, against a plain
// read of both lists and one write of the host's, and what the restore
// point's recording adds to it. Generates a host list of 73,599 sections
// (about 8 MB) and a package list of 2,000 sections (half of them already in
// the host), then times, for each of RUNS rounds after an untimed one:
//
//   plain      both files read whole, the host list written once
//   merge      cabinlist::MergeInto, as the engine calls it
//   recorder   RestoreRecorder::BeforeCabinMerge: the restore point's work
//              before the merge (the merge in memory, the changed entries,
//              the old copy of the list)
//
// and the phases of both (reads, merge, save, the entries' comparison) with
// the number of heap allocations each makes. Prints every round and the
// medians. Run by tools/merge-bench.sh.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "engine/RestoreRecorder.h"
#include "e2e/FileTree.h"
#include "engine/UninstallEntry.h"
#include "package/CabinListMerge.h"
#include "package/CabinMerge.h"
#include "restore/ContentHash.h"
#include "restore/ListChanges.h"
#include "textfile/IniDocument.h"
#include "bench/BenchClock.h"

using benchclock::Median;
using benchclock::Seconds;

namespace {

long allocations = 0;

}  // namespace

// Every allocation of the program is counted, so that a phase shows how many
// times it went to the heap (Wine's heap is slower than the native one).
void* operator new(size_t size) {
    ++allocations;
    if (void* block = std::malloc(size != 0 ? size : 1)) return block;
    throw std::bad_alloc();
}
void* operator new[](size_t size) {
    return operator new(size);
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    ++allocations;
    return std::malloc(size != 0 ? size : 1);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    return operator new(size, std::nothrow);
}
void operator delete(void* block) noexcept {
    std::free(block);
}
void operator delete[](void* block) noexcept {
    std::free(block);
}
void operator delete(void* block, size_t) noexcept {
    std::free(block);
}
void operator delete[](void* block, size_t) noexcept {
    std::free(block);
}

namespace {

constexpr int kHostSections = 73599;
constexpr int kPackageSections = 2000;

std::string Number(int value, int width) {
    std::string digits = std::to_string(value);
    return std::string(digits.size() < static_cast<size_t>(width) ? width - digits.size() : 0,
                       '0') +
           digits;
}

// A cabin section as hosts hold them: a model, seats, colours, and now and
// then a scale, a light switch, a mask and a comment.
std::string Section(int number, int variant) {
    const std::string id = Number(number, 6);
    std::string text = "[Kabine_" + id + "]\r\n";
    text += "Modell\t = \"Resourcen\\Modelle\\Kabinen\\K" + id + ".3dm\"\r\n";
    text += "Sitze\t = " + std::to_string((number * 7 + variant) % 90 - 4) + "\r\n";
    text += "Farbe\t = " + std::to_string(number % 256) + "," + std::to_string(number * 3 % 256) +
            "," + std::to_string((number + variant) * 5 % 256) + "\r\n";
    if (number % 3 == 0) text += "Skala\t = " + std::to_string(number % 7) + ".250\r\n";
    if (number % 4 == 1) text += "Licht\t = Y ;nachts\r\n";
    if (number % 5 == 2) text += "Maske\t = 0x00ff,0x" + Number(number % 9999, 4) + "\r\n";
    return text + "\r\n";
}

bool WriteWhole(const std::string& path, const std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

bool ReadWhole(const std::string& path, std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    std::fseek(file, 0, SEEK_END);
    bytes.resize(static_cast<size_t>(std::ftell(file)));
    std::fseek(file, 0, SEEK_SET);
    const bool read = std::fread(&bytes[0], 1, bytes.size(), file) == bytes.size();
    std::fclose(file);
    return read;
}

struct Phase {
    const char* name;
    std::vector<double> seconds;
    std::vector<long> allocations;
};

// Runs `step`, adding its time and its allocations to `phase`.
template <typename Step>
auto Timed(Phase& phase, Step step) {
    const long before = allocations;
    const double start = Seconds();
    auto result = step();
    phase.seconds.push_back(Seconds() - start);
    phase.allocations.push_back(allocations - before);
    return result;
}

void Print(const Phase& phase, double plain) {
    std::vector<double> counts(phase.allocations.begin(), phase.allocations.end());
    std::printf("  %-34s %8.4f s  %5.1fx plain  %9.0f allocations\n", phase.name,
                Median(phase.seconds), Median(phase.seconds) / plain, Median(counts));
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 5;
    if (runs < 1) {
        std::fputs("usage: merge_bench [RUNS]\n", stderr);
        return 2;
    }
    char temp[MAX_PATH];
    if (GetTempPathA(MAX_PATH, temp) == 0) return 1;
    const std::string folder = std::string(temp) + "merge_bench";
    const std::string host = folder + "\\host";
    const std::string lists = host + "\\Resourcen\\Parallels";
    const std::string original = folder + "\\cabins.original";
    const std::string list = lists + "\\cabins.ini";
    const std::string packageList = folder + "\\cabin.ini";
    const std::string copy = folder + "\\cabins.copy";
    CreateDirectoryA(folder.c_str(), nullptr);
    CreateDirectoryA(host.c_str(), nullptr);
    CreateDirectoryA((host + "\\Resourcen").c_str(), nullptr);
    CreateDirectoryA(lists.c_str(), nullptr);

    std::string hostBytes = "; Kabinenliste\r\n";
    for (int i = 0; i < kHostSections; ++i) hostBytes += Section(i, 0);
    std::string packageBytes;
    // Every second package section replaces a host section's values, the
    // others are new.
    for (int i = 0; i < kPackageSections; ++i) {
        packageBytes += Section(i % 2 == 0 ? i * 30 : kHostSections + i, 1);
    }
    if (!WriteWhole(original, hostBytes) || !WriteWhole(packageList, packageBytes)) {
        std::fprintf(stderr, "cannot write the lists into %s\n", folder.c_str());
        return 1;
    }
    std::printf("host list %zu bytes (%d sections), package list %zu bytes (%d sections)\n",
                hostBytes.size(), kHostSections, packageBytes.size(), kPackageSections);

    Phase plain{"plain read + write", {}, {}};
    Phase merge{"merge (MergeInto)", {}, {}};
    Phase prepare{"  engine: merge in memory", {}, {}};
    Phase recorder{"recorder (BeforeCabinMerge)", {}, {}};
    Phase write{"  engine: write", {}, {}};
    Phase loadHost{"  merge: load host", {}, {}};
    Phase loadPackage{"  merge: load package into it", {}, {}};
    Phase save{"  merge: save", {}, {}};
    Phase savedBytes{"  whole list: SavedBytes", {}, {}};
    Phase loadSaved{"  whole list: LoadBytes of them", {}, {}};
    Phase diff{"  whole list: DiffCabins", {}, {}};
    std::string merged;
    bool streamed = false;
    for (int round = 0; round <= runs; ++round) {
        if (!CopyFileA(original.c_str(), list.c_str(), FALSE)) return 1;
        Timed(plain, [&] {
            std::string a;
            std::string b;
            return ReadWhole(list, a) && ReadWhole(packageList, b) && WriteWhole(copy, a);
        });
        if (!Timed(merge, [&] { return cabinlist::MergeInto(list, packageList); })) {
            std::fputs("the merge failed\n", stderr);
            return 1;
        }
        if (round == 0) ReadWhole(list, merged);

        if (!CopyFileA(original.c_str(), list.c_str(), FALSE)) return 1;
        RestoreRecorder recording(folder + "\\Restore", "Bench", "");
        recording.Starting(host, folder + "\\Paket");
        if (!recording.Recording()) {
            std::fputs("no restore point\n", stderr);
            return 1;
        }
        // The engine's steps: the merge in memory, the recorder, the write.
        CabinMerge prepared;
        Timed(prepare, [&] { return prepared.Prepare(list, packageList); });
        streamed = prepared.Streamed();
        Timed(recorder, [&] {
            recording.BeforeCabinMerge(list, prepared);
            return true;
        });
        Timed(write, [&] { return prepared.Write(); });
        recording.AfterListMerge(list, true);
        recording.Finished(S_OK);
        uninstallentry::Remove(recording.Id());
        filetree::RemoveTree(folder + "\\Restore");

        // The phases one by one.
        IniDocument before(false);
        IniDocument after(false);
        Timed(loadHost, [&] { return after.Load(list.c_str(), 0, 0); });
        Timed(loadPackage, [&] { return after.Load(packageList.c_str(), 0, 0); });
        Timed(save, [&] { return after.Save(copy.c_str()); });
        before.Load(list.c_str(), 0, 0);
        const std::string bytes = Timed(savedBytes, [&] { return after.SavedBytes(); });
        IniDocument saved(false);
        Timed(loadSaved, [&] { return saved.LoadBytes(bytes); });
        Timed(diff, [&] { return listchanges::DiffCabins(before, saved); });

        std::printf("%s %d: plain %.4f s, merge %.4f s (%.1fx), recorder %.4f s (%.1fx)\n",
                    round == 0 ? "warm-up" : "run", round, plain.seconds.back(),
                    merge.seconds.back(), merge.seconds.back() / plain.seconds.back(),
                    recorder.seconds.back(), recorder.seconds.back() / plain.seconds.back());
        std::fflush(stdout);
        if (round == 0) {
            for (Phase* phase : {&plain, &merge, &recorder, &prepare, &write, &loadHost,
                                 &loadPackage, &save, &savedBytes, &loadSaved, &diff}) {
                phase->seconds.clear();
                phase->allocations.clear();
            }
        }
    }
    const double base = Median(plain.seconds);
    std::printf("medians of %d runs:\n", runs);
    for (const Phase* phase : {&plain, &merge, &loadHost, &loadPackage, &save, &recorder,
                               &savedBytes, &loadSaved, &diff})
        Print(*phase, base);
    for (const Phase* phase : {&prepare, &write}) Print(*phase, base);
    const double run = Median(prepare.seconds) + Median(recorder.seconds) + Median(write.seconds);
    std::printf("a recorded run's merge (in memory, recorder, write) %.4f s: %.1f times plain\n",
                run, run / base);
    std::printf("merged list %zu bytes, hash %s, host list taken section by section: %s\n",
                merged.size(), HexOf(HashBytes(merged)).c_str(), streamed ? "yes" : "no");
    filetree::RemoveTree(folder);
    return 0;
}
