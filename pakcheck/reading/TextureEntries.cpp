#include "pakcheck/reading/TextureEntries.h"

#include <cctype>
#include <map>

#include "pakcheck/reading/CodePage.h"
#include "texturelist/TextureList.h"
#include "texturelist/TextureMerge.h"

namespace pakcheck {

namespace textureentries {

namespace {

using Outcome = TextureStep::Outcome;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// True when `field` ("name(") occurs and a ")" stands at or after it: the
// test the list reader applies to every block.
bool HasField(const std::string& text, const char* field) {
    const std::size_t at = text.find(field);
    return at != std::string::npos && text.find(')', at) != std::string::npos;
}

// Why TextureList::AddEntry refused the converted text.
Outcome WhyRefused(const std::string& converted) {
    const std::size_t start = converted.find("Textur");
    if (start == std::string::npos) return Outcome::NoBlock;
    const std::size_t last = converted.rfind('}');
    if (last == std::string::npos || last < start) return Outcome::NoClosingBrace;
    if (converted.find("id(", start) == std::string::npos) return Outcome::NoId;
    return Outcome::IdZero;
}

// How a list holding this entry and another one behind it reads back, once
// written, as the next installation reads the host's list; `again` is the
// list read back. The list's reader and writer work on bytes in memory
// exactly as on a file, so the trial needs no file.
enum class ReadBack { Untried, Unreadable, Read };

ReadBack TryList(const std::string& converted, uint32_t behind, bool tryLists, TextureList* again) {
    if (!tryLists) return ReadBack::Untried;
    const std::string list =
        "Basis{\r\n\tTextur{\tid(" + std::to_string(behind) + ")\tname(probe)\t}\r\n}\r\n";
    TextureList written;
    std::string saved;
    if (!written.LoadBytes(list) || !written.AddEntry(converted) || !written.SaveBytes(&saved)) {
        return ReadBack::Untried;
    }
    if (!again->LoadBytes(saved)) return ReadBack::Unreadable;
    return ReadBack::Read;
}

// The first field whose value holds blanks in the script, e.g. "name(Holz
// hell)"; the reader drops them. Empty when there is none.
std::string FieldWithBlanks(std::string_view raw) {
    std::size_t open = 0;
    while ((open = raw.find('(', open)) != std::string_view::npos) {
        const std::size_t close = raw.find(')', open);
        if (close == std::string_view::npos) return std::string();
        std::string_view inside = raw.substr(open + 1, close - open - 1);
        while (!inside.empty() && IsBlank(inside.front())) inside.remove_prefix(1);
        while (!inside.empty() && IsBlank(inside.back())) inside.remove_suffix(1);
        for (char c : inside) {
            if (!IsBlank(c)) continue;
            std::size_t start = open;
            while (start > 0 && std::isalnum(static_cast<unsigned char>(raw[start - 1]))) --start;
            return std::string(raw.substr(start, close + 1 - start));
        }
        open = close;
    }
    return std::string();
}

std::string WithoutBlanks(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (!IsBlank(c)) out.push_back(c);
    }
    return out;
}

void CheckMerged(const std::string& file, const std::string& converted, const std::string& stored,
                 bool tryLists, TextureStep* step, Findings* findings) {
    const std::string id = std::to_string(step->id);
    const std::string list =
        step->section == scriptcheck::kTextureSection ? "Texturen.txt" : "Bodentexturen.txt";
    step->hasName = HasField(stored, "name(");
    const std::size_t at = stored.find("id(");
    if (at > 0 &&
        (std::isalnum(static_cast<unsigned char>(stored[at - 1])) || stored[at - 1] == '_')) {
        std::size_t start = at;
        while (start > 0 && std::isalnum(static_cast<unsigned char>(stored[start - 1]))) --start;
        const std::size_t close = stored.find(')', at);
        Add(findings, Severity::Warning, file, step->line, "texture-id-field",
            "Texture " + id + ": the installer takes the id from " +
                codepage::Quote(stored.substr(start, close == std::string::npos
                                                         ? std::string::npos
                                                         : close + 1 - start)) +
                ", the first \"id(\" in the block, not from the id field.");
    }
    TextureList readBack;
    const uint32_t behind = step->id == 4294967295u ? 4294967294u : 4294967295u;
    const ReadBack tried = TryList(converted, behind, tryLists, &readBack);
    const EntryTable& readEntries = readBack.Entries();
    const bool lostIt = readEntries.Find(step->id) == readEntries.end();
    const bool lostBehind = readEntries.Find(behind) == readEntries.end();
    step->readsBack = tried != ReadBack::Unreadable;
    if (!step->hasName) {
        Add(findings, Severity::Error, file, step->line, "texture-no-name",
            "Texture " + id + " has no name field: the installer merges it, but then \"" + list +
                "\" cannot be read any more, and every later installation into it fails.");
    } else if (tried == ReadBack::Unreadable) {
        Add(findings, Severity::Error, file, step->line, "texture-breaks-list",
            "Texture " + id + ": once merged, \"" + list +
                "\" cannot be read any more, and every "
                "later installation into it fails.");
    } else if (tried == ReadBack::Read && (lostIt || lostBehind)) {
        Add(findings, Severity::Error, file, step->line, "texture-reads-back",
            "Texture " + id + ": its braces do not balance, so once it is merged, \"" + list +
                "\" reads back without " +
                (lostIt ? std::string("it") : std::string("the textures after it")) +
                ": the next installation into the list loses them.");
    }
}

}  // namespace

std::vector<TextureStep> Check(const std::string& section, const std::string& file,
                               const std::vector<std::string>& entries,
                               const std::vector<Place>& places, std::string_view script,
                               bool tryLists, Findings* findings) {
    std::vector<TextureStep> steps;
    std::map<uint32_t, int32_t> seen;  // id -> line of the entry that set it
    for (std::size_t i = 0; i < entries.size(); ++i) {
        TextureStep step;
        step.section = section;
        step.entry = entries[i];
        const Place& place = places[i];
        step.line = place.line;
        const std::string where =
            "Section \"" + section + "\": the entry " + codepage::Quote(step.entry, 48);
        std::string converted;
        if (!texturemerge::ConvertScriptEntry(step.entry, converted)) {
            step.outcome = Outcome::NoArrow;
            Add(findings, Severity::Warning, file, step.line, "texture-skipped",
                where + " has no \">>\": the installer skips it without a word.");
            steps.push_back(step);
            continue;
        }
        TextureList probe;
        if (!probe.AddEntry(converted)) {
            step.outcome = WhyRefused(converted);
            std::string why;
            switch (step.outcome) {
            case Outcome::NoBlock: why = "has no \"Textur\" block after \">>\""; break;
            case Outcome::NoClosingBrace: why = "has no \"}\" after \"Textur\""; break;
            case Outcome::NoId: why = "has no \"id(\" field"; break;
            default: why = "has the id 0 (or no number in its id field)"; break;
            }
            Add(findings, Severity::Warning, file, step.line, "texture-skipped",
                where + " " + why + ": the installer skips it without a word.");
            steps.push_back(step);
            continue;
        }
        step.id = probe.Entries().begin()->first;
        CheckMerged(file, converted, std::string(probe.Entries().begin()->second), tryLists, &step,
                    findings);
        const auto earlier = seen.find(step.id);
        if (earlier != seen.end()) {
            Add(findings, Severity::Warning, file, step.line, "texture-id-twice",
                "Section \"" + section + "\": texture " + std::to_string(step.id) +
                    " is also set at line " + std::to_string(earlier->second) +
                    "; the installer keeps only this later one.");
        }
        seen[step.id] = step.line;
        const std::string problem = codepage::Describe(step.entry, codepage::CodePage::Windows1252);
        if (!problem.empty()) {
            Add(findings, Severity::Warning, file, step.line, "texture-code-page",
                "Texture " + std::to_string(step.id) + " " + problem +
                    "; the list keeps the bytes as they are.");
        }
        if (place.begin <= place.end && place.end <= script.size()) {
            const std::string field =
                FieldWithBlanks(script.substr(place.begin, place.end - place.begin));
            if (!field.empty()) {
                Add(findings, Severity::Note, file, step.line, "texture-blanks",
                    "Texture " + std::to_string(step.id) + ": the installer drops blanks, so " +
                        codepage::Quote(field) + " is stored as " +
                        codepage::Quote(WithoutBlanks(field)) + ".");
            }
        }
        steps.push_back(step);
    }
    return steps;
}

}  // namespace textureentries

}  // namespace pakcheck
