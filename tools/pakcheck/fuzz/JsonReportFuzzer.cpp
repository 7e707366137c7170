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
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>
#include <sys/stat.h>
#include <unistd.h>

#include "Checker.h"
#include "FileSystem.h"
#include "JsonReport.h"

namespace {

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "json report fuzzer: %s\n", what);
        std::abort();
    }
}

std::string root;

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

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The package and the checker's scratch folders live in memory where the
    // system has a folder for that.
    struct stat info;
    if (stat("/dev/shm", &info) == 0 && S_ISDIR(info.st_mode)) setenv("TMPDIR", "/dev/shm", 1);
    Check(files::MakeTemporaryFolder(&root), "no scratch folder");
    std::atexit([] { files::RemoveTree(root); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string_view> parts =
        Parts(std::string_view(reinterpret_cast<const char*>(data), size));
    const std::string package = files::Join(root, "package");
    const std::string host = files::Join(root, "host");
    Check(files::RemoveTree(package) && files::RemoveTree(host), "cannot clear the last package");
    Check(files::MakeFolder(package) && files::MakeFolder(files::Join(package, "Modelle")) &&
              files::MakeFolder(files::Join(package, "Texturen")),
          "cannot make the package folder");
    Write(package, "Modelle/a.3dm", "model");
    Write(package, "Texturen/t.bmp", "BM");
    Write(package, "InstSkript.txt", parts[0]);
    if (parts.size() > 1) Write(package, "InstSkript.ini", parts[1]);
    if (parts.size() > 2) Write(package, "cabin.ini", parts[2]);
    Options options;
    options.packageDir = package;
    options.languages = {"GER", "ENG", "FRA", "POL"};  // as the command line without --lang
    if (parts.size() > 3) {
        const std::string lists = files::Join(files::Join(host, "Resourcen"), "Parallels");
        Check(files::MakeFolder(host) && files::MakeFolder(files::Join(host, "Resourcen")) &&
                  files::MakeFolder(lists),
              "cannot make the host folder");
        Write(lists, "Texturen.txt", parts[3]);
        Write(lists, "Bodentexturen.txt", parts[3]);
        options.hostDir = host;
    }

    Report report;
    Check(checker::Check(options, &report), "the package folder cannot be read");
    const std::string json = jsonreport::Write(report);
    nlohmann::json parsed;
    try {
        parsed = nlohmann::json::parse(json);
    } catch (const nlohmann::json::exception& e) {
        std::fprintf(stderr, "%s\n%s\n", e.what(), json.c_str());
        Check(false, "the report is not JSON");
    }
    Check(parsed.is_object(), "the report is not one object");
    Check(parsed.at("findings").size() == report.findings.size(), "findings lost or added");
    Check(parsed.at("scripts").size() == report.scripts.size(), "scripts lost or added");
    Check(parsed.at("plans").size() == report.plans.size(), "plans lost or added");
    Check(parsed.at("summary").at("errors").get<int>() == report.Count(Severity::Error),
          "the summary miscounts the errors");
    return 0;
}
