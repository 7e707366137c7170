// Copying one package file into the host so that the destination's name
// holds either its old file or the whole new one at every moment, also when
// the program is killed in the middle of a copy.
//
// A copy goes in two moves through one open handle. Write writes the source
// into a temporary file beside the destination
// (safereplace::TemporaryPathFor), hashing the bytes on the way when asked,
// and gives it the source's last write time and plain attributes (no
// read-only, hidden, system or archive flag); the file stays open. Once all
// of that succeeded, MoveIntoPlace renames it over the destination through
// that handle and closes it. A kill before the rename leaves the temporary
// file and the old destination; the next copy of the same destination
// overwrites that temporary file, and a restore deletes it. A copy destroyed
// before MoveIntoPlace succeeded deletes its temporary file.
//
//   Write          true when the temporary file holds all of `source`'s
//                  bytes with its time and attributes set; `content` (when
//                  given) receives their fingerprint. False when the source
//                  cannot be read or the temporary file cannot be made or
//                  written; a part written is deleted again. `folderMissing`
//                  is true when it failed because the destination's folder
//                  does not exist; Write may be called again then. `buffer`
//                  is the caller's, reused from copy to copy.
//   MoveIntoPlace  true when the temporary file now stands under the
//                  destination's name. False when nothing was written, or
//                  the destination is a folder, read-only, in use or the
//                  move fails; the temporary file is deleted then and the
//                  destination is unchanged. `destinationMissing` is what
//                  the caller's last lookup of the destination said: a
//                  missing destination is taken by a rename that never
//                  replaces (a file that appeared since is then checked like
//                  any existing one), an existing one is checked first
//                  (Windows refuses to rename over a read-only file or one
//                  in use; Wine and POSIX would replace it).
//   Temporary      the temporary file's path
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "restore/ContentHash.h"

class TemporaryCopy {
public:
    explicit TemporaryCopy(const std::string& destination);
    ~TemporaryCopy();
    TemporaryCopy(const TemporaryCopy&) = delete;
    TemporaryCopy& operator=(const TemporaryCopy&) = delete;

    bool Write(const std::string& source, std::vector<char>& buffer, Fingerprint* content,
               bool& folderMissing);
    bool MoveIntoPlace(bool destinationMissing);
    const std::string& Temporary() const { return temporary; }

private:
    bool Rename(bool replace);
    void Discard();

    const std::string destination;
    const std::string temporary;
    HANDLE file = INVALID_HANDLE_VALUE;
};
