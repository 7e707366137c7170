#include "PackagePath.h"

#include <algorithm>
#include <cctype>

#include "FileSystem.h"
#include "FolderListings.h"

namespace packagepath {

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string WithoutBlanks(const std::string& name) {
    std::string out;
    for (char c : name) {
        if (!IsBlank(c)) out.push_back(c);
    }
    return out;
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
    const std::string folded = Folded(name);
    for (const std::string& candidate : *names) {
        if (Folded(candidate) == folded) {
            *actual = candidate;
            return Found::OtherCase;
        }
    }
    for (const std::string& candidate : *names) {
        if (candidate.size() > name.size() && Folded(WithoutBlanks(candidate)) == folded) {
            *actual = candidate;
            return Found::Blanks;
        }
    }
    return Found::None;
}

}  // namespace

std::vector<std::string> Split(const std::string& relative) {
    std::vector<std::string> names;
    std::string current;
    for (char c : relative) {
        if (IsSeparator(c)) {
            if (!current.empty()) names.push_back(current);
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    if (!current.empty()) names.push_back(current);
    return names;
}

std::string Literal(const std::string& root, const std::string& relative) {
    std::string path = root;
    for (const std::string& name : Split(relative)) path = files::Join(path, name);
    return path;
}

Resolved Resolve(const std::string& root, const std::string& relative) {
    Resolved result;
    result.path = Literal(root, relative);
    const std::vector<std::string> names = Split(relative);
    if (names.empty()) return result;
    std::string path = root;
    bool otherCase = false;
    bool blanks = false;
    for (const std::string& name : names) {
        std::string actual;
        switch (FindName(path, name, &actual)) {
        case Found::Exact: break;
        case Found::OtherCase: otherCase = true; break;
        case Found::Blanks: blanks = true; break;
        case Found::None: return result;
        }
        path = files::Join(path, actual);
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
    std::vector<std::string> kept;
    for (const std::string& name : Split(relative)) {
        if (name == ".") continue;
        if (name == "..") {
            if (kept.empty()) return std::string();
            kept.pop_back();
            continue;
        }
        kept.push_back(Folded(name));
    }
    std::string key;
    for (const std::string& name : kept) {
        if (!key.empty()) key.push_back('\\');
        key += name;
    }
    return key;
}

std::string Folded(const std::string& name) {
    std::string folded = name;
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return folded;
}

}  // namespace packagepath
