#include "pakcheck/reading/CabinCheck.h"

#include <cerrno>
#include <cstdlib>
#include <map>
#include <set>

#include "pakcheck/reading/CodePage.h"
#include "pakcheck/reading/FileSystem.h"
#include "pakcheck/reading/PackagePath.h"
#include "textfile/IniDocument.h"
#include "textfile/IniSyntax.h"

namespace pakcheck {

namespace cabincheck {

namespace {

std::vector<std::string_view> Items(std::string_view value) {
    std::vector<std::string_view> items;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = value.find(',', start);
        items.push_back(inisyntax::Trim(value.substr(start, comma == std::string_view::npos
                                                                ? std::string_view::npos
                                                                : comma - start)));
        if (comma == std::string_view::npos) return items;
        start = comma + 1;
    }
}

bool WholeNumber(std::string_view item, int base) {
    if (item.empty()) return false;
    const std::string text(item);
    char* end = nullptr;
    errno = 0;
    if (base == 10) {
        const long long value = std::strtoll(text.c_str(), &end, 10);
        if (value < INT32_MIN || value > INT32_MAX) return false;
    } else {
        const unsigned long long value = std::strtoull(text.c_str(), &end, 16);
        if (value > UINT32_MAX || text[0] == '-') return false;
    }
    return errno == 0 && *end == '\0';
}

bool WholeFloat(std::string_view item, bool* rounded) {
    if (item.empty()) return false;
    const std::string text(item);
    char* end = nullptr;
    std::strtod(text.c_str(), &end);
    if (*end != '\0') return false;
    const std::size_t point = text.find('.');
    if (point != std::string::npos) {
        const std::size_t digits = text.find_first_not_of("0123456789", point + 1);
        const std::size_t decimals =
            (digits == std::string::npos ? text.size() : digits) - point - 1;
        if (decimals > 3) *rounded = true;
    }
    return true;
}

// "Y" or "N" for an item that means yes or no; 0 for anything else.
char YesOrNo(std::string_view item) {
    const std::string folded = packagepath::Folded(std::string(item));
    if (folded == "y" || folded == "yes") return 'Y';
    if (folded == "n" || folded == "no") return 'N';
    return 0;
}

// What the merged list will hold for a value: the canonical form the
// document writes (a Text is kept, an Untyped value is written as read).
std::string Canonical(NodeKind kind, const std::string& value, int32_t count) {
    std::string out;
    inisyntax::AppendList(kind, reinterpret_cast<const uint8_t*>(value.data()),
                          static_cast<int32_t>(value.size()), count, &out);
    return out;
}

using Line = IniLineListener::Line;

// The value findings of one key line.
void CheckValue(const Line& line, const std::string& file, Findings* findings) {
    std::string value;
    int32_t count = 0;
    const NodeKind kind = inisyntax::DecodeValue(line.value, line.items, &value, &count);
    const std::string key = codepage::ToUtf8(line.key, codepage::CodePage::Windows1252);
    const std::string shown = codepage::Quote(line.value);
    if (kind == NodeKind::Untyped) {
        if (line.value.empty()) return;
        Add(findings, Severity::Warning, file, line.number, "cabin-untyped",
            "The value " + shown + " of \"" + key +
                "\" is no text in double quotes, number list or Y/N list: whoever reads the list through typed lookups gets an empty text or zeros from it (the merge writes it back as it stands).");
        return;
    }
    if (kind == NodeKind::Text) {
        const std::size_t close = line.value.find('"', 1);
        if (close != std::string_view::npos && close + 1 < line.value.size()) {
            Add(findings, Severity::Warning, file, line.number, "cabin-value-changed",
                "\"" + key + "\": the text ends at its second double quote; " +
                    codepage::Quote(line.value.substr(close + 1)) +
                    " after it is lost when the merged list is written.");
        }
        return;
    }
    bool changed = false;
    bool rounded = false;
    const std::vector<std::string_view> items = Items(line.value);
    std::string intended;
    for (std::string_view item : items) {
        switch (kind) {
        case NodeKind::IntList: changed = changed || !WholeNumber(item, 10); break;
        case NodeKind::HexList: changed = changed || !WholeNumber(item, 16); break;
        case NodeKind::FloatList: changed = changed || !WholeFloat(item, &rounded); break;
        case NodeKind::BoolList: {
            const char letter = YesOrNo(item);
            if (letter == 0) changed = true;
            if (!intended.empty()) intended.push_back(',');
            intended.push_back(letter);
            break;
        }
        default: break;
        }
    }
    const std::string written = Canonical(kind, value, count);
    if (kind == NodeKind::BoolList && !changed && written != intended) changed = true;
    if (kind == NodeKind::Bytes) {
        const std::string_view digits = line.value.substr(1);
        changed = digits.size() % 2 != 0 ||
                  digits.find_first_not_of("0123456789abcdefABCDEF") != std::string_view::npos;
    }
    if (changed) {
        const char* as = kind == NodeKind::BoolList ? "a Y/N list"
                         : kind == NodeKind::Bytes  ? "hexadecimal bytes"
                                                    : "a number list";
        Add(findings, Severity::Error, file, line.number, "cabin-value-changed",
            "The value " + shown + " of \"" + key + "\" is read as " + as +
                " and written into the merged list as " + codepage::Quote(written) +
                " (a text belongs in double quotes).");
    } else if (rounded) {
        Add(findings, Severity::Warning, file, line.number, "cabin-value-rounded",
            "The value " + shown + " of \"" + key +
                "\" is written into the merged list with three decimals, as " +
                codepage::Quote(written) + ".");
    }
}

const char* DroppedBecause(IniDroppedLine::Reason reason) {
    switch (reason) {
    case IniDroppedLine::NotAKey: return "it has no \"=\" (or starts with one)";
    case IniDroppedLine::OutsideSection: return "it stands before any valid section header";
    case IniDroppedLine::BadHeader: return "the header has no \"]\"";
    case IniDroppedLine::EmptyWideText: return "it holds an empty text";
    case IniDroppedLine::NoMemory: return "memory ran out";
    }
    return "";
}

// The findings about each line, told while the document reads the list.
class ValueChecker : public IniLineListener {
public:
    explicit ValueChecker(const std::string& file) : file(file) {}
    Findings findings;

