// The cabin merge (CabinListMerge.h) in two steps: worked out in memory,
// then written. Between them the restore point learns what the merge will
// write and which entries it can change, without merging a second time.
//
// Only the sections the package's list names can change. Their bytes, as the
// host list's Save writes them, are kept before the merge and given after
// it; a reader takes them line by line as it takes the whole list: with the
// list's UTF-8 mark in front when its first section is among them.
//
// The bytes written are those of the INI document merge (IniDocument: the
// host list loaded, the package's list loaded into it, saved). A host list
// that is already in Save's layout (IniLayout.h: every list an earlier
// merge wrote) is not loaded whole: only the sections the package names
// are, with the package's list into them, and every other section's bytes
// go through as they are. Any other host list is merged as a whole
// document. Both give the same bytes.
//
//   Prepare          true when both lists were read and merged in memory;
//                    false when either is missing, empty or unreadable (a
//                    host without a cabin list never gets one)
//   Streamed         true when Prepare took the host list section by section
//   HostBytes        the host list's bytes as Prepare read them
//   MergedPieces     what Write writes, in pieces to be taken one after the
//                    other (worked out on the first call; views of bytes
//                    the merge keeps while it lives); none when not prepared
//   MergedBytes      the pieces' bytes in one
//   OldSectionBytes  the named sections' bytes before the merge
//   NewSectionBytes  the same sections' bytes after it
//   Write            true when the merged list was written; false when it
//                    could not be (the host's list is then as it was) or was
//                    not prepared
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "textfile/IniDocument.h"
#include "textfile/IniLayout.h"

class CabinMerge {
public:
    CabinMerge();
    CabinMerge(const CabinMerge&) = delete;
    CabinMerge& operator=(const CabinMerge&) = delete;

    bool Prepare(const std::string& hostList, const std::string& packageList);
    bool Prepared() const { return prepared; }
    bool Streamed() const { return streamed; }
    const std::string& HostBytes() const { return hostBytes; }
    const std::vector<std::string_view>& MergedPieces();
    std::string MergedBytes();
    const std::string& OldSectionBytes() const { return oldSections; }
    std::string NewSectionBytes() const;
    bool Write();

private:
    // The merge of the named sections only; false when the host list is not
    // in Save's layout (nothing is then kept).
    bool PrepareStreamed(const std::string& packageBytes);
    bool PrepareWhole(const std::string& packageBytes);
    // The named sections of list, in its order, as the whole list's Save
    // writes them.
    std::string SectionBytes() const;
    // The streamed merge's pieces: the host list's bytes with the named
    // sections' replaced, then the nodes the package's list added.
    void StreamedPieces();

    // The whole merged list; or, streamed, the named host sections (in file
    // order) and what the package's list brought.
    std::unique_ptr<IniDocument> list;
    IniDocument package;
    std::unordered_set<std::string_view> names;  // the package document's own names
    IniLayout layout;
    std::vector<size_t> named;  // streamed: the named host sections, indexes in layout
    // Whether list's first node stands at the top of the whole list, where
    // the mark goes in front of it.
    bool firstOnTop = true;
    bool utf8Mark = false;
    std::string hostList;
    std::string hostBytes;
    std::string oldSections;
    std::vector<std::string> merged;  // the pieces' own bytes
    std::vector<std::string_view> pieces;
    bool prepared = false;
    bool streamed = false;
    bool mergedKnown = false;
};
