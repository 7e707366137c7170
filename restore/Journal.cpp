#include "restore/Journal.h"

#include <algorithm>
#include <cstdlib>
#include <map>

#include "textfile/IniDocument.h"
#include "textfile/IniSyntax.h"

namespace journal {

namespace {

constexpr const char* kHeader = "Restore point";

const char* const kStepNames[] = {"recorded", "done", "failed", "restored", "kept"};

Step StepNamed(std::string_view name) {
    for (int i = 0; i < 5; ++i) {
        if (name == kStepNames[i]) return static_cast<Step>(i);
    }
    return Step::Recorded;
}

// One appended section, made and written by the INI document.
class SectionText {
public:
    explicit SectionText(const std::string& name) : index(-1) {
        document.GetOrAddSection(name.c_str());
        index = document.FindSection(name.c_str());
    }
    SectionText& Put(const std::string& key, std::string_view value) {
        std::string line = key + "=\"";
        inisyntax::AppendEscaped(value, &line);
        line += '"';
        document.AddKeyLine(line.c_str(), index);
        return *this;
    }
    SectionText& PutPrint(const Fingerprint& print, const char* prefix = "") {
        if (!print.exists) return *this;
        Put(std::string(prefix) + "Size", std::to_string(print.size));
        return Put(std::string(prefix) + "Hash", HexOf(print.hash));
    }
    std::string Bytes() const { return document.SavedBytes(); }

private:
    IniDocument document;
    int32_t index;
};

std::string Numbered(const char* kind, int number) {
    return std::string(kind) + " " + std::to_string(number);
}

// The keys of one section of a parsed journal.
using Keys = std::map<std::string, std::string, std::less<>>;

// A path the recorder writes: relative, below its base folder, one name per
// step. A journal holding another (a drive, a leading separator, "." or
// "..", a stream) was not written by the recorder, and a restore must not
// follow it out of the host folder or the restore point.
bool PlainRelativePath(std::string_view path) {
    if (path.empty() || path.find(':') != std::string_view::npos) return false;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find_first_of("\\/", start);
        if (end == std::string_view::npos) end = path.size();
        const std::string_view name = path.substr(start, end - start);
        if (name.empty() || name == "." || name == "..") return false;
        start = end + 1;
    }
    return true;
}

template <typename Records, typename Predicate>
void EraseIf(Records& records, Predicate predicate) {
    records.erase(std::remove_if(records.begin(), records.end(), predicate), records.end());
}

std::string_view Get(const Keys& keys, const std::string& key) {
    const auto found = keys.find(key);
    return found == keys.end() ? std::string_view() : std::string_view(found->second);
}

std::uint64_t Number(std::string_view text) {
    return std::strtoull(std::string(text).c_str(), nullptr, 10);
}

Fingerprint ReadFingerprint(const Keys& keys, const char* prefix) {
    Fingerprint print;
    const std::string p(prefix);
    std::string_view size = Get(keys, p + "Size");
    print.exists = !size.empty() && ParseHex(Get(keys, p + "Hash"), print.hash);
    if (print.exists) print.size = Number(size);
    return print;
}

}  // namespace

const char* StepName(Step step) {
    return kStepNames[static_cast<int>(step)];
}

std::string HeaderBytes(const Journal& journal) {
    SectionText text(kHeader);
    text.Put("Package", journal.package).Put("Name", journal.name).Put("Host", journal.host);
    text.Put("Time", journal.time).Put("Hash", "xx64w");
    return text.Bytes();
}

std::string FolderBytes(const FolderRecord& record) {
    SectionText text(Numbered("Folder", record.number));
    text.Put("Path", record.path).Put("Step", StepName(record.step));
    return text.Bytes();
}

std::string FileBytes(const FileRecord& record) {
    SectionText text(Numbered("File", record.number));
    text.Put("Path", record.path)
        .Put("Kind", record.kind == FileKind::Added ? "added" : "replaced");
    text.PutPrint(record.after);
    if (!record.temporary.empty()) text.Put("Temporary", record.temporary);
    if (record.kind == FileKind::Replaced) {
        text.Put("Old", record.oldCopy).PutPrint(record.before, "Old");
        text.Put("OldAttributes", std::to_string(record.oldAttributes));
    }
    text.Put("Step", StepName(record.step));
    return text.Bytes();
}

std::string ListBytes(const ListRecord& record) {
    SectionText text(Numbered("List", record.number));
    text.Put("Path", record.path)
        .Put("Kind", record.kind == ListKind::Textures ? "textures" : "cabins")
        .Put("Old", record.oldCopy);
    text.PutPrint(record.before, "Old").PutPrint(record.after);
    int n = 0;
    for (const EntryChange& change : record.changes) {
        const std::string i = std::to_string(++n);
        if (!change.section.empty()) text.Put("Section" + i, change.section);
        text.Put("Key" + i, change.key).Put("Hash" + i, HexOf(change.hash));
        text.Put("Added" + i, change.added ? "1" : "0");
    }
    text.Put("Step", StepName(record.step));
    return text.Bytes();
}

