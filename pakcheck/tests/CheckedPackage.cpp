#include "CheckedPackage.h"

#include <filesystem>

#include "pakcheck/reading/CodePage.h"
#include "pakcheck/reading/FileSystem.h"
#include "pakcheck/reading/PackagePath.h"
#include "pakcheck/reporting/JsonReport.h"

#ifdef PAKCHECK_JSON_PARSER
#include <nlohmann/json.hpp>
#endif

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <utime.h>
#endif

namespace pakcheck {

namespace testpackage {

namespace {

// A folder of the source tree as this test program reaches it: Wine sees
// the Linux file system as drive Z:.
std::string SourceFolder(const std::string& unixPath) {
#ifdef _WIN32
    std::string path = "Z:" + unixPath;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
#else
    return unixPath;
#endif
}

void MakeFolders(const std::string& root, const std::string& name) {
    std::string folder = root;
    const std::vector<std::string> names = packagepath::Split(name);
    for (std::size_t i = 0; i + 1 < names.size(); ++i) {
        folder = files::Join(folder, names[i]);
        files::MakeFolder(folder);
    }
}

void ReadInto(const std::string& folder, const std::string& prefix, Tree* tree) {
    std::vector<std::string> names;
    if (!files::ListFolder(folder, &names)) return;
    for (const std::string& name : names) {
        const std::string path = files::Join(folder, name);
        const std::string relative = prefix.empty() ? name : prefix + "\\" + name;
        if (files::Probe(path).folder) {
            ReadInto(path, relative, tree);
        } else if (name != ".gitattributes") {
            files::ReadBytes(path, &(*tree)[relative]);
        }
    }
}

}  // namespace

std::string ExampleFolder(const std::string& name) {
    return files::Join(SourceFolder(PAKCHECK_EXAMPLE_DIR), name);
}

std::string GoldenFolder(const std::string& name) {
    return files::Join(SourceFolder(PAKCHECK_GOLDEN_DIR), name);
}

std::string SourceFile(const std::string& name) {
    std::string path = SourceFolder(PAKCHECK_SOURCE_DIR);
    for (const std::string& part : packagepath::Split(name)) path = files::Join(path, part);
    return path;
}

Tree ReadTree(const std::string& folder) {
    Tree tree;
    ReadInto(folder, "", &tree);
    return tree;
}

bool WriteTree(const std::string& folder, const Tree& tree) {
    for (const auto& file : tree) {
        MakeFolders(folder, file.first);
        if (!files::WriteBytes(packagepath::Literal(folder, file.first), file.second)) return false;
    }
    return true;
}

bool SetWriteTime(const std::string& path, int64_t seconds) {
#ifdef _WIN32
    HANDLE file =
        CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const ULONGLONG ticks = (static_cast<ULONGLONG>(seconds) + 11644473600ULL) * 10000000ULL;
    FILETIME time{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    const bool set = SetFileTime(file, nullptr, nullptr, &time) != 0;
    CloseHandle(file);
    return set;
#else
    struct utimbuf times {
        static_cast<time_t>(seconds), static_cast<time_t>(seconds)
    };
    return utime(path.c_str(), &times) == 0;
#endif
}

bool SetReadOnly(const std::string& path, bool readOnly) {
#ifdef _WIN32
    return SetFileAttributesA(path.c_str(),
                              readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL) != 0;
#else
    return chmod(path.c_str(), readOnly ? 0444 : 0644) == 0;
#endif
}

CheckedPackage::CheckedPackage() {
    EXPECT_TRUE(files::MakeTemporaryFolder(&root));
    package = files::Join(root, "package");
    host = files::Join(root, "host");
    EXPECT_TRUE(files::MakeFolder(package));
    EXPECT_TRUE(files::MakeFolder(host));
}

CheckedPackage::~CheckedPackage() {
    files::RemoveTree(root);
}

void CheckedPackage::Write(const std::string& name, const std::string& bytes) {
    MakeFolders(package, name);
    ASSERT_TRUE(files::WriteBytes(Path(name), bytes)) << name;
}

void CheckedPackage::WriteInHost(const std::string& name, const std::string& bytes) {
    MakeFolders(host, name);
    ASSERT_TRUE(files::WriteBytes(HostPath(name), bytes)) << name;
}

std::string CheckedPackage::Path(const std::string& name) const {
    return packagepath::Literal(package, name);
}

std::string CheckedPackage::HostPath(const std::string& name) const {
    return packagepath::Literal(host, name);
}

const Report& CheckedPackage::Check(bool host, const std::string& language) {
    Options options;
    options.packageDir = package;
    options.hostDir = host ? this->host : std::string();
    options.languages = language.empty() ? std::vector<std::string>{"GER", "ENG", "FRA", "POL"}
                                         : std::vector<std::string>{language};
    EXPECT_TRUE(checker::Check(options, &report));
    if (host) {
        // A scratch folder kept from check to check, holding what earlier
        // checks left there, gives the same report.
        const std::string kept = files::Join(root, "scratch");
        EXPECT_TRUE(files::MakeFolder(kept));
        Report again;
        EXPECT_TRUE(checker::Check(options, &again, kept));
        EXPECT_EQ(jsonreport::Write(again), jsonreport::Write(report));
        EXPECT_TRUE(files::Probe(kept).folder);
    }
    return report;
}

void ExpectJsonReport(const std::string& json, const Report& report) {
#ifdef PAKCHECK_JSON_PARSER
    nlohmann::json parsed;
    try {
        parsed = nlohmann::json::parse(json);
    } catch (const nlohmann::json::exception& e) {
        ADD_FAILURE() << e.what() << "\n" << json;
        return;
    }
    EXPECT_EQ(parsed.at("package").get<std::string>(), codepage::AsUtf8(report.packageDir));
    if (report.hostDir.empty()) {
        EXPECT_TRUE(parsed.at("host").is_null());
    } else {
        EXPECT_EQ(parsed.at("host").get<std::string>(), codepage::AsUtf8(report.hostDir));
    }
    EXPECT_EQ(parsed.at("summary").at("errors").get<int>(), report.Count(Severity::Error));
    EXPECT_EQ(parsed.at("summary").at("warnings").get<int>(), report.Count(Severity::Warning));
    EXPECT_EQ(parsed.at("summary").at("notes").get<int>(), report.Count(Severity::Note));
    EXPECT_EQ(parsed.at("scripts").size(), report.scripts.size());
    EXPECT_EQ(parsed.at("plans").size(), report.plans.size());
    const nlohmann::json& findings = parsed.at("findings");
    ASSERT_EQ(findings.size(), report.findings.size());
    for (std::size_t i = 0; i < findings.size(); ++i) {
        const Finding& finding = report.findings[i];
        EXPECT_EQ(findings[i].at("severity").get<std::string>(), SeverityName(finding.severity));
        EXPECT_EQ(findings[i].at("file").get<std::string>(), codepage::AsUtf8(finding.file));
        EXPECT_EQ(findings[i].at("inHost").get<bool>(), finding.inHost);
        EXPECT_EQ(findings[i].at("line").get<int32_t>(), finding.line);
        EXPECT_EQ(findings[i].at("code").get<std::string>(), finding.code);
        EXPECT_EQ(findings[i].at("message").get<std::string>(), codepage::AsUtf8(finding.message));
        EXPECT_EQ(findings[i].at("plan").get<int32_t>(), finding.plan);
    }
#else
    int depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < json.size(); ++i) {
        if (inString) {
            if (json[i] == '\\')
                ++i;
            else if (json[i] == '"')
                inString = false;
        } else if (json[i] == '"') {
            inString = true;
        } else if (json[i] == '{' || json[i] == '[') {
            ++depth;
        } else if (json[i] == '}' || json[i] == ']') {
            ASSERT_GT(depth, 0) << i;
            --depth;
        }
    }
    EXPECT_EQ(depth, 0);
    EXPECT_FALSE(inString);
    EXPECT_FALSE(report.findings.size() > 0 && json.find("\"findings\":[{") == std::string::npos);
#endif
}

const Report& CheckedPackage::CheckByRelativePaths(bool host) {
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(root);
    Options options;
    options.packageDir = "package";
    options.hostDir = host ? "host" : "";
    options.languages = {"GER", "ENG", "FRA", "POL"};
    EXPECT_TRUE(checker::Check(options, &report));
    std::filesystem::current_path(before);
    return report;
}

int CheckedPackage::Count(const std::string& code) const {
    int count = 0;
    for (const Finding& finding : report.findings) {
        if (finding.code == code) ++count;
    }
    return count;
}

bool CheckedPackage::Has(const std::string& code, Severity severity, const std::string& file,
                         int32_t line) const {
    for (const Finding& finding : report.findings) {
        if (finding.code == code && finding.severity == severity && finding.file == file &&
            finding.line == line) {
            return true;
        }
    }
    return false;
}

std::string CheckedPackage::Listing() const {
    std::string text;
    for (const Finding& finding : report.findings) {
        text += std::string(SeverityName(finding.severity)) + " " + finding.code + " " +
                finding.file + ":" + std::to_string(finding.line) + " " + finding.message + "\n";
    }
    return text.empty() ? "(no findings)\n" : text;
}

}  // namespace testpackage

}  // namespace pakcheck
