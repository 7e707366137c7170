#include "pakcheck/reading/PackagePath.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "pakcheck/reading/FileSystem.h"
#include "pakcheck/reading/FolderListings.h"

namespace pakcheck {

namespace packagepath {

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

char FoldedChar(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Calls `visit` with each name of a relative path, split at "\\" and "/",
// skipping empty names.
template <typename Visit>
void EachName(const std::string& relative, Visit visit) {
    std::size_t start = 0;
    for (std::size_t at = 0; at <= relative.size(); ++at) {
        if (at < relative.size() && !IsSeparator(relative[at])) continue;
        if (at > start) visit(std::string_view(relative).substr(start, at - start));
        start = at + 1;
    }
}

// `candidate` reads as `name` ignoring case (and, when `dropBlanks`, the
// candidate's blanks); compared in place, as a lookup compares every name
// of a folder and most lookups of a checked package miss.
bool SameFolded(const std::string& candidate, const std::string& name, bool dropBlanks) {
    std::size_t at = 0;
    for (char c : candidate) {
        if (dropBlanks && IsBlank(c)) continue;
        if (at == name.size() || FoldedChar(c) != FoldedChar(name[at])) return false;
        ++at;
    }
    return at == name.size();
}

// The entry of `folder` called `name`: exactly, else in another case, else
// (when `blanks`) one that reads as `name` once its blanks are dropped.
enum class Found { Exact, OtherCase, Blanks, None };

Found FindName(const std::string& folder, const std::string& name, std::string* actual) {
    if (name == "." || name == "..") {
        *actual = name;
        return Found::Exact;
    }
    const std::vector<std::string>* names;
    if (!folderlistings::Names(folder, &names)) return Found::None;
    if (std::find(names->begin(), names->end(), name) != names->end()) {
        *actual = name;
        return Found::Exact;
    }
    for (const std::string& candidate : *names) {
        if (candidate.size() == name.size() && SameFolded(candidate, name, false)) {
            *actual = candidate;
            return Found::OtherCase;
        }
    }
    for (const std::string& candidate : *names) {
        if (candidate.size() > name.size() && SameFolded(candidate, name, true)) {
            *actual = candidate;
            return Found::Blanks;
        }
    }
    return Found::None;
}

}  // namespace

std::vector<std::string> Split(const std::string& relative) {
    std::vector<std::string> names;
    EachName(relative, [&](std::string_view name) { names.emplace_back(name); });
    return names;
}

namespace {

// `root` joined with each of `names` in turn.
std::string Joined(const std::string& root, const std::vector<std::string>& names) {
    std::string path = root;
    for (const std::string& name : names) files::Append(&path, name);
    return path;
}

}  // namespace

std::string Literal(const std::string& root, const std::string& relative) {
    return Joined(root, Split(relative));
}

Resolved Resolve(const std::string& root, const std::string& relative) {
    Resolved result;
    const std::vector<std::string> names = Split(relative);
    result.path = Joined(root, names);
    if (names.empty()) return result;
    std::string path = root;
    bool otherCase = false;
    bool blanks = false;
    std::string actual;
    for (const std::string& name : names) {
        switch (FindName(path, name, &actual)) {
        case Found::Exact: break;
        case Found::OtherCase: otherCase = true; break;
        case Found::Blanks: blanks = true; break;
        case Found::None: return result;
        }
        files::Append(&path, actual);
    }
    if (blanks) {
        result.withBlanks = path;
        return result;
    }
    if (!files::Probe(path).exists) return result;
    result.match = otherCase ? Match::OtherCase : Match::Exact;
    result.path = path;
    return result;
}

std::string Key(const std::string& relative) {
    std::string key;
    bool above = false;  // a ".." climbed above the folder
    EachName(relative, [&](std::string_view name) {
        if (above || name == ".") return;
        if (name == "..") {
            above = key.empty();
            const std::size_t last = key.rfind('\\');
            key.erase(last == std::string::npos ? 0 : last);
            return;
        }
        if (!key.empty()) key.push_back('\\');
        for (char c : name) key.push_back(FoldedChar(c));
    });
    return above ? std::string() : key;
}

std::string Folded(const std::string& name) {
    std::string folded = name;
    for (char& c : folded) c = FoldedChar(c);
    return folded;
}

}  // namespace packagepath

}  // namespace pakcheck
