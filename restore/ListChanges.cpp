#include "restore/ListChanges.h"

#include <map>
#include <set>
#include <utility>

#include "restore/ContentHash.h"
#include "textfile/IniDocument.h"
#include "texturelist/TextureList.h"

namespace listchanges {

namespace {

using SectionKey = std::pair<std::string, std::string>;
using Lines = std::map<SectionKey, std::string>;

// Every key of the document as its canonical line, read back from the bytes
// the document saves: "Name\t = value ;comment", "Name ;comment" or "Name".
Lines CabinLines(const IniDocument& document, std::set<std::string>* sections = nullptr) {
    Lines lines;
    const std::string bytes = document.SavedBytes();
    std::string section;
    // A list's UTF-8 mark stands before its first line, not in it.
    size_t start = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (start < bytes.size()) {
        size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) end = bytes.size();
        const std::string line = bytes.substr(start, end - start);
        start = end + 2;
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            section = line.substr(1, line.find(']') - 1);
            if (sections != nullptr) sections->insert(section);
            continue;
        }
        size_t nameEnd = line.find("\t = ");
        if (nameEnd == std::string::npos) nameEnd = line.find(" ;");
        lines[{section, line.substr(0, nameEnd)}] = line;
    }
    return lines;
}

std::string TextureName(const journal::EntryChange& change) {
    return "id " + change.key;
}

std::string CabinName(const SectionKey& key) {
    return "[" + key.first + "] " + key.second;
}

}  // namespace

std::vector<journal::EntryChange> DiffTextures(const TextureList& before,
                                               const TextureList& after) {
    std::vector<journal::EntryChange> changes;
    for (const auto& [id, text] : after.Entries()) {
        const auto old = before.Entries().Find(id);
        const bool added = old == before.Entries().end();
        if (!added && old->second == text) continue;
        changes.push_back({"", std::to_string(id), added, HashBytes(text)});
    }
    return changes;
}

std::vector<journal::EntryChange> DiffCabins(const IniDocument& before, const IniDocument& after) {
    std::vector<journal::EntryChange> changes;
    const Lines old = CabinLines(before);
    for (const auto& [key, line] : CabinLines(after)) {
        const auto found = old.find(key);
        const bool added = found == old.end();
        if (!added && found->second == line) continue;
        changes.push_back({key.first, key.second, added, HashBytes(line)});
    }
    return changes;
}

Outcome UndoTextures(const TextureList& before, TextureList& current,
                     const std::vector<journal::EntryChange>& changes) {
    Outcome outcome;
    std::map<std::uint32_t, std::string> entries;
    for (const auto& [id, text] : current.Entries()) entries[id] = std::string(text);
    for (const journal::EntryChange& change : changes) {
        const std::uint32_t id =
            texturelist::ParseId(change.key.data(), change.key.data() + change.key.size());
        const auto now = entries.find(id);
        const auto old = before.Entries().Find(id);
        const bool oldExists = old != before.Entries().end() && !change.added;
        if (now == entries.end() ? !oldExists : oldExists && now->second == old->second) {
            continue;  // already as before the run
        }
        if (now == entries.end() || HashBytes(now->second) != change.hash ||
            (!change.added && !oldExists)) {
            outcome.kept.push_back(TextureName(change));
            continue;
        }
        if (change.added) {
            entries.erase(now);
        } else {
            now->second = std::string(old->second);
        }
        ++outcome.undone;
        outcome.changed = true;
    }
    if (!outcome.changed) return outcome;
    TextureList rebuilt;
    rebuilt.LoadBytes("Basis{\r\n}\r\n");
    for (const auto& entry : entries) rebuilt.AddEntry(entry.second);
    current = rebuilt;
    return outcome;
}

Outcome UndoCabins(const IniDocument& before, IniDocument& current,
                   const std::vector<journal::EntryChange>& changes) {
    Outcome outcome;
    std::set<std::string> oldSections;
    const Lines old = CabinLines(before, &oldSections);
    const Lines now = CabinLines(current);
    std::set<std::string> touched;
    for (const journal::EntryChange& change : changes) {
        const SectionKey key{change.section, change.key};
        const auto found = now.find(key);
        const auto was = old.find(key);
        const bool oldExists = was != old.end() && !change.added;
        if (found == now.end() ? !oldExists : oldExists && found->second == was->second) {
            continue;
        }
        if (found == now.end() || HashBytes(found->second) != change.hash ||
            (!change.added && !oldExists)) {
            outcome.kept.push_back(CabinName(key));
            continue;
        }
        if (change.added) {
            current.RemoveEntry(key.first.c_str(), key.second.c_str());
        } else {
            current.AddKeyLine(was->second.c_str(), current.FindSection(key.first.c_str()));
        }
        touched.insert(key.first);
        ++outcome.undone;
        outcome.changed = true;
    }
    // A section the run brought goes when nothing is left in it.
    for (const std::string& section : touched) {
        if (oldSections.count(section) != 0) continue;
        const int32_t index = current.FindSection(section.c_str());
        if (index >= 0 && current.Nodes()[static_cast<size_t>(index)]->Entries().empty()) {
            current.RemoveEntry(section.c_str(), nullptr);
        }
    }
    return outcome;
}

}  // namespace listchanges
