// The checker's JSON report on an arbitrary package: it must always be one
// JSON object that a strict parser reads (valid UTF-8, proper escapes) and
// that says what the report holds.
//
// Input: the package's files, separated by a line "--": the install script
// InstSkript.txt, the catalogue InstSkript.ini, the cabin list cabin.ini,
// and the host's texture list; a part that is missing is no file. With the
// fourth part the checker also plans the installation into a host folder
// that holds that list as both texture lists. The package always holds
// Modelle\a.3dm and Texturen\t.bmp for the script's entries to find.
//
// The package and host folders are made once and only the input's files are
// rewritten (or removed) per input, and only those that differ from the
// last input's. The checker tries its merges in a scratch folder that is
// also made once: it replaces what it needs in there on every check.
// The report is read back by a strict JSON reader of this target's own
// (StrictJsonReader.h).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "ScratchRoot.h"
#include "StrictJsonReader.h"
#include "pakcheck/Checker.h"
#include "pakcheck/reading/FileSystem.h"
#include "pakcheck/reporting/JsonReport.h"

namespace pakcheck {

namespace {

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "json report fuzzer: %s\n", what);
        std::abort();
    }
}

std::string root, package, host, lists, scratch;

std::vector<std::string_view> Parts(std::string_view bytes) {
    static constexpr std::string_view kSeparator = "\n--\n";
    std::vector<std::string_view> parts;
    while (parts.size() < 3) {
        const std::size_t at = bytes.find(kSeparator);
        if (at == std::string_view::npos) break;
        parts.push_back(bytes.substr(0, at));
        bytes.remove_prefix(at + kSeparator.size());
    }
    parts.push_back(bytes);
    return parts;
}

void Write(const std::string& folder, const char* name, std::string_view bytes) {
    Check(files::WriteBytes(files::Join(folder, name), std::string(bytes)),
          "cannot write a file of the package");
}

// One file the input decides, with what it holds now: a mutation mostly
// changes one part, and the files of the others need not be written again.
class InputFile {
public:
    InputFile(const std::string* folder, const char* name) : folder(folder), name(name) {}

    // The file holds `bytes` (when given) or is no file.
    void Set(const std::string_view* bytes) {
        if (bytes == nullptr) {
            if (!present) return;
            Check(files::RemoveTree(files::Join(*folder, name)),
                  "cannot remove a file of the package");
            present = false;
            return;
        }
        if (present && *bytes == held) return;
        Write(*folder, name, *bytes);
        held.assign(bytes->data(), bytes->size());
        present = true;
    }

private:
    const std::string* folder;
    const char* name;
    bool present = false;
    std::string held;
};

InputFile script(&package, "InstSkript.txt"), catalogue(&package, "InstSkript.ini"),
    cabins(&package, "cabin.ini"), textures(&lists, "Texturen.txt"),
    groundTextures(&lists, "Bodentexturen.txt");

// The package's file of part `part`: that part when there is one, else no file.
void WriteOrRemove(const std::vector<std::string_view>& parts, std::size_t part, InputFile* file) {
    file->Set(part < parts.size() ? &parts[part] : nullptr);
}

int Initialize() {
    root = fuzzscratch::MakeScratchRoot("json report fuzzer");
    package = files::Join(root, "package");
    host = files::Join(root, "host");
    lists = files::Join(files::Join(host, "Resourcen"), "Parallels");
    scratch = files::Join(root, "scratch");
    Check(files::MakeFolder(package) && files::MakeFolder(scratch) &&
              files::MakeFolder(files::Join(package, "Modelle")) &&
              files::MakeFolder(files::Join(package, "Texturen")) && files::MakeFolder(host) &&
              files::MakeFolder(files::Join(host, "Resourcen")) && files::MakeFolder(lists),
          "cannot make the package and host folders");
    Write(package, "Modelle/a.3dm", "model");
    Write(package, "Texturen/t.bmp", "BM");
    return 0;
}

int TestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string_view> parts =
        Parts(std::string_view(reinterpret_cast<const char*>(data), size));
    WriteOrRemove(parts, 0, &script);
    WriteOrRemove(parts, 1, &catalogue);
    WriteOrRemove(parts, 2, &cabins);
    Options options;
    options.packageDir = package;
    options.languages = {"GER", "ENG", "FRA", "POL"};  // as the command line without --lang
    // Without a fourth part the host folder is not looked at: its lists stay
    // as they are until an input has one.
    if (parts.size() > 3) {
        WriteOrRemove(parts, 3, &textures);
        WriteOrRemove(parts, 3, &groundTextures);
        options.hostDir = host;
    }

    Report report;
    Check(checker::Check(options, &report, scratch), "the package folder cannot be read");
    const std::string json = jsonreport::Write(report);
    strictjson::Shape shape;
    if (!strictjson::Read(json, &shape)) {
        std::fprintf(stderr, "%s\n", json.c_str());
        Check(false, "the report is not one JSON object");
    }
    Check(shape.findings == static_cast<long>(report.findings.size()), "findings lost or added");
    Check(shape.scripts == static_cast<long>(report.scripts.size()), "scripts lost or added");
    Check(shape.plans == static_cast<long>(report.plans.size()), "plans lost or added");
    Check(shape.errors == report.Count(Severity::Error), "the summary miscounts the errors");
    return 0;
}

}  // namespace

}  // namespace pakcheck

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    return pakcheck::Initialize();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return pakcheck::TestOneInput(data, size);
}
