// Reading a script section of 100 000 texture entries, against reading the
// same file into memory with one fread (the limit).
#include "package/InstallScript.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const std::int64_t kScriptEntries = 100000;

// The generated script, written once and removed when the program ends.
class ScriptFile {
public:
    ScriptFile() : path("/tmp/pakwerk_bench_instskript.txt") {
        std::string text =
            "{ Generiertes Paket }\r\nDateinstallation\r\n{\r\n"
            "    { Modelle\\a.3dm >> Resourcen\\Modelle\\a.3dm }\r\n}\r\n"
            "Texturskript\r\n{\r\n";
        for (std::int64_t id = 1; id <= kScriptEntries; ++id) {
            std::string n = std::to_string(id);
            text += "    { Texturen\\t" + n + ".bmp >> Textur{ id(" + n + ") name(Textur " + n +
                    ") datei(t" + n + ".bmp) } }\r\n";
        }
        text += "}\r\nBodenskript\r\n{\r\n}\r\n";
        std::FILE* out = std::fopen(path.c_str(), "wb");
        if (out != nullptr && std::fwrite(text.data(), 1, text.size(), out) == text.size() &&
            std::fclose(out) == 0) {
            bytes = static_cast<std::int64_t>(text.size());
        }
    }
    ~ScriptFile() { std::remove(path.c_str()); }

    const std::string& Path() const { return path; }
    std::int64_t Bytes() const { return bytes; }  // -1 when it could not be written

private:
    std::string path;
    std::int64_t bytes = -1;
};

const ScriptFile& Script() {
    static ScriptFile script;
    return script;
}

void BmInstallScriptRawRead(benchmark::State& state) {
    const ScriptFile& file = Script();
    if (file.Bytes() < 0) {
        state.SkipWithError("cannot write the script");
        return;
    }
    std::vector<char> buffer(static_cast<std::size_t>(file.Bytes()));
    for ([[maybe_unused]] auto _ : state) {
        std::FILE* in = std::fopen(file.Path().c_str(), "rb");
        std::size_t got = in != nullptr ? std::fread(buffer.data(), 1, buffer.size(), in) : 0;
        if (in != nullptr) std::fclose(in);
        if (got != buffer.size()) state.SkipWithError("short read");
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetBytesProcessed(state.iterations() * file.Bytes());
}

void BmInstallScriptSection(benchmark::State& state) {
    const ScriptFile& file = Script();
    InstallScript script;
    if (file.Bytes() < 0 || !script.Open(file.Path().c_str())) {
        state.SkipWithError("cannot open the script");
        return;
    }
    std::string text;
    for ([[maybe_unused]] auto _ : state) {
        std::int64_t count = 0;
        if (!script.FindSection("Texturskript")) state.SkipWithError("no section");
        while (script.NextEntry(text)) {
            ++count;
        }
        if (count != kScriptEntries) state.SkipWithError("entries missing");
    }
    state.SetBytesProcessed(state.iterations() * file.Bytes());
    state.SetItemsProcessed(state.iterations() * kScriptEntries);
}

BENCHMARK(BmInstallScriptRawRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BmInstallScriptSection)->Unit(benchmark::kMillisecond);

}  // namespace
