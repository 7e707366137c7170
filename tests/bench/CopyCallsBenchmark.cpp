// copycalls_bench: what each Win32 call of a package file's installation
// costs under Wine, on the shapes of the large package of install_bench,
// against a plain CopyFileA of the same files.
//
//   copycalls_bench [ROUNDS [FILES [FOLDERS [MEGABYTES]]]]
//
// Defaults: 3 rounds after an untimed one, of 3000 files (about 198 MB in 40
// folders, each file a quarter to seven quarters of the mean size). Each
// round copies every file three times into fresh, empty folders (made
// beforehand): with the calls the engine makes for a new file of a recorded
// run (engine/FileInstallation, engine/TemporaryCopy, engine/RestoreRecorder),
// in their order and each timed on its own, once as they are and once as
// they were before the rename went through the copy's handle and the
// destination was looked up once; and with CopyFileA. The three take turns
// at going first. Then the calls for a file that is there already (a package
// installed again) are timed over the files. Prints, per call, the median
// over the rounds of its microseconds per file, and the totals per file.
// Run by tools/copycalls-bench.sh.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "bench/BenchClock.h"
#include "e2e/FileTree.h"
#include "restore/ContentHash.h"
#include "textfile/SafeReplace.h"

using benchclock::Median;
using benchclock::Seconds;

namespace {

// Seconds spent per call name in one round, in the order first seen.
class CallTimes {
public:
    template <typename Call>
    auto Time(const std::string& name, Call call) {
        const double start = Seconds();
        auto result = call();
        Add(name, Seconds() - start);
        return result;
    }
    void Add(const std::string& name, double seconds) {
        auto found = index.find(name);
        if (found == index.end()) {
            found = index.emplace(name, names.size()).first;
            names.push_back(name);
            totals.push_back(0);
            calls.push_back(0);
        }
        totals[found->second] += seconds;
        ++calls[found->second];
    }

