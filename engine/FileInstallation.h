// The first installation step: copying the package's files into the host.
//
// Each entry of the install script's section "Dateinstallation" reads
// source>>destination: the source relative to the package folder, the
// destination file relative to the host folder. Entries without ">>" are
// ignored. A missing source is reported (questions.SourceMissing) and
// skipped. A destination newer than its source is kept when the user says so
// (questions.AskAboutNewerFile: Keep keeps it, KeepAll keeps it and every
// later newer file of the run, Replace replaces it). A destination that
// would leave the host folder (".." above it, a drive, a device such as NUL
// or COM1), names nothing below it, or that the system resolves to a full
// path outside the resolved host folder (a double-byte code page may read a
// backslash as part of a character) is never written: it is reported like a
// failed copy (questions.CopyFailed). Each file is written under a temporary
// name beside its destination and renamed over it only when complete
// (TemporaryCopy.h), with the source's last write time and plain attributes; a
// destination whose copy failed has its attributes reset to normal.
//
//   InstallFiles         true when no copy failed, also when the section is
//                        absent; missing sources do not make it false.
//                        `skipAllNewer` is read and set (Cancel). `observer`
//                        hears of each copy before and after it.
//   FileExists           true when FindFirstFileA finds `path`
//   IsExistingFileNewer  true when `destination` was last written strictly
//                        later than `source`, or when only the destination
//                        can be opened and timed; false when the destination
//                        cannot be opened or timed
//   EnsureDirectory      true when `folder` exists as a folder afterwards
//                        (made with its missing parents along "\"; runs of
//                        backslashes count as one); false for an empty name
//                        and when a file stands in the way
//   NamesFileInside      true when the relative `destination` names
//                        something below the folder it is joined to (the
//                        rule itself is in HostDestination.h)
#pragma once

#include <string>

class InstallObserver;
class InstallQuestions;
class InstallScript;

namespace fileinstallation {

bool InstallFiles(InstallScript& script, const std::string& packageDir, const std::string& hostPath,
                  bool& skipAllNewer, InstallQuestions& questions);
bool InstallFiles(InstallScript& script, const std::string& packageDir, const std::string& hostPath,
                  bool& skipAllNewer, InstallQuestions& questions, InstallObserver& observer);

bool FileExists(const std::string& path);
bool IsExistingFileNewer(const std::string& destination, const std::string& source);
bool EnsureDirectory(const std::string& folder);
bool NamesFileInside(const std::string& destination);

}  // namespace fileinstallation
