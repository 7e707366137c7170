// Speed and memory of IniDocument against inih (parse only) and SimpleIni
// on the same generated files: about 1, 10 and 50 MB, in two shapes (many
// sections of a few keys; one section of many keys). For each: Load, Load
// of a second file of the same names into the same document (merge), and
// Save. Times are the thread's CPU time, which other programs on the
// machine disturb less than the clock. Counters: MB/s, peak_MB (peak heap
// of the operation), for the peers "pakwerk_x" (their time divided by
// IniDocument's; above 1: IniDocument is faster) and "peak_x" (IniDocument's
// peak divided by theirs; at most 1 is the aim), and for IniDocument "x10"
// (10 MB: its time over that of 1 MB; at most 12 is the aim) and "x5"
// (50 MB over 10 MB). Run:  build/native/bench/pakwerk_bench --benchmark_min_time=0.2
#include <benchmark/benchmark.h>

#define SI_IMPLEMENTATION
// 8-bit text as it is, like IniDocument: no UTF-8 conversion or checking.
#define SI_NO_CONVERSION
#include <SimpleIni.h>
#include <ini.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <map>
#include <new>
#include <string>

#include "textfile/IniDocument.h"

// Heap accounting: every operator new of the program, current and peak.
namespace {
std::atomic<size_t> heapNow{0};
std::atomic<size_t> heapPeak{0};

void* Counted(size_t size) {
    void* block = std::malloc(size + 16);
    if (block == nullptr) return nullptr;
    *static_cast<size_t*>(block) = size;
    size_t now = heapNow.fetch_add(size) + size;
    size_t peak = heapPeak.load();
    while (now > peak && !heapPeak.compare_exchange_weak(peak, now)) {
    }
    return static_cast<char*>(block) + 16;
}

void Uncounted(void* pointer) {
    if (pointer == nullptr) return;
    void* block = static_cast<char*>(pointer) - 16;
    heapNow.fetch_sub(*static_cast<size_t*>(block));
    std::free(block);
}
}  // namespace

