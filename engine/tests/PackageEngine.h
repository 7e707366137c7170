// An InstallEngine that believes it runs as "Pakwerk.exe" in `packageFolder`,
// so a test can install from a package folder of its own. Everything else is
// the real engine.
#pragma once

#include <string>

#include "engine/InstallEngine.h"

class PackageEngine : public InstallEngine {
public:
    PackageEngine(const InstallCatalogue& catalogue, int32_t catalogueMode,
                  std::string packageFolder)
        : InstallEngine(catalogue, catalogueMode), packageFolder(std::move(packageFolder)) {}

protected:
    std::string ProgramFile() const override { return packageFolder + "\\Pakwerk.exe"; }

private:
    std::string packageFolder;
};
