#include "engine/tests/TestInstallation.h"

#include <gtest/gtest.h>

#include "engine/tests/PackageEngine.h"
#include "engine/tests/RecordingProgressSink.h"
#include "engine/tests/TestFiles.h"

TestInstallation::TestInstallation()
    : hostFolder(root.Path("Host")),
      packageFolder(root.Path("Paket")),
      registration(hostFolder) {
  CreateDirectoryA(hostFolder.c_str(), nullptr);
  CreateDirectoryA(packageFolder.c_str(), nullptr);
}

void TestInstallation::WriteScript(const std::string& text, const std::string& name) const {
  testfiles::Write(Package(name), text);
}

TestInstallation::Outcome TestInstallation::Run(std::vector<int> answers) const {
  return Run(std::move(answers), InstallCatalogue{}, 0);
}

TestInstallation::Outcome TestInstallation::Run(std::vector<int> answers,
                                                const InstallCatalogue& catalogue,
                                                int32_t catalogueMode) const {
  scriptedmessagebox::Reset(std::move(answers));
  PackageEngine engine(catalogue, catalogueMode, packageFolder);
  EXPECT_TRUE(engine.HostFound());
  EXPECT_EQ(hostFolder + "\\", engine.HostPath());
  RecordingProgressSink sink;
  Outcome outcome;
  outcome.status = engine.Run(sink);
  outcome.progress = sink.calls;
  outcome.shown = scriptedmessagebox::Shown();
  outcome.unansweredQuestions = scriptedmessagebox::UnansweredQuestions();
  outcome.scriptPath = engine.ScriptPath();
  outcome.packageDir = engine.PackageDir();
  return outcome;
}
