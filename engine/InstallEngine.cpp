#include "engine/InstallEngine.h"

#include <vector>

#include "package/CabinMerge.h"
#include "engine/FileInstallation.h"
#include "texturelist/TextureMerge.h"

namespace {

constexpr int32_t kLastPosition = 4;

}  // namespace

InstallEngine::InstallEngine(const InstallCatalogue& catalogue, int32_t catalogueMode)
    : catalogue(catalogue), catalogueMode(catalogueMode) {}

HRESULT InstallEngine::Run(ProgressSink& sink, InstallQuestions& questions) {
    sink.SetRange(0, kLastPosition);
    sink.SetPos(0);
    // Without a host folder every destination would be relative to wherever
    // the process happens to stand.
    if (!HostFound()) return E_FAIL;

    const std::string program = ProgramFile();
    const size_t backslash = program.rfind('\\');
    packageDir = backslash == std::string::npos ? program : program.substr(0, backslash);
    cabinIniPath = packageDir + "\\cabin.ini";
    const std::string scriptPath = ChooseScriptPath();
    sink.SetPos(1);

    if (!script.Open(scriptPath.c_str())) {
        questions.ScriptMissing();
        return E_FAIL;
    }
    observer->Starting(hostPath, packageDir);
    HRESULT status = S_OK;
    sink.SetPos(2);
    if (!InstallFiles(questions)) status = E_FAIL;
    sink.SetPos(3);
    if (!MergeTextures(questions)) status = E_FAIL;
    if (!MergeGroundTextures(questions)) status = E_FAIL;
    if (!MergeCabinList(questions)) status = E_FAIL;
    sink.SetPos(kLastPosition);
    observer->Finished(status);
    return status;
}

bool InstallEngine::InstallFiles(InstallQuestions& questions) {
    return fileinstallation::InstallFiles(script, packageDir, hostPath, skipAllNewer, questions,
                                          *observer);
}

bool InstallEngine::MergeTextures(InstallQuestions& questions) {
    const std::string list = hostPath + "Resourcen\\Parallels\\Texturen.txt";
    observer->BeforeTextureMerge(script, "Texturskript", list);
    const texturemerge::MergeResult result =
        texturemerge::MergeSection(script, "Texturskript", list);
    observer->AfterListMerge(list, result == texturemerge::MergeResult::Saved);
    // A missing list or section fails the step without a word.
    if (result == texturemerge::MergeResult::SaveFailed) questions.ListNotWritten(list);
    return result == texturemerge::MergeResult::Saved;
}

bool InstallEngine::MergeGroundTextures(InstallQuestions& questions) {
    const std::string list = hostPath + "Resourcen\\Parallels\\Bodentexturen.txt";
    observer->BeforeTextureMerge(script, "Bodenskript", list);
    const texturemerge::MergeResult result =
        texturemerge::MergeSection(script, "Bodenskript", list);
    observer->AfterListMerge(list, result == texturemerge::MergeResult::Saved);
    if (result != texturemerge::MergeResult::SaveFailed) return true;
    questions.ListNotWritten(list);
    return false;
}

bool InstallEngine::MergeCabinList(InstallQuestions& questions) {
    const std::string list = hostPath + "Resourcen\\Parallels\\cabins.ini";
    CabinMerge merge;
    const bool prepared = merge.Prepare(list, cabinIniPath);
    observer->BeforeCabinMerge(list, merge);
    // True also when nothing was to be written (as MergeInto says); the
    // recorder compares.
    const bool merged = !prepared || merge.Write();
    observer->AfterListMerge(list, merged);
    if (merged) return true;
    questions.ListNotWritten(list);
    return false;
}

std::string InstallEngine::ProgramFile() const {
    // Grown until the name fits: a cut name would give another folder.
    std::vector<char> name(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameA(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0) return std::string();
        if (length < name.size()) return std::string(name.data(), length);
        if (name.size() >= 32768) return std::string();
        name.resize(name.size() * 2);
    }
}

std::string InstallEngine::ChooseScriptPath() const {
    // Greater than 0, not at least 0: the first entry installs from
    // "InstSkript.txt" like the single package does, as packages expect.
    const int32_t index = catalogue.selectedIndex;
    if (catalogueMode != 0 && index > 0 && index < InstallCatalogue::kCapacity) {
        return packageDir + "\\" + catalogue.entries[index].script;
    }
    return packageDir + "\\InstSkript.txt";
}