    std::vector<std::string> names;
    std::vector<double> totals;
    std::vector<int> calls;

private:
    std::map<std::string, size_t> index;
};

struct Layout {
    std::string base;
    std::vector<std::string> names;  // "OrdnerN\\DateiI.dat"
    int folders = 0;
};

bool Generate(const Layout& layout, size_t totalBytes) {
    const std::string source = layout.base + "\\source";
    if (!CreateDirectoryA(layout.base.c_str(), nullptr) ||
        !CreateDirectoryA(source.c_str(), nullptr)) {
        return false;
    }
    for (int folder = 0; folder < layout.folders; ++folder) {
        if (!CreateDirectoryA((source + "\\Ordner" + std::to_string(folder)).c_str(), nullptr)) {
            return false;
        }
    }
    // The sizes and bytes of install_bench's package (tests/e2e/Scenario.cpp).
    const size_t files = layout.names.size();
    const size_t mean = totalBytes / files;
    std::string bytes(mean * 7 / 4 + 16, '\0');
    uint32_t noise = 2463534242u;
    for (char& c : bytes) {
        noise ^= noise << 13;
        noise ^= noise >> 17;
        noise ^= noise << 5;
        c = static_cast<char>(noise);
    }
    for (size_t i = 0; i < files; ++i) {
        const size_t size = mean / 4 + (mean * 3 / 2) * (i % 7) / 6;
        const std::string stamp = std::to_string(i);
        HANDLE file = CreateFileA((source + "\\" + layout.names[i]).c_str(), GENERIC_WRITE, 0,
                                  nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        const bool ok =
            file != INVALID_HANDLE_VALUE &&
            WriteFile(file, stamp.data(), static_cast<DWORD>(stamp.size()), &written, nullptr) &&
            WriteFile(file, bytes.data(), static_cast<DWORD>(size), &written, nullptr) &&
            written == size;
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
        if (!ok) return false;
    }
    return true;
}

bool MakeTarget(const Layout& layout, const std::string& target) {
    filetree::RemoveTree(target);
    if (!CreateDirectoryA(target.c_str(), nullptr)) return false;
    for (int folder = 0; folder < layout.folders; ++folder) {
        if (!CreateDirectoryA((target + "\\Ordner" + std::to_string(folder)).c_str(), nullptr)) {
            return false;
        }
    }
    return true;
}

// The bytes of the journal's records (their sizes are those of a file's
// three records).
const char* RecordText() {
    static const std::string kText(200, 'x');
    return kText.c_str();
}

// A journal record of `size` bytes appended and flushed, as the recorder
// appends its records.
bool Record(std::FILE* journal, size_t size) {
    return std::fwrite(RecordText(), 1, size, journal) == size && std::fflush(journal) == 0;
}

// The same through a handle opened for appending, as the recorder writes now:
// `size` bytes held back before these are written with them.
bool Record(HANDLE journal, size_t size, size_t heldBack = 0) {
    std::string bytes(RecordText(), heldBack);
    bytes.append(RecordText(), size);
    DWORD written = 0;
    return WriteFile(journal, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

// Renames the open file through its handle (TemporaryCopy's move).
bool Rename(HANDLE file, const std::string& destination, bool replace) {
    std::vector<wchar_t> wide(destination.size() + 1);
    const int units = MultiByteToWideChar(CP_ACP, 0, destination.c_str(), -1, wide.data(),
                                          static_cast<int>(wide.size()));
    if (units <= 1) return false;
    std::vector<wchar_t> storage(sizeof(FILE_RENAME_INFO) / sizeof(wchar_t) + wide.size() + 4);
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(storage.data());
    info->ReplaceIfExists = replace ? TRUE : FALSE;
    info->RootDirectory = nullptr;
    info->FileNameLength = static_cast<DWORD>(sizeof(wchar_t) * (units - 1));
    std::copy(wide.begin(), wide.begin() + units, info->FileName);
    return SetFileInformationByHandle(file, FileRenameInfo, info,
                                      static_cast<DWORD>(sizeof(wchar_t) * storage.size())) != 0;
}

// The engine's calls for a new file of a recorded run, in their order: as
// they are (`earlier` false), or as they were before the destination was
// looked up once and the copy renamed through its handle (`earlier` true).
bool EngineCopies(const Layout& layout, const std::string& target, bool earlier, CallTimes& times) {
    const std::string path = target + "\\journal.ini";
    std::FILE* journal = earlier ? std::fopen(path.c_str(), "ab") : nullptr;
    HANDLE appending =
        earlier ? INVALID_HANDLE_VALUE
                : CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (journal == nullptr && appending == INVALID_HANDLE_VALUE) return false;
    // The step record of the file before, held back by the recorder.
    size_t heldBack = 0;
    std::vector<char> buffer(1 << 20);
    const std::string host = target + "\\";
    bool ok = true;
    for (const std::string& name : layout.names) {
        const std::string source = layout.base + "\\source\\" + name;
        const std::string destination = host + name;
        const std::string folder = destination.substr(0, destination.rfind('\\'));
        const std::string temporary = safereplace::TemporaryPathFor(destination.c_str());
        char full[MAX_PATH];
        times.Time("GetFileAttributesA: source (there)",
                   [&] { return GetFileAttributesA(source.c_str()); });
        times.Time("GetFullPathNameW: host and destination", [&] {
            wchar_t wide[MAX_PATH];
            wchar_t resolved[MAX_PATH];
            MultiByteToWideChar(CP_ACP, 0, host.c_str(), -1, wide, MAX_PATH);
            GetFullPathNameW(wide, MAX_PATH, resolved, nullptr);
            MultiByteToWideChar(CP_ACP, 0, destination.c_str(), -1, wide, MAX_PATH);
            return GetFullPathNameW(wide, MAX_PATH, resolved, nullptr);
        });
        times.Time("GetFileAttributesA: destination (missing), newer?",
                   [&] { return GetFileAttributesA(destination.c_str()); });
        times.Time("GetFullPathNameA: journal's path", [&] {
            GetFullPathNameA(host.c_str(), MAX_PATH, full, nullptr);
            return GetFullPathNameA(destination.c_str(), MAX_PATH, full, nullptr);
        });
        if (earlier) {
            times.Time("GetFileAttributesA: folder (there), journal",
                       [&] { return GetFileAttributesA(folder.c_str()); });
            times.Time("GetFileAttributesA: destination (missing), journal",
                       [&] { return GetFileAttributesA(destination.c_str()); });
        }
        ok =
            times.Time(earlier ? "journal: file record + fflush" : "journal: file record, written",
                       [&] {
                           return earlier ? Record(journal, 121) : Record(appending, 121, heldBack);
                       }) &&
            ok;
        HANDLE from = times.Time("CreateFileA: source (read)", [&] {
            return CreateFileA(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        });
        FILETIME written;
        times.Time("GetFileTime: source",
                   [&] { return GetFileTime(from, nullptr, nullptr, &written); });
        HANDLE to = times.Time("CreateFileA: temporary (CREATE_ALWAYS)", [&] {
            return CreateFileA(temporary.c_str(), GENERIC_WRITE | (earlier ? 0 : DELETE), 0,
                               nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        });
        if (from == INVALID_HANDLE_VALUE || to == INVALID_HANDLE_VALUE) return false;
        ContentHash hash;
        for (int read = 0;; ++read) {
            DWORD got = 0;
            times.Time(read == 0 ? "ReadFile: the file" : "ReadFile: at its end", [&] {
                return ReadFile(from, buffer.data(), static_cast<DWORD>(buffer.size()), &got,
                                nullptr);
            });
            if (got == 0) break;
            times.Time("content hash (in memory)", [&] {
                hash.Add(buffer.data(), got);
                return true;
            });
            DWORD put = 0;
            ok = times.Time("WriteFile: the file", [&] {
                return WriteFile(to, buffer.data(), got, &put, nullptr);
            }) && ok;
        }
        FILE_BASIC_INFO basic = {};
        basic.LastWriteTime.LowPart = written.dwLowDateTime;
        basic.LastWriteTime.HighPart = static_cast<LONG>(written.dwHighDateTime);
        basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
        times.Time("SetFileInformationByHandle: time, attributes", [&] {
            return SetFileInformationByHandle(to, FileBasicInfo, &basic, sizeof basic);
        });
        if (earlier) times.Time("CloseHandle: temporary", [&] { return CloseHandle(to); });
        times.Time("CloseHandle: source", [&] { return CloseHandle(from); });
        ok = times.Time(earlier ? "journal: content record + fflush"
                                : "journal: content record, written",
                        [&] { return earlier ? Record(journal, 57) : Record(appending, 57); }) &&
             ok;
        if (earlier) {
            times.Time("GetFileAttributesA: destination (missing), move",
                       [&] { return GetFileAttributesA(destination.c_str()); });
            ok = times.Time("MoveFileExA: REPLACE_EXISTING", [&] {
                return MoveFileExA(temporary.c_str(), destination.c_str(),
                                   MOVEFILE_REPLACE_EXISTING);
            }) && ok;
            ok = times.Time("journal: step record + fflush", [&] { return Record(journal, 28); }) &&
                 ok;
        } else {
            ok = times.Time("SetFileInformationByHandle: rename, no replace", [&] {
                return Rename(to, destination, false);
            }) && ok;
            times.Time("CloseHandle: temporary", [&] { return CloseHandle(to); });
            heldBack = 28;
        }
    }
    if (!earlier) return CloseHandle(appending) && ok;
    return std::fclose(journal) == 0 && ok;
}

bool PlainCopies(const Layout& layout, const std::string& target, CallTimes& times) {
    bool ok = true;
    for (const std::string& name : layout.names) {
        const std::string source = layout.base + "\\source\\" + name;
        const std::string destination = target + "\\" + name;
        ok = times.Time("CopyFileA", [&] {
            return CopyFileA(source.c_str(), destination.c_str(), FALSE);
        }) && ok;
    }
    return ok;
}

// The calls of a file that is there already (a package installed again),
// over the files a copy left in `target`: each on its own.
bool ExistingFiles(const Layout& layout, const std::string& target, CallTimes& times) {
    bool ok = true;
    for (const std::string& name : layout.names) {
        const std::string destination = target + "\\" + name;
        const std::string temporary = safereplace::TemporaryPathFor(destination.c_str());
        times.Time("GetFileAttributesA: destination (there)",
                   [&] { return GetFileAttributesA(destination.c_str()); });
        ok = times.Time("TargetWritable: destination (there)", [&] {
            return safereplace::TargetWritable(destination.c_str());
        }) && ok;
        HANDLE to = CreateFileA(temporary.c_str(), GENERIC_WRITE | DELETE, 0, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (to == INVALID_HANDLE_VALUE) return false;
        DWORD put = 0;
        WriteFile(to, RecordText(), 100, &put, nullptr);
        ok = times.Time("SetFileInformationByHandle: rename, replacing", [&] {
            return Rename(to, destination, true);
        }) && ok;
        CloseHandle(to);
    }
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 3;
    const int files = argc > 2 ? std::atoi(argv[2]) : 3000;
    const int folders = argc > 3 ? std::atoi(argv[3]) : 40;
    const size_t megabytes = argc > 4 ? std::strtoul(argv[4], nullptr, 10) : 198;
    if (rounds < 1 || files < 1 || folders < 1 || megabytes < 1) {
        std::fputs("usage: copycalls_bench [ROUNDS [FILES [FOLDERS [MEGABYTES]]]]\n", stderr);
        return 2;
    }
    char temp[MAX_PATH];
    if (GetTempPathA(MAX_PATH, temp) == 0) return 1;
    Layout layout;
    layout.base = std::string(temp) + "pakwerk-copycalls";
    layout.folders = folders;
    for (int i = 0; i < files; ++i) {
        layout.names.push_back("Ordner" + std::to_string(i % folders) + "\\Datei" +
                               std::to_string(i) + ".dat");
    }
    filetree::RemoveTree(layout.base);
    if (!Generate(layout, megabytes << 20)) {
        std::fprintf(stderr, "cannot generate the files in %s\n", layout.base.c_str());
        return 1;
    }
    std::printf("%d files, %zu MB, %d folders; %d rounds after an untimed one\n", files, megabytes,
                folders, rounds);

    // Per pass and call name, its microseconds per call in each round.
    const char* const kPasses[] = {"engine's calls before", "engine's calls now", "CopyFileA",
                                   "a file there already"};
    std::vector<std::string> order[4];
    std::map<std::string, std::vector<double>> perCall[4];
    std::vector<double> totals[3];
    for (int round = 0; round <= rounds; ++round) {
        CallTimes times[4];
        double seconds[3] = {};
        const std::string targets[3] = {layout.base + "\\before", layout.base + "\\now",
                                        layout.base + "\\plain"};
        bool ok = true;
        for (const std::string& target : targets) ok = ok && MakeTarget(layout, target);
        // Each round starts with another pass, so that no pass always finds
        // the system's caches as the same other pass left them.
        for (int turn = 0; turn < 3 && ok; ++turn) {
            const int pass = (turn + round) % 3;
            const double start = Seconds();
            ok = pass == 2 ? PlainCopies(layout, targets[pass], times[pass])
                           : EngineCopies(layout, targets[pass], pass == 0, times[pass]);
            seconds[pass] = Seconds() - start;
        }
        ok = ok && ExistingFiles(layout, targets[2], times[3]);
        if (!ok) {
            std::fprintf(stderr, "round %d failed (error %lu)\n", round, GetLastError());
            return 1;
        }
        std::printf("%s %d: engine's calls before %.3f s, now %.3f s, CopyFileA %.3f s\n",
                    round == 0 ? "warm-up" : "round", round, seconds[0], seconds[1], seconds[2]);
        std::fflush(stdout);
        if (round == 0) continue;
        for (int pass = 0; pass < 4; ++pass) {
            if (pass < 3) totals[pass].push_back(seconds[pass]);
            for (size_t i = 0; i < times[pass].names.size(); ++i) {
                const std::string& name = times[pass].names[i];
                if (perCall[pass].count(name) == 0) order[pass].push_back(name);
                perCall[pass][name].push_back(times[pass].totals[i] * 1e6 / files);
            }
        }
    }
    for (int pass = 0; pass < 4; ++pass) {
        std::printf("\n%-55s %12s\n", kPasses[pass], "us per file");
        for (const std::string& name : order[pass]) {
            std::printf("  %-53s %12.1f\n", name.c_str(), Median(perCall[pass][name]));
        }
    }
    const double before = Median(totals[0]) * 1e6 / files;
    const double now = Median(totals[1]) * 1e6 / files;
    const double plain = Median(totals[2]) * 1e6 / files;
    std::printf(
        "\nper file (medians): engine's calls before %.0f us (%.2f times CopyFileA), now "
        "%.0f us (%.2f times), CopyFileA %.0f us\n",
        before, before / plain, now, now / plain, plain);
    filetree::RemoveTree(layout.base);
    return 0;
}
