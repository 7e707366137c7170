// A host installation and a package for one test: a temporary folder with
// "Host" (registered as the host's AppPath) and "Paket" (the folder the
// engine runs from). Run performs one whole installation run with scripted
// answers to the questions and reports what the engine asked and told
// (RecordingQuestions.h); given questions of the caller's, it asks those and
// leaves `asked` empty.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "engine/InstallObserver.h"
#include "engine/InstallQuestions.h"
#include "engine/tests/HostRegistration.h"
#include "package/FileEntryDecision.h"
#include "package/InstallCatalogue.h"
#include "tests/support/TemporaryFolder.h"

class TestInstallation {
public:
    struct Outcome {
        HRESULT status = S_OK;
        std::vector<std::string> progress;  // the sink's calls
        std::vector<std::string> asked;     // the questions' calls
        std::string scriptPath;
        std::string packageDir;
    };

    TestInstallation();

    // The host folder (as registered, no trailing backslash) or a path in it.
    const std::string& Host() const { return hostFolder; }
    std::string Host(const std::string& relative) const { return hostFolder + "\\" + relative; }
    const std::string& Package() const { return packageFolder; }
    std::string Package(const std::string& relative) const {
        return packageFolder + "\\" + relative;
    }
    // The temporary folder that holds both.
    std::string Outside(const std::string& relative) const { return root.Path(relative); }

    void WriteScript(const std::string& text, const std::string& name = "InstSkript.txt") const;

    Outcome Run(const std::vector<fileentry::Answer>& answers = {}) const;
    Outcome Run(const std::vector<fileentry::Answer>& answers, const InstallCatalogue& catalogue,
                int32_t catalogueMode) const;
    Outcome Run(InstallQuestions& questions) const;
    // Later runs tell `observer` of their changes (it must outlive them).
    void Observe(InstallObserver& observer) { this->observer = &observer; }

private:
    Outcome RunWith(InstallQuestions& questions, const InstallCatalogue& catalogue,
                    int32_t catalogueMode) const;

    TemporaryFolder root;
    std::string hostFolder;
    std::string packageFolder;
    HostRegistration registration;
    InstallObserver* observer = nullptr;
};