std::string StepBytes(const char* kind, int number, Step step) {
    SectionText text(Numbered(kind, number));
    text.Put("Step", StepName(step));
    return text.Bytes();
}

std::string ContentBytes(int number, const Fingerprint& content) {
    SectionText text(Numbered("File", number));
    text.PutPrint(content);
    return text.Bytes();
}

std::string HeaderKeyBytes(const char* key, const std::string& value) {
    SectionText text(kHeader);
    text.Put(key, value);
    return text.Bytes();
}

std::string TimeText(int year, int month, int day, int hour, int minute, int second) {
    auto two = [](int value) {
        return std::string(1, static_cast<char>('0' + value / 10 % 10)) +
               static_cast<char>('0' + value % 10);
    };
    return std::to_string(year) + "-" + two(month) + "-" + two(day) + " " + two(hour) + ":" +
           two(minute) + ":" + two(second);
}

bool Parse(std::string_view bytes, Journal& journal) {
    journal = Journal();
    IniDocument document(false);
    if (document.LoadBytes(bytes) < 0) return false;
    bool hasHeader = false;
    for (const auto& node : document.Nodes()) {
        if (node->Kind() != NodeKind::Section) continue;
        Keys keys;
        for (const auto& entry : node->Entries()) {
            if (entry->Kind() != NodeKind::Text) continue;
            std::string_view value = entry->Value().Bytes();
            value = value.substr(0, value.find('\0'));
            keys[std::string(entry->Name().Bytes())] = std::string(value);
        }
        const std::string_view name = node->Name().Bytes();
        const size_t space = name.rfind(' ');
        const int number = space == std::string_view::npos
                               ? 0
                               : std::atoi(std::string(name.substr(space + 1)).c_str());
        const std::string_view kind = name.substr(0, space);
        const Step step = StepNamed(Get(keys, "Step"));
        if (name == kHeader) {
            hasHeader = !Get(keys, "Host").empty();
            journal.package = Get(keys, "Package");
            journal.name = Get(keys, "Name");
            journal.host = Get(keys, "Host");
            journal.time = Get(keys, "Time");
            journal.end = Get(keys, "End");
            journal.incomplete = Get(keys, "Incomplete");
            journal.restored = Get(keys, "Restored");
        } else if (kind == "Folder") {
            journal.folders.push_back({number, std::string(Get(keys, "Path")), step});
        } else if (kind == "File") {
            FileRecord record;
            record.number = number;
            record.path = Get(keys, "Path");
            record.kind = Get(keys, "Kind") == "replaced" ? FileKind::Replaced : FileKind::Added;
            record.after = ReadFingerprint(keys, "");
            record.before = ReadFingerprint(keys, "Old");
            record.oldCopy = Get(keys, "Old");
            record.oldAttributes = static_cast<std::uint32_t>(Number(Get(keys, "OldAttributes")));
            record.temporary = Get(keys, "Temporary");
            if (record.temporary.find_first_of("\\/:") != std::string::npos ||
                record.temporary == "." || record.temporary == "..") {
                record.temporary.clear();
            }
            record.step = step;
            journal.files.push_back(record);
        } else if (kind == "List") {
            ListRecord record;
            record.number = number;
            record.path = Get(keys, "Path");
            record.kind = Get(keys, "Kind") == "cabins" ? ListKind::Cabins : ListKind::Textures;
            record.oldCopy = Get(keys, "Old");
            record.before = ReadFingerprint(keys, "Old");
            record.after = ReadFingerprint(keys, "");
            for (int i = 1;; ++i) {
                const std::string n = std::to_string(i);
                if (keys.find("Key" + n) == keys.end()) break;
                EntryChange change;
                change.section = Get(keys, "Section" + n);
                change.key = Get(keys, "Key" + n);
                change.added = Get(keys, "Added" + n) == "1";
                ParseHex(Get(keys, "Hash" + n), change.hash);
                record.changes.push_back(change);
            }
            record.step = step;
            journal.lists.push_back(record);
        }
    }
    // A record cut off before its path (the run was killed while writing
    // it, before its change) names nothing and is left out. Any other
    // record's paths must be the recorder's own; an old copy may be missing
    // from a record cut off before it.
    const auto unnamed = [](const auto& record) { return record.path.empty(); };
    EraseIf(journal.folders, unnamed);
    EraseIf(journal.files, unnamed);
    EraseIf(journal.lists, unnamed);
    const auto plain = [](const std::string& path) { return PlainRelativePath(path); };
    const auto plainOrNone = [](const std::string& path) {
        return path.empty() || PlainRelativePath(path);
    };
    for (const FolderRecord& record : journal.folders) {
        if (!plain(record.path)) return false;
    }
    for (const FileRecord& record : journal.files) {
        if (!plain(record.path) || !plainOrNone(record.oldCopy)) return false;
    }
    for (const ListRecord& record : journal.lists) {
        if (!plain(record.path) || !plainOrNone(record.oldCopy)) return false;
    }
    return hasHeader;
}

}  // namespace journal
