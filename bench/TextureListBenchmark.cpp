// Loading and saving texture lists of 10 000, 100 000 and 1 000 000 entries,
// against reading the same file into memory with one fread (the limit).
// A program loads a list once, so its memory comes fresh from the system:
// before every load and every raw read the heap gives its free pages back
// (malloc_trim), and both pay the page faults of the memory they fill. Times
// are the thread's CPU time (page faults included), which other programs on
// the machine disturb less than the clock. Counters: MB/s, and for Load
// "raw_x" (its time over the raw read's: at most 10 is the aim) and "x10"
// (its time over that of a tenth of the entries: at most 12 is the aim).
//
// Merging a script section of 100 000 and 1 000 000 texture entries into a
// host list that holds every hundredth of their ids, with the section's ids
// ascending and descending: the whole MergeSection, script read and list
// saved included, on a fresh copy of the host list each time. Counter
// "down_x": the descending merge's time over the ascending one's (at most 3
// is the aim).
#include "package/InstallScript.h"
#include "texturelist/TextureList.h"
#include "texturelist/TextureMerge.h"

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

double ThreadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Seconds per iteration of the finished runs, by name and entry count.
std::map<std::string, double>& Seconds() {
    static std::map<std::string, double> seconds;
    return seconds;
}

// Runs `work` per iteration on fresh memory and times only it.
template <typename Work>
void MeasureFresh(benchmark::State& state, const char* name, std::int64_t bytes, Work work) {
    double total = 0;
    for ([[maybe_unused]] auto _ : state) {
        malloc_trim(0);
        const double start = ThreadSeconds();
        work();
        const double seconds = ThreadSeconds() - start;
        state.SetIterationTime(seconds);
        total += seconds;
    }
    const double perIteration = total / static_cast<double>(state.iterations());
    const std::int64_t entries = state.range(0);
    Seconds()[std::string(name) + "/" + std::to_string(entries)] = perIteration;
    state.SetBytesProcessed(state.iterations() * bytes);
    state.SetItemsProcessed(state.iterations() * entries);
    state.counters["MB/s"] = static_cast<double>(bytes) / (1 << 20) / perIteration;
    if (std::string(name) != "load") return;
    auto raw = Seconds().find("raw/" + std::to_string(entries));
    if (raw != Seconds().end()) state.counters["raw_x"] = perIteration / raw->second;
    auto tenth = Seconds().find("load/" + std::to_string(entries / 10));
    if (tenth != Seconds().end()) state.counters["x10"] = perIteration / tenth->second;
}

// Generated lists, written once per size and removed when the program ends.
class TextureListFiles {
public:
    ~TextureListFiles() {
        for (const auto& file : files) {
            std::remove(file.second.path.c_str());
        }
    }

    struct File {
        std::string path;
        std::int64_t bytes = 0;
    };

    const File& ForEntries(std::int64_t count) {
        auto found = files.find(count);
        if (found != files.end()) {
            return found->second;
        }
        File file;
        file.path = "/tmp/pakwerk_bench_texturen_" + std::to_string(count) + ".txt";
        std::string text = "Basis{\r\n";
        for (std::int64_t id = 1; id <= count; ++id) {
            std::string n = std::to_string(id);
            text += "\tTextur{\tid(" + n + ")\tname(Textur" + n + ")\tdatei(Texturen\\t" + n +
                    ".bmp)\tgroesse(256)\t}\r\n";
        }
        text += "}\r\n";
        std::FILE* out = std::fopen(file.path.c_str(), "wb");
        if (out == nullptr || std::fwrite(text.data(), 1, text.size(), out) != text.size() ||
            std::fclose(out) != 0) {
            file.bytes = -1;
        } else {
            file.bytes = static_cast<std::int64_t>(text.size());
        }
        return files.emplace(count, file).first->second;
    }

private:
    std::map<std::int64_t, File> files;
};

TextureListFiles& Files() {
    static TextureListFiles files;
    return files;
}

void BmTextureListRawRead(benchmark::State& state) {
    const auto& file = Files().ForEntries(state.range(0));
    if (file.bytes < 0) {
        state.SkipWithError("cannot write the list");
        return;
    }
    const auto size = static_cast<std::size_t>(file.bytes);
    MeasureFresh(state, "raw", file.bytes, [&] {
        // Not zeroed: the read is the first to touch the pages.
        std::unique_ptr<char[]> buffer(new char[size]);
        std::FILE* in = std::fopen(file.path.c_str(), "rb");
        std::size_t got = in != nullptr ? std::fread(buffer.get(), 1, size, in) : 0;
        if (in != nullptr) std::fclose(in);
        if (got != size) state.SkipWithError("short read");
        benchmark::DoNotOptimize(buffer.get());
    });
}

