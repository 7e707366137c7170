// One installation run: from the host folder and the install script to the
// run's status.
//
// The install dialog makes a fresh engine per click (construction locates the
// host, see HostLocation), shows message 104 instead of running when
// HostFound() is false, and otherwise calls Run with its progress bar and its
// message boxes (InstallQuestions.h). Run reports progress 0..4,
// opens the install script beside the program ("InstSkript.txt", or in
// catalogue mode the chosen entry's script when its index is greater than 0)
// and runs the four steps in order; a failed step never stops the later ones.
//
//   Run   S_OK when every step succeeded; E_FAIL when the script cannot be
//         opened (ScriptMissing, no step runs, progress stays at 1), when any
//         step failed, or when there is no host folder (nothing is touched)
//
// The steps, true on success:
//   InstallFiles         section "Dateinstallation" (see FileInstallation.h)
//   MergeTextures        section "Texturskript" into Texturen.txt; false
//                        also when the list or the section is missing
//   MergeGroundTextures  section "Bodenskript" into Bodentexturen.txt; false
//                        only when writing the list failed
//   MergeCabinList       the package's cabin.ini into cabins.ini; false only
//                        when writing the list failed
// A list that could not be written is reported (ListNotWritten with the
// list's path). An observer set with SetObserver hears of every change
// before and after it is made (InstallObserver.h); by default nobody does. The steps read only the
// engine's paths, its script and skipAllNewer, and say everything through `questions`; every file
// they write lies below the host folder.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "package/InstallCatalogue.h"
#include "engine/HostLocation.h"
#include "engine/InstallObserver.h"
#include "engine/InstallQuestions.h"
#include "package/InstallScript.h"
#include "engine/ProgressSink.h"

class InstallEngine : public HostLocation {
public:
    // `catalogue` must outlive the engine; `catalogueMode` is 1 when the
    // program runs from "InstSkript.ini", else 0.
    InstallEngine(const InstallCatalogue& catalogue, int32_t catalogueMode);
    virtual ~InstallEngine() = default;
    InstallEngine(const InstallEngine&) = delete;
    InstallEngine& operator=(const InstallEngine&) = delete;

    HRESULT Run(ProgressSink& sink, InstallQuestions& questions);
    // `observer` must outlive the engine's runs.
    void SetObserver(InstallObserver& observer) { this->observer = &observer; }

    bool InstallFiles(InstallQuestions& questions);
    bool MergeTextures(InstallQuestions& questions);
    bool MergeGroundTextures(InstallQuestions& questions);
    bool MergeCabinList(InstallQuestions& questions);

    // Filled by Run: the running program's folder without a trailing
    // backslash, the package's cabin list, and the script it opened.
    const std::string& PackageDir() const { return packageDir; }
    const std::string& CabinIniPath() const { return cabinIniPath; }
    const std::string& ScriptPath() const { return script.Path(); }

protected:
    // The running program's file (GetModuleFileNameA). Tests put the program
    // into a package folder of theirs by overriding it.
    virtual std::string ProgramFile() const;

private:
    std::string ChooseScriptPath() const;

    const InstallCatalogue& catalogue;
    const int32_t catalogueMode;
    InstallScript script;
    std::string packageDir;
    bool skipAllNewer = false;
    std::string cabinIniPath;
    NoRecording nobody;
    InstallObserver* observer = &nobody;
};
