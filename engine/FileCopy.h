// Copying one package file into the host so that the destination's name
// holds either its old file or the whole new one at every moment, also when
// the program is killed in the middle of a copy.
//
// A copy goes in two moves. WriteTemporary writes the source into a
// temporary file beside the destination (safereplace::TemporaryPathFor),
// hashing the bytes on the way when asked, and gives it the source's last
// write time and plain attributes (no read-only, hidden, system or archive
// flag) through its open handle. MoveIntoPlace then renames it over the
// destination. A kill before the rename leaves the temporary file and the
// old destination; the next copy of the same destination overwrites that
// temporary file, and a restore deletes it.
//
//   WriteTemporary  true when `temporary` holds all of `source`'s bytes with
//                   its time and attributes set; `content` (when given)
//                   receives their fingerprint. False when the source
//                   cannot be read or the temporary file cannot be made or
//                   written; a part written is deleted again. `folderMissing`
//                   is true when it failed because the destination's folder
//                   does not exist. `buffer` is the caller's, reused from
//                   copy to copy.
//   MoveIntoPlace   true when the temporary file now stands under the
//                   destination's name. False when the destination is a
//                   folder, read-only, in use or the move fails; the
//                   temporary file is deleted then and the destination is
//                   unchanged.
#pragma once

#include <string>
#include <vector>

#include "restore/ContentHash.h"

namespace filecopy {

bool WriteTemporary(const std::string& source, const std::string& temporary,
                    std::vector<char>& buffer, Fingerprint* content, bool& folderMissing);
bool MoveIntoPlace(const std::string& temporary, const std::string& destination);

}  // namespace filecopy