void* operator new(size_t size) {
    if (void* p = Counted(size)) return p;
    throw std::bad_alloc();
}
void* operator new[](size_t size) {
    if (void* p = Counted(size)) return p;
    throw std::bad_alloc();
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    return Counted(size);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    return Counted(size);
}
void operator delete(void* p) noexcept {
    Uncounted(p);
}
void operator delete[](void* p) noexcept {
    Uncounted(p);
}
void operator delete(void* p, size_t) noexcept {
    Uncounted(p);
}
void operator delete[](void* p, size_t) noexcept {
    Uncounted(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    Uncounted(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    Uncounted(p);
}

namespace {

enum Shape { KSections = 0, KOneSection = 1 };
const char* const kShapeNames[] = {"sections", "onesection"};

double ThreadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Writes the file once per run; `second` gives other values for the same
// names (the merge input).
std::string BenchFile(Shape shape, int megabytes, bool second) {
    static std::map<std::string, std::string> made;
    const char* tmp = std::getenv("TMPDIR");
    std::string path = std::string(tmp != nullptr ? tmp : "/tmp") + "/pakwerk-bench-" +
                       kShapeNames[shape] + "-" + std::to_string(megabytes) +
                       (second ? "-b" : "-a") + ".ini";
    if (made.count(path) != 0) return path;
    const size_t target = static_cast<size_t>(megabytes) << 20;
    const int shift = second ? 7 : 0;
    std::string text;
    text.reserve(target + 4096);
    char line[256];
    if (shape == KSections) {
        text += "; generated cabin list\r\n";
        for (int i = 0; text.size() < target; ++i) {
            std::snprintf(line, sizeof line,
                          "[Cabin_%07d] ; cabin %d\r\nName = \"Cabin %d [x22]%d[x22]\"\r\n"
                          "Size = %d, %d, %d\r\nScale = %d.250, 2.5\r\nFlags = Y,N,%c\r\n"
                          "Mask = 0x%04x\r\n\r\n",
                          i, i, i, i + shift, i % 97, i % 13 + shift, 4, i % 7, i % 2 ? 'Y' : 'N',
                          (i * 31 + shift) & 0xffff);
            text += line;
        }
    } else {
        text += "[Keys]\r\n";
        for (int i = 0; text.size() < target; ++i) {
            std::snprintf(line, sizeof line, "key%07d = %d, %d\r\n", i, i + shift, i % 1000);
            text += line;
        }
    }
    std::ofstream(path, std::ios::binary) << text;
    made[path] = path;
    return path;
}

size_t FileSize(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    return static_cast<size_t>(in.tellg());
}

// Seconds per iteration and peak bytes of each finished benchmark, for the
// ratios.
std::map<std::string, double>& Seconds() {
    static std::map<std::string, double> seconds;
    return seconds;
}

std::map<std::string, size_t>& Peaks() {
    static std::map<std::string, size_t> peaks;
    return peaks;
}

std::string Key(const char* operation, Shape shape, int megabytes) {
    return std::string(operation) + "/" + kShapeNames[shape] + "/" + std::to_string(megabytes);
}

void Finish(benchmark::State& state, const std::string& path, double total, const char* library,
            const char* operation, Shape shape, int megabytes, size_t peak) {
    const size_t bytes = FileSize(path);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    const double perIteration = total / static_cast<double>(state.iterations());
    Seconds()[std::string(library) + ":" + Key(operation, shape, megabytes)] = perIteration;
    Peaks()[std::string(library) + ":" + Key(operation, shape, megabytes)] = peak;
    state.counters["MB/s"] = static_cast<double>(bytes) / (1 << 20) / perIteration;
    state.counters["peak_MB"] = static_cast<double>(peak) / (1 << 20);
    if (std::string(library) == "pakwerk") {
        const int smaller = megabytes == 10 ? 1 : megabytes == 50 ? 10 : 0;
        auto before = Seconds().find("pakwerk:" + Key(operation, shape, smaller));
        if (smaller != 0 && before != Seconds().end()) {
            state.counters[megabytes == 10 ? "x10" : "x5"] = perIteration / before->second;
        }
        return;
    }
    auto own = Seconds().find("pakwerk:" + Key(operation, shape, megabytes));
    if (own != Seconds().end()) state.counters["pakwerk_x"] = perIteration / own->second;
    auto ownPeak = Peaks().find("pakwerk:" + Key(operation, shape, megabytes));
    if (ownPeak != Peaks().end() && peak > 0) {
        state.counters["peak_x"] = static_cast<double>(ownPeak->second) / static_cast<double>(peak);
    }
}

// Runs `work` per iteration and times only it; `prepare` and `cleanup`
// around it are not timed. Peak heap is taken over the first `work`.
template <typename Prepare, typename Work, typename Cleanup>
void Measure(benchmark::State& state, const std::string& path, const char* library,
             const char* operation, Shape shape, int megabytes, Prepare prepare, Work work,
             Cleanup cleanup) {
    double total = 0;
    size_t peak = 0;
    for ([[maybe_unused]] auto _ : state) {
        prepare();
        const size_t before = heapNow.load();
        heapPeak.store(before);
        const double start = ThreadSeconds();
        work();
        const double seconds = ThreadSeconds() - start;
        if (peak == 0) peak = heapPeak.load() - before;
        state.SetIterationTime(seconds);
        total += seconds;
        cleanup();
    }
    Finish(state, path, total, library, operation, shape, megabytes, peak);
}

void PakwerkLoad(benchmark::State& state, Shape shape, int megabytes) {
    const std::string path = BenchFile(shape, megabytes, false);
    IniDocument* document = nullptr;
    Measure(
        state, path, "pakwerk", "load", shape, megabytes, [] {},
        [&] {
            document = new IniDocument(false);
            if (document->Load(path.c_str(), 0, 0) != 0) state.SkipWithError("load failed");
        },
        [&] { delete document; });
}

void PakwerkMerge(benchmark::State& state, Shape shape, int megabytes) {
    const std::string first = BenchFile(shape, megabytes, false);
    const std::string second = BenchFile(shape, megabytes, true);
    IniDocument* document = nullptr;
    Measure(
        state, second, "pakwerk", "merge", shape, megabytes,
        [&] {
            document = new IniDocument(false);
            document->Load(first.c_str(), 0, 0);
        },
        [&] {
            if (document->Load(second.c_str(), 0, 0) != 0) state.SkipWithError("merge failed");
        },
        [&] { delete document; });
}

void PakwerkSave(benchmark::State& state, Shape shape, int megabytes) {
    const std::string path = BenchFile(shape, megabytes, false);
    const std::string out = path + ".saved-pakwerk";
    IniDocument document(false);
    document.Load(path.c_str(), 0, 0);
    Measure(
        state, path, "pakwerk", "save", shape, megabytes, [] {},
        [&] {
            if (document.Save(out.c_str()) != 0) state.SkipWithError("save failed");
        },
        [] {});
    std::remove(out.c_str());
}

int IgnoreEntry(void*, const char*, const char*, const char*) {
    return 1;
}

void InihParse(benchmark::State& state, Shape shape, int megabytes) {
    const std::string path = BenchFile(shape, megabytes, false);
    Measure(
        state, path, "inih", "load", shape, megabytes, [] {},
        [&] { benchmark::DoNotOptimize(ini_parse(path.c_str(), IgnoreEntry, nullptr)); }, [] {});
}

void SimpleIniLoad(benchmark::State& state, Shape shape, int megabytes) {
    const std::string path = BenchFile(shape, megabytes, false);
    CSimpleIniA* ini = nullptr;
    Measure(
        state, path, "simpleini", "load", shape, megabytes, [] {},
        [&] {
            ini = new CSimpleIniA();
            if (ini->LoadFile(path.c_str()) < 0) state.SkipWithError("load failed");
        },
        [&] { delete ini; });
}

void SimpleIniMerge(benchmark::State& state, Shape shape, int megabytes) {
    const std::string first = BenchFile(shape, megabytes, false);
    const std::string second = BenchFile(shape, megabytes, true);
    CSimpleIniA* ini = nullptr;
    Measure(
        state, second, "simpleini", "merge", shape, megabytes,
        [&] {
            ini = new CSimpleIniA();
            ini->LoadFile(first.c_str());
        },
        [&] {
            if (ini->LoadFile(second.c_str()) < 0) state.SkipWithError("merge failed");
        },
        [&] { delete ini; });
}

void SimpleIniSave(benchmark::State& state, Shape shape, int megabytes) {
    const std::string path = BenchFile(shape, megabytes, false);
    const std::string out = path + ".saved-simpleini";
    CSimpleIniA ini;
    ini.LoadFile(path.c_str());
    Measure(
        state, path, "simpleini", "save", shape, megabytes, [] {},
        [&] {
            if (ini.SaveFile(out.c_str()) < 0) state.SkipWithError("save failed");
        },
        [] {});
    std::remove(out.c_str());
}

// IniDocument first, then its peers on the same file, so the ratios exist.
int RegisterAll() {
    using Function = void (*)(benchmark::State&, Shape, int);
    const struct {
        const char* name;
        Function function;
    } order[] = {
        {"Load/Pakwerk", PakwerkLoad},
        {"Load/SimpleIni", SimpleIniLoad},
        {"Load/inih", InihParse},
        {"Merge/Pakwerk", PakwerkMerge},
        {"Merge/SimpleIni", SimpleIniMerge},
        {"Save/Pakwerk", PakwerkSave},
        {"Save/SimpleIni", SimpleIniSave},
    };
    for (Shape shape : {KSections, KOneSection}) {
        for (int megabytes : {1, 10, 50}) {
            for (const auto& entry : order) {
                std::string name = std::string("Ini/") + entry.name + "/" + kShapeNames[shape] +
                                   "/" + std::to_string(megabytes) + "MB";
                benchmark::RegisterBenchmark(name.c_str(), entry.function, shape, megabytes)
                    ->UseManualTime()
                    ->Unit(benchmark::kMillisecond);
            }
        }
    }
    return 0;
}

const int kRegistered = RegisterAll();

}  // namespace
