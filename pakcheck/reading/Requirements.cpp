#include "pakcheck/reading/Requirements.h"

#include <cstring>
#include <vector>

#include "pakcheck/reporting/MessageQuote.h"
#include "package/MessageIds.h"

namespace pakcheck {

namespace requirements {

namespace {

constexpr uint32_t kOldest = 3;
constexpr uint32_t kPluginVersion = 5;
constexpr uint32_t kFirstPatched = 5;
constexpr uint32_t kHighestPlugin = 20;
constexpr uint32_t kHighestMajor = 0xFFFF;  // the high 16 bits of "VERSION"
constexpr int32_t kValues = 20;

std::string List(const std::vector<uint32_t>& numbers) {
    std::string text;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        if (i > 0) text += i + 1 == numbers.size() ? " and " : ", ";
        text += std::to_string(numbers[i]);
    }
    return text;
}

bool IsNumberList(const IniNode* node) {
    return node->Kind() == NodeKind::IntList || node->Kind() == NodeKind::HexList;
}

const char* KindName(NodeKind kind) {
    switch (kind) {
    case NodeKind::Text: return "a text";
    case NodeKind::FloatList: return "a list of decimal fractions";
    case NodeKind::BoolList: return "a Y/N list";
    case NodeKind::Bytes: return "hexadecimal bytes";
    default: return "something that is no number";
    }
}

void CheckVersionKey(const CatalogueEntry& entry, const Source& source, const std::string& where,
                     const std::string& file, Findings* findings) {
    if (source.version == nullptr) return;
    const uint32_t version = entry.trakoVersion[0];
    if (!IsNumberList(source.version)) {
        // Read from the bytes of another kind, the version is arbitrary;
        // anything above 3 refuses users the author meant to accept.
        Add(findings, version > kOldest ? Severity::Error : Severity::Warning, file,
            source.versionLine, "catalogue-version-type",
            where + ": \"TrakoVersion\" is written as " + KindName(source.version->Kind()) +
                ", so start-up reads the required version as " + std::to_string(version) +
                ". Write whole numbers: TrakoVersion = 5, 2, 7.");
    } else if (version > kHighestMajor) {
        Add(findings, Severity::Error, file, source.versionLine, "catalogue-version-huge",
            where + ": the required version " + std::to_string(version) +
                " is beyond any simulator's: every user is refused (message " +
                messagequote::Quote(messageids::VersionTooLow) + ").");
    } else if (source.version->Count() > 0) {
        uint32_t first = 0;
        std::memcpy(&first, source.version->Value().data(), sizeof first);
        if (first < kOldest) {
            Add(findings, Severity::Note, file, source.versionLine, "catalogue-version-low",
                where + ": a required version of " + std::to_string(first) + " counts as 3.");
        }
    }
    if (source.version->Count() > kValues) {
        Add(findings, Severity::Warning, file, source.versionLine, "catalogue-version-long",
            where + ": \"TrakoVersion\" holds " + std::to_string(source.version->Count()) +
                " numbers; start-up reads only the first 20 (the version and 19 plug-ins).");
    }
}

void CheckPatchKey(const CatalogueEntry& entry, const Source& source, const std::string& where,
                   const std::string& file, Findings* findings) {
    if (source.patch == nullptr) return;
    if (!IsNumberList(source.patch)) {
        Add(findings, Severity::Warning, file, source.patchLine, "catalogue-patch-type",
            where + ": \"TrakoPatch\" is written as " + KindName(source.patch->Kind()) +
                ", so start-up reads the required patch as " + std::to_string(entry.requiredPatch) +
                ". Write a whole number.");
    }
    if (entry.requiredPatch != 0 && entry.trakoVersion[0] < kFirstPatched) {
        Add(findings, Severity::Warning, file, source.patchLine, "catalogue-patch-unchecked",
            where + ": the patch level " + std::to_string(entry.requiredPatch) +
                " is never checked: start-up compares patches only for packages that need Trako 5 "
                "or newer.");
    }
}

}  // namespace

void Judge(const CatalogueEntry& entry, const Source& source, const std::string& file,
           CatalogueItem* item, Findings* findings) {
    const std::string where = item->section;
    const uint32_t version = entry.trakoVersion[0];
    item->version = version;
    item->patch = entry.requiredPatch;
    CheckVersionKey(entry, source, where, file, findings);
    CheckPatchKey(entry, source, where, file, findings);

    std::vector<uint32_t> listed;
    for (int32_t i = 1; i < kValues; ++i) {
        if (entry.trakoVersion[i] != 0) listed.push_back(entry.trakoVersion[i]);
    }
    std::vector<uint32_t> checked;
    if (version == kPluginVersion) {
        for (int32_t j = 0; j < entry.pluginCount && j + 1 < kValues; ++j) {
            checked.push_back(entry.trakoVersion[1 + j]);
        }
        std::vector<uint32_t> skipped;
        for (int32_t i = 1 + entry.pluginCount; i < kValues; ++i) {
            if (entry.trakoVersion[i] != 0) skipped.push_back(entry.trakoVersion[i]);
        }
        if (!skipped.empty()) {
            Add(findings, Severity::Warning, file, source.versionLine, "catalogue-plugin-zero",
                where +
                    ": a 0 in the plug-in list shifts the check: start-up checks only the "
                    "first " +
                    std::to_string(entry.pluginCount) + " numbers, so plug-in(s) " + List(skipped) +
                    " are never checked (and a 0 counts as installed whenever any "
                    "plug-in is).");
        }
        for (uint32_t number : checked) {
            if (number > kHighestPlugin) {
                Add(findings, Severity::Error, file, source.versionLine, "catalogue-plugin-range",
                    where + ": there is no plug-in " + std::to_string(number) +
                        " (plug-ins are numbered 1 to 20): every Trako 5 user is refused "
                        "(message " +
                        messagequote::Quote(messageids::PluginsMissing) + ").");
            }
        }
    } else if (!listed.empty()) {
        Add(findings, Severity::Warning, file, source.versionLine, "catalogue-plugins-unchecked",
            where + ": plug-in(s) " + List(listed) +
                " are never checked: start-up checks plug-ins "
                "only for packages that need exactly Trako 5.");
    }
    for (uint32_t number : checked) {
        if (number != 0 && number <= kHighestPlugin) item->plugins.push_back(number);
    }

    std::string words = version <= kOldest ? "any Trako (3 or newer)"
                                           : "Trako " + std::to_string(version) + " or newer";
    if (version >= kFirstPatched && entry.requiredPatch != 0) {
        words += "; with Trako " + std::to_string(version) + " itself, patch " +
                 std::to_string(entry.requiredPatch) + " or higher";
    }
    if (!item->plugins.empty()) {
        words += std::string(item->plugins.size() == 1 ? "; with Trako 5 itself, plug-in "
                                                       : "; with Trako 5 itself, plug-ins ") +
                 List(item->plugins);
    }
    item->requirements = words;
}

}  // namespace requirements

}  // namespace pakcheck
