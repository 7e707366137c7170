#include "engine/tests/TestInstallation.h"

#include <gtest/gtest.h>

#include "engine/tests/PackageEngine.h"
#include "engine/tests/RecordingProgressSink.h"
#include "engine/tests/RecordingQuestions.h"
#include "tests/support/TestFiles.h"

TestInstallation::TestInstallation()
    : hostFolder(root.Path("Host")), packageFolder(root.Path("Paket")), registration(hostFolder) {
    CreateDirectoryA(hostFolder.c_str(), nullptr);
    CreateDirectoryA(packageFolder.c_str(), nullptr);
}

void TestInstallation::WriteScript(const std::string& text, const std::string& name) const {
    testfiles::Write(Package(name), text);
}

TestInstallation::Outcome TestInstallation::Run(
    const std::vector<fileentry::Answer>& answers) const {
    return Run(answers, InstallCatalogue{}, 0);
}

TestInstallation::Outcome TestInstallation::Run(const std::vector<fileentry::Answer>& answers,
                                                const InstallCatalogue& catalogue,
                                                int32_t catalogueMode) const {
    RecordingQuestions questions(answers);
    Outcome outcome = RunWith(questions, catalogue, catalogueMode);
    outcome.asked = questions.calls;
    return outcome;
}

TestInstallation::Outcome TestInstallation::Run(InstallQuestions& questions) const {
    return RunWith(questions, InstallCatalogue{}, 0);
}

TestInstallation::Outcome TestInstallation::RunWith(InstallQuestions& questions,
                                                    const InstallCatalogue& catalogue,
                                                    int32_t catalogueMode) const {
    PackageEngine engine(catalogue, catalogueMode, packageFolder);
    if (observer != nullptr) engine.SetObserver(*observer);
    EXPECT_TRUE(engine.HostFound());
    EXPECT_EQ(hostFolder + "\\", engine.HostPath());
    RecordingProgressSink sink;
    Outcome outcome;
    outcome.status = engine.Run(sink, questions);
    outcome.progress = sink.calls;
    outcome.scriptPath = engine.ScriptPath();
    outcome.packageDir = engine.PackageDir();
    return outcome;
}
