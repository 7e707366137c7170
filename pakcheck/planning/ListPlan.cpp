// The list steps of an installation plan: the installer's own texture and
// cabin merges, run on copies of the host's lists in a scratch folder.
#include <algorithm>
#include <map>
#include <set>

#include "pakcheck/planning/InstallPlan.h"
#include "pakcheck/reading/CodePage.h"
#include "pakcheck/reading/FileSystem.h"
#include "pakcheck/reading/PackagePath.h"
#include "pakcheck/reporting/MessageQuote.h"
#include "package/CabinListMerge.h"
#include "package/InstallScript.h"
#include "package/MessageIds.h"
#include "textfile/IniDocument.h"
#include "textfile/SafeReplace.h"
#include "texturelist/TextureList.h"
#include "texturelist/TextureMerge.h"

namespace pakcheck {

namespace installplan {

namespace {

using Outcome = PlannedList::Outcome;

// The host's copy of a list, copied into the scratch folder. False when the
// host has none (`list` then says so).
bool CopyOfHostList(const std::string& hostDir, const std::string& scratch, const char* name,
                    PlannedList* list, std::string* original, std::string* copy) {
    const packagepath::Resolved found = packagepath::Resolve(hostDir, list->file);
    if (found.match == packagepath::Match::Missing || files::Probe(found.path).folder) return false;
    *original = found.path;
    *copy = files::Join(scratch, name);
    return files::CopyInto(found.path, *copy);
}

// The last step of both merges: the installer writes the merged list over
// the host's, which fails when the host's list may not be written. True, with the
// list Written and its merged bytes, when the write succeeds.
bool WriteOverHostList(const std::string& original, const std::string& copy, PlannedList* list,
                       Findings* findings) {
    if (files::Probe(original).readOnly || !safereplace::TargetWritable(original.c_str())) {
        list->outcome = Outcome::Fails;
        list->reason = "the host's list is read-only or may not be written";
        AddInHost(
            findings, Severity::Error, list->file, 0, "plan-list-read-only",
            "The host's \"" + list->file +
                "\" is read-only or may not be written: the merge "
                "cannot write it and the installer reports the installation as failed (message " +
                messagequote::Quote(messageids::InstallFailed) + ").");
        return false;
    }
    list->outcome = Outcome::Written;
    files::ReadBytes(copy, &list->content);
    return true;
}

std::string NameField(const std::string& entry) {
    const std::size_t at = entry.find("name(");
    if (at == std::string::npos) return std::string();
    const std::size_t close = entry.find(')', at);
    return codepage::ToUtf8(entry.substr(at + 5, close == std::string::npos ? std::string::npos
                                                                            : close - at - 5),
                            codepage::CodePage::Windows1252);
}

std::string Named(const IniBlob& name) {
    return codepage::ToUtf8(name.Bytes(), codepage::CodePage::Windows1252);
}

const IniNode* SectionNamed(const IniDocument& document, std::string_view name, bool folded) {
    for (const auto& node : document.Nodes()) {
        if (node->Kind() != NodeKind::Section) continue;
        const std::string_view own = node->Name().Bytes();
        if (own == name) return node.get();
        if (folded &&
            packagepath::Folded(std::string(own)) == packagepath::Folded(std::string(name))) {
            return node.get();
        }
    }
    return nullptr;
}

const IniNode* KeyNamed(const IniNode& section, std::string_view name, bool folded) {
    for (const auto& entry : section.Entries()) {
        if (entry->Kind() == NodeKind::Comment) continue;
        const std::string_view own = entry->Name().Bytes();
        if (own == name) return entry.get();
        if (folded &&
            packagepath::Folded(std::string(own)) == packagepath::Folded(std::string(name))) {
            return entry.get();
        }
    }
    return nullptr;
}

// What the package's list adds to and replaces in the host's, and the
// names that differ from the host's only in case (the merge keeps both).
void Compare(const IniDocument& host, const IniDocument& package, PlannedList* list,
             Findings* findings) {
    for (const auto& node : package.Nodes()) {
        if (node->Kind() != NodeKind::Section) continue;
        const std::string section = Named(node->Name());
        const IniNode* own = SectionNamed(host, node->Name().Bytes(), false);
        if (own == nullptr) {
            list->sectionsAdded.push_back(section);
            if (const IniNode* near = SectionNamed(host, node->Name().Bytes(), true)) {
                AddInHost(findings, Severity::Warning, list->file, 0, "plan-cabin-case",
                          "The package's section [" + section + "] differs from the host's [" +
                              Named(near->Name()) +
                              "] only in case: the merge adds it as a new "
                              "section instead of changing the host's.");
            }
            continue;
        }
        for (const auto& entry : node->Entries()) {
            if (entry->Kind() == NodeKind::Comment) continue;
            const std::string key = section + ": " + Named(entry->Name());
            if (KeyNamed(*own, entry->Name().Bytes(), false) != nullptr) {
                list->keysReplaced.push_back(key);
                continue;
            }
            list->keysAdded.push_back(key);
            if (const IniNode* near = KeyNamed(*own, entry->Name().Bytes(), true)) {
                AddInHost(findings, Severity::Warning, list->file, 0, "plan-cabin-case",
                          "In [" + section + "] the package's key \"" + Named(entry->Name()) +
                              "\" differs from the host's \"" + Named(near->Name()) +
                              "\" only in case: the merge keeps both.");
            }
        }
    }
}

}  // namespace

PlannedList PlanTextures(const std::string& hostDir, const ScriptInfo& script, const char* section,
                         const std::string& scratch, Findings* findings) {
    const bool ground = std::string(section) != scriptcheck::kTextureSection;
    PlannedList list;
    list.file = ground ? kGroundList : kTextureList;
    list.section = section;
    // Without the list or the section the texture step fails the run; the
    // ground-texture step just does nothing.
    const Outcome missing = ground ? Outcome::Untouched : Outcome::Fails;
    const Severity severity = ground ? Severity::Note : Severity::Error;
    const std::string effect = ground ? "no ground textures are merged"
                                      : "no textures are merged and the installer reports the "
                                        "installation as failed (message " +
                                            messagequote::Quote(messageids::InstallFailed) + ")";
    std::string original;
    std::string copy;
    if (!CopyOfHostList(hostDir, scratch, ground ? "Bodentexturen.txt" : "Texturen.txt", &list,
                        &original, &copy)) {
        list.outcome = missing;
        list.reason = "the host has no such list";
        AddInHost(findings, severity, list.file, 0, "plan-list-missing",
                  "The host has no \"" + list.file + "\": " + effect + ".");
        return list;
    }
    TextureList before;
    if (!before.Load(copy.c_str())) {
        list.outcome = missing;
        list.reason = "the host's list cannot be read";
        AddInHost(findings, ground ? Severity::Warning : Severity::Error, list.file, 0,
                  "plan-list-unreadable",
                  "The host's \"" + list.file +
                      "\" cannot be read (a texture block without an id "
                      "or a name field): " +
                      effect + ".");
        return list;
    }
    InstallScript reader;
    if (!reader.Open(script.path.c_str())) {
        list.outcome = Outcome::Fails;
        list.reason = "the install script cannot be read";
        return list;
    }
    switch (texturemerge::MergeSection(reader, section, copy)) {
    case texturemerge::MergeResult::ListNotLoaded:
    case texturemerge::MergeResult::SectionAbsent:
        list.outcome = missing;
        list.reason = "the script has no section \"" + list.section + "\"";
        return list;
    case texturemerge::MergeResult::SaveFailed:
        list.outcome = Outcome::Fails;
        list.reason = "the merged list could not be written";
        return list;
    case texturemerge::MergeResult::Saved: break;
    }
    if (!WriteOverHostList(original, copy, &list, findings)) return list;
    // The installer's AddEntry decided which entries count; the last one
    // with an id wins.
    std::set<uint32_t> ids;
    for (const TextureStep& step : script.textures) {
        if (step.section == section && step.outcome == TextureStep::Outcome::Merged)
            ids.insert(step.id);
    }
    for (uint32_t id : ids) {
        const auto old = before.Entries().Find(id);
        if (old == before.Entries().end()) {
            list.added.push_back(id);
        } else {
            list.replaced.emplace_back(id, NameField(std::string(old->second)));
        }
    }
    return list;
}

PlannedList PlanCabins(const std::string& hostDir, const CabinInfo& cabin,
                       const std::string& scratch, Findings* findings) {
    PlannedList list;
    list.file = kCabinList;
    if (!cabin.readable) {
        list.reason = "the package brings no cabin list";
        return list;
    }
    std::string original;
    std::string copy;
    if (!CopyOfHostList(hostDir, scratch, "cabins.ini", &list, &original, &copy)) {
        list.reason = "the host has no cabin list (none is made)";
        AddInHost(findings, Severity::Note, list.file, 0, "plan-list-missing",
                  "The host has no \"" + list.file +
                      "\": the package's cabins are not merged, and "
                      "no list is made.");
        return list;
    }
    IniDocument before(false);
    IniDocument package(false);
    if (before.Load(copy.c_str(), 0, 0) != 0 || package.Load(cabin.path.c_str(), 0, 0) != 0) {
        list.reason = "the host's cabin list is empty or cannot be read";
        AddInHost(findings, Severity::Note, list.file, 0, "plan-list-unreadable",
                  "The host's \"" + list.file +
                      "\" is empty or cannot be read: the package's cabins "
                      "are not merged.");
        return list;
    }
    if (!cabinlist::MergeInto(copy, cabin.path)) {
        list.outcome = Outcome::Fails;
        list.reason = "the merged list could not be written";
        return list;
    }
    if (!WriteOverHostList(original, copy, &list, findings)) return list;
    Compare(before, package, &list, findings);
    {
        // The merge rewrites the host's own entries in canonical form too.
        Findings hostValues;
        cabincheck::CheckValues(original, list.file, &hostValues);
        for (Finding& finding : hostValues) {
            if (finding.code == "cabin-code-page") continue;
            finding.inHost = true;
            findings->push_back(finding);
        }
    }
    return list;
}

}  // namespace installplan

}  // namespace pakcheck
