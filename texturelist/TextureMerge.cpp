#include "texturelist/TextureMerge.h"

#include "package/InstallScript.h"
#include "texturelist/TextureList.h"

namespace texturemerge {

bool ConvertScriptEntry(const std::string& entry, std::string& converted) {
    converted.clear();
    std::size_t arrow = entry.find(">>");
    if (arrow == std::string::npos) {
        return false;
    }
    converted.reserve(entry.size() + entry.size() / 4);
    for (std::size_t i = arrow + 2; i < entry.size(); ++i) {
        char c = entry[i];
        converted.push_back(c);
        if (c == ')' || c == '{') {
            converted.push_back('\t');
        } else if (c == '}') {
            converted.append("\n\t\t");
        }
    }
    return true;
}

MergeResult MergeSection(InstallScript& script, const char* section, const std::string& listPath) {
    // The list is loaded first: without it the script is not even read.
    TextureList list;
    if (!list.Load(listPath.c_str())) {
        return MergeResult::ListNotLoaded;
    }
    if (!script.FindSection(section)) {
        return MergeResult::SectionAbsent;
    }
    std::string entry;
    std::string converted;
    while (script.NextEntry(entry)) {
        // Entries without ">>" or refused by the list are skipped on purpose:
        // one broken line must not keep the others out.
        if (ConvertScriptEntry(entry, converted)) {
            list.AddEntry(converted);
        }
    }
    return list.Save(listPath.c_str()) ? MergeResult::Saved : MergeResult::SaveFailed;
}

}  // namespace texturemerge
