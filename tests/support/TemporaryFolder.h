// A fresh, empty folder below the system's temporary folder, removed with
// everything in it (read-only files too) when the object goes away.
#pragma once

#include <string>

class TemporaryFolder {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    // The folder, without a trailing backslash.
    const std::string& Path() const { return path; }

    // The folder, a backslash and `relative`.
    std::string Path(const std::string& relative) const { return path + "\\" + relative; }

private:
    std::string path;
};