void BmTextureListLoad(benchmark::State& state) {
    const auto& file = Files().ForEntries(state.range(0));
    if (file.bytes < 0) {
        state.SkipWithError("cannot write the list");
        return;
    }
    MeasureFresh(state, "load", file.bytes, [&] {
        TextureList list;
        if (!list.Load(file.path.c_str()) ||
            list.Entries().size() != static_cast<std::size_t>(state.range(0))) {
            state.SkipWithError("the list did not load");
        }
        benchmark::DoNotOptimize(list.Entries().size());
    });
}

void BmTextureListSave(benchmark::State& state) {
    const auto& file = Files().ForEntries(state.range(0));
    TextureList list;
    if (file.bytes < 0 || !list.Load(file.path.c_str())) {
        state.SkipWithError("the list did not load");
        return;
    }
    const std::string target = file.path + ".saved";
    for ([[maybe_unused]] auto _ : state) {
        if (!list.Save(target.c_str())) state.SkipWithError("the list was not saved");
    }
    std::remove(target.c_str());
    state.SetBytesProcessed(state.iterations() * file.bytes);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

bool WriteFile(const std::string& path, const std::string& bytes) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    return std::fclose(out) == 0 && written;
}

// The files of one merge: the host list (kept in memory, written afresh
// before each merge) and the script, written once and removed at the end.
struct MergeFiles {
    std::string hostBytes;
    std::string hostPath;
    std::string scriptPath;
    bool written = false;

    MergeFiles(std::int64_t count, bool descending) {
        const std::string name = std::to_string(count) + (descending ? "_down" : "_up");
        hostPath = "/tmp/pakwerk_bench_merge_texturen_" + name + ".txt";
        scriptPath = "/tmp/pakwerk_bench_merge_instskript_" + name + ".txt";
        hostBytes = "Basis{\r\n";
        for (std::int64_t id = 100; id <= count; id += 100) {
            std::string n = std::to_string(id);
            hostBytes += "\tTextur{\tid(" + n + ")\tname(Alt" + n + ")\t}\r\n";
        }
        hostBytes += "}\r\n";
        std::string script = "Texturskript\r\n{\r\n";
        for (std::int64_t i = 1; i <= count; ++i) {
            std::string n = std::to_string(descending ? count + 1 - i : i);
            script += "    { Texturen\\t" + n + ".bmp >> Textur{ id(" + n + ") name(Textur " + n +
                      ") datei(t" + n + ".bmp) } }\r\n";
        }
        script += "}\r\n";
        written = WriteFile(scriptPath, script);
    }
    ~MergeFiles() {
        std::remove(scriptPath.c_str());
        std::remove(hostPath.c_str());
    }
};

void BmTextureMerge(benchmark::State& state) {
    const std::int64_t count = state.range(0);
    const bool descending = state.range(1) != 0;
    MergeFiles files(count, descending);
    if (!files.written) {
        state.SkipWithError("cannot write the script");
        return;
    }
    double total = 0;
    for ([[maybe_unused]] auto _ : state) {
        if (!WriteFile(files.hostPath, files.hostBytes)) {
            state.SkipWithError("cannot write the host list");
            break;
        }
        malloc_trim(0);
        const double start = ThreadSeconds();
        InstallScript script;
        if (!script.Open(files.scriptPath.c_str()) ||
            texturemerge::MergeSection(script, "Texturskript", files.hostPath) !=
                texturemerge::MergeResult::Saved) {
            state.SkipWithError("the merge failed");
        }
        const double seconds = ThreadSeconds() - start;
        state.SetIterationTime(seconds);
        total += seconds;
    }
    const double perIteration = total / static_cast<double>(state.iterations());
    const std::string up = "merge_up/" + std::to_string(count);
    if (!descending) {
        Seconds()[up] = perIteration;
    } else if (Seconds().count(up) != 0) {
        state.counters["down_x"] = perIteration / Seconds()[up];
    }
    state.SetItemsProcessed(state.iterations() * count);
}

// The raw reads first, so that Load finds them for its ratio.
BENCHMARK(BmTextureListRawRead)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BmTextureListLoad)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BmTextureListSave)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
// Ascending first, so that descending finds it for its ratio.
BENCHMARK(BmTextureMerge)
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->Args({1000000, 0})
    ->Args({1000000, 1})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