    void OnLine(const Line& line) override {
        const std::string problem = codepage::Describe(line.text, codepage::CodePage::Windows1252);
        if (!problem.empty()) {
            Add(&findings, Severity::Warning, file, line.number, "cabin-code-page",
                "The line " + problem + "; the merge copies the bytes as they are.");
        }
        if (line.kind == Line::Header && !headers.insert(std::string(line.section)).second) {
            Add(&findings, Severity::Note, file, line.number, "cabin-section-twice",
                "The section \"" + codepage::ToUtf8(line.section, codepage::CodePage::Windows1252) +
                    "\" appears a second time: its keys join the first one's.");
        }
        if (line.kind != Line::Key) return;
        const auto key = std::make_pair(std::string(line.section), std::string(line.key));
        const auto earlier = keys.find(key);
        if (earlier != keys.end()) {
            Add(&findings, Severity::Warning, file, line.number, "cabin-key-twice",
                "\"" + codepage::ToUtf8(line.key, codepage::CodePage::Windows1252) +
                    "\" is set a second time in its section (first at line " +
                    std::to_string(earlier->second) + "): only this later value is kept.");
        } else {
            keys.emplace(key, line.number);
        }
        CheckValue(line, file, &findings);
    }

private:
    std::string file;
    std::map<std::pair<std::string, std::string>, int32_t> keys;
    std::set<std::string> headers;
};

}  // namespace

void CheckValues(const std::string& path, const std::string& file, Findings* findings) {
    IniDocument document(false);
    ValueChecker checker(file);
    if (document.Load(path.c_str(), 0, 0, &checker) != 0) return;
    findings->insert(findings->end(), checker.findings.begin(), checker.findings.end());
}

CabinInfo Check(const std::string& packageDir, Findings* findings) {
    CabinInfo info;
    const packagepath::Resolved where = packagepath::Resolve(packageDir, kPackageList);
    info.path = where.path;
    if (where.match == packagepath::Match::Missing) {
        Add(findings, Severity::Note, kPackageList, 0, "cabin-absent",
            "The package has no cabin list: the host's cabins.ini stays as it is.");
        return info;
    }
    info.present = true;
    if (where.match == packagepath::Match::OtherCase) {
        Add(findings, Severity::Warning, kPackageList, 0, "cabin-case",
            "The cabin list exists only as \"" + where.path +
                "\", in another case: Windows finds it, a case-sensitive system does not.");
    }
    std::string bytes;
    IniDocument document(false);
    ValueChecker checker(kPackageList);
    if (!files::ReadBytes(where.path, &bytes) ||
        document.Load(where.path.c_str(), 0, 0, &checker) != 0) {
        Add(findings, bytes.empty() ? Severity::Note : Severity::Warning, kPackageList, 0,
            "cabin-unreadable",
            bytes.empty()
                ? "The cabin list is empty: the installer leaves the host's cabins.ini as it is."
                : "The cabin list cannot be read: the installer leaves the host's cabins.ini as it is.");
        return info;
    }
    info.readable = true;
    if (document.Utf8Mark()) {
        Add(findings, Severity::Note, kPackageList, 1, "cabin-byte-order-mark",
            "The list starts with a UTF-8 byte-order mark; the installer skips it, but the texts are shown in the user's code page, not in UTF-8.");
    }
    for (const IniDroppedLine& dropped : document.DroppedLines()) {
        Add(findings, Severity::Warning, kPackageList, dropped.line, "cabin-line-dropped",
            "The line " + codepage::Quote(dropped.text) + " is dropped because " +
                DroppedBecause(dropped.reason) + ".");
    }
    findings->insert(findings->end(), checker.findings.begin(), checker.findings.end());
    for (const auto& node : document.Nodes()) {
        if (node->Kind() != NodeKind::Section) continue;
        CabinSection section;
        section.name = codepage::ToUtf8(node->Name().Bytes(), codepage::CodePage::Windows1252);
        for (const auto& entry : node->Entries()) {
            if (entry->Kind() != NodeKind::Comment) ++section.keys;
        }
        info.sections.push_back(section);
    }
    return info;
}

}  // namespace cabincheck

}  // namespace pakcheck
