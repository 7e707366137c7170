// The entries one installation run changed in a host list, and undoing them
// one by one when the list has changed since (when it is still exactly as the
// run left it, the restore puts its old bytes back whole instead).
//
// A texture entry is its id and its text; a cabin entry is a key of a
// section, compared as the key's line in the INI document's canonical
// layout (name, value and comment). The journal keeps of each change only
// the hash of what the run wrote; the old text comes from the list's old
// copy in the restore point.
//
//   Diff*   what turns `before` into `after`: entries added, and entries
//           whose text differs (replaced); entries the run rewrote with the
//           same text are no change
//   Undo*   for each change: when the list still holds what the run wrote,
//           the old entry returns (an added one is removed); when it holds
//           the old entry already, nothing happens; otherwise the entry is
//           left and named in `kept`. A cabin section the run added is
//           removed when it ends up empty. `current` is changed in place;
//           `changed` says whether it was.
#pragma once

#include <string>
#include <vector>

#include "restore/Journal.h"

class IniDocument;
class TextureList;

namespace listchanges {

struct Outcome {
    bool changed = false;
    int undone = 0;
    std::vector<std::string> kept;  // "id 7", "[Section] Key"
};

std::vector<journal::EntryChange> DiffTextures(const TextureList& before, const TextureList& after);
std::vector<journal::EntryChange> DiffCabins(const IniDocument& before, const IniDocument& after);

Outcome UndoTextures(const TextureList& before, TextureList& current,
                     const std::vector<journal::EntryChange>& changes);
Outcome UndoCabins(const IniDocument& before, IniDocument& current,
                   const std::vector<journal::EntryChange>& changes);

}  // namespace listchanges
