// Loading and saving texture lists of 10 000, 100 000 and 1 000 000 entries,
// against reading the same file into memory with one fread (the limit).
#include "texturelist/TextureList.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

// Generated lists, written once per size and removed when the program ends.
class TextureListFiles {
public:
    ~TextureListFiles() {
        for (const auto& file : files_) {
            std::remove(file.second.path.c_str());
        }
    }

    struct File {
        std::string path;
        std::int64_t bytes = 0;
    };

    const File& ForEntries(std::int64_t count) {
        auto found = files_.find(count);
        if (found != files_.end()) {
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
        return files_.emplace(count, file).first->second;
    }

private:
    std::map<std::int64_t, File> files_;
};

TextureListFiles& Files() {
    static TextureListFiles files;
    return files;
}

void BM_TextureListRawRead(benchmark::State& state) {
    const auto& file = Files().ForEntries(state.range(0));
    if (file.bytes < 0) {
        state.SkipWithError("cannot write the list");
        return;
    }
    std::vector<char> buffer(static_cast<std::size_t>(file.bytes));
    for ([[maybe_unused]] auto _ : state) {
        std::FILE* in = std::fopen(file.path.c_str(), "rb");
        std::size_t got = in != nullptr ? std::fread(buffer.data(), 1, buffer.size(), in) : 0;
        if (in != nullptr) std::fclose(in);
        if (got != buffer.size()) state.SkipWithError("short read");
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetBytesProcessed(state.iterations() * file.bytes);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_TextureListLoad(benchmark::State& state) {
    const auto& file = Files().ForEntries(state.range(0));
    if (file.bytes < 0) {
        state.SkipWithError("cannot write the list");
        return;
    }
    for ([[maybe_unused]] auto _ : state) {
        TextureList list;
        if (!list.Load(file.path.c_str()) ||
            list.Entries().size() != static_cast<std::size_t>(state.range(0))) {
            state.SkipWithError("the list did not load");
        }
        benchmark::DoNotOptimize(list.Entries().size());
    }
    state.SetBytesProcessed(state.iterations() * file.bytes);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_TextureListSave(benchmark::State& state) {
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

BENCHMARK(BM_TextureListRawRead)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextureListLoad)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextureListSave)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace
