// The restore store: the folder that holds the restore points and the
// restore program (the root, "<common application data>\Pakwerk\Restore")
// and the folder above it ("Pakwerk"). Pakwerk and pakundo run as
// administrator and act on what the store holds, so nothing a standard user
// can write may decide it. A store is safe when
//
//   - no folder from the one above "Pakwerk" (the common application data
//     folder) down to the root is a reparse point (a link, a junction or a
//     mount point);
//   - "Pakwerk" and the root are each owned by Administrators, SYSTEM or an
//     owner of this process (its token's default owner, and the owner of a
//     file it makes: on Windows the same; under Wine, which reports the Unix
//     owner of a file, the user's own SID for this Unix user's files and
//     Anonymous Logon for every other's);
//   - no other account may write to them, delete them or change their
//     permissions or owner (a missing DACL allows all of that).
//
// A root given on the command line is checked the same way: the root, the
// folder above it and the one above that stand for the three folders.
//
// The store's folders are made with kFolderSecurity: SYSTEM and
// Administrators full control, Users read and execute, protected from the
// parent's permissions; the restore points inside inherit it.
//
//   kFolderSecurity  that descriptor as SDDL
//   Judge            what a folder's descriptor means: Safe; Tighten (owned by
//                    Administrators or SYSTEM, so made by an administrator,
//                    but writable by others: the store of older versions,
//                    which inherited the common application data folder's
//                    permissions); Unsafe (anything else, a missing owner
//                    included)
//   Check            Safe: the store may be used (a store to be tightened is
//                    tightened first); Missing: the root does not exist and
//                    nothing on the way is unsafe; Unsafe: never read it nor
//                    write to it
//   Open             Check, after making the missing "Pakwerk" and root
//                    folders (the folder above "Pakwerk" must exist);
//                    Missing: they could not be made
//   IsSafeEntry      for a restore point or a file in a safe store: true when
//                    it is not a reparse point and its own descriptor is Safe
//   ProgramVersion   a program's file version from its version resource (the
//                    four parts, most significant first, in one number); 0
//                    when it has none or cannot be read
//   PlaceRestoreProgram
//                    writes `program` (the bytes of a restore program, from
//                    wherever the caller has them) as "<root>\pakundo.exe"
//                    when the store's copy is missing, not safe, or older than
//                    `program` by ProgramVersion; the bytes are written beside
//                    it, read back and compared before they replace it. True
//                    when "<root>\pakundo.exe" exists and is safe afterwards
//                    (`program` empty: only that is checked). The store must
//                    be safe (Open).
//   ReadBytes        the whole file `path` into `bytes` (also while another
//                    process appends to it); false when it cannot be opened
//                    or read, or holds more than `largest` bytes
//   FullPath         `path` as the system resolves it (".", "..", runs of
//                    separators and the dots and blanks Windows trims are
//                    gone), without a backslash at its end; empty when it
//                    cannot be resolved
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace restorestore {

extern const char kFolderSecurity[];

enum class Verdict { Safe, Tighten, Unsafe };
enum class State { Safe, Missing, Unsafe };

Verdict Judge(PSECURITY_DESCRIPTOR descriptor);
State Check(const std::string& root);
State Open(const std::string& root);
bool IsSafeEntry(const std::string& path);
uint64_t ProgramVersion(const std::string& path);
bool PlaceRestoreProgram(const std::string& root, const std::string& program);
bool ReadBytes(const std::string& path, std::string& bytes, size_t largest);
std::string FullPath(const std::string& path);

}  // namespace restorestore
