#include "engine/InstallEngine.h"

#include <vector>

#include "app/Messages.h"
#include "package/CabinListMerge.h"
#include "engine/FileInstallation.h"
#include "texturelist/TextureMerge.h"

namespace {

constexpr int32_t kLastPosition = 4;

}  // namespace

InstallEngine::InstallEngine(const InstallCatalogue& catalogue, int32_t catalogueMode)
    : catalogue(catalogue), catalogueMode(catalogueMode) {}

HRESULT InstallEngine::Run(ProgressSink& sink) {
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
    messages::Show(messages::kScriptMissing, MB_OK);
    return E_FAIL;
  }
  HRESULT status = S_OK;
  sink.SetPos(2);
  if (!InstallFiles()) status = E_FAIL;
  sink.SetPos(3);
  if (!MergeTextures()) status = E_FAIL;
  if (!MergeGroundTextures()) status = E_FAIL;
  if (!MergeCabinList()) status = E_FAIL;
  sink.SetPos(kLastPosition);
  return status;
}

bool InstallEngine::InstallFiles() {
  return fileinstallation::InstallFiles(script, packageDir, hostPath, skipAllNewer);
}

bool InstallEngine::MergeTextures() {
  return texturemerge::MergeSection(script, "Texturskript",
                                    hostPath + "Resourcen\\Parallels\\Texturen.txt") ==
         texturemerge::MergeResult::Saved;
}

bool InstallEngine::MergeGroundTextures() {
  return texturemerge::MergeSection(script, "Bodenskript",
                                    hostPath + "Resourcen\\Parallels\\Bodentexturen.txt") !=
         texturemerge::MergeResult::SaveFailed;
}

bool InstallEngine::MergeCabinList() {
  return cabinlist::MergeInto(hostPath + "Resourcen\\Parallels\\cabins.ini", cabinIniPath);
}

std::string InstallEngine::ProgramFile() const {
  // Grown until the name fits: a cut name would give another folder.
  std::vector<char> name(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, name.data(), static_cast<DWORD>(name.size()));
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
