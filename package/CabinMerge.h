// The cabin merge (CabinListMerge.h) in two steps: worked out in memory,
// then written. Between them the restore point learns what the merge will
// write and which entries it can change, without merging a second time.
//
// Only the sections the package's list names can change. Their bytes, as the
// host list's Save writes them, are kept before the merge and given after
// it; a reader takes them line by line as it takes the whole list: with the
// list's UTF-8 mark in front when its first section is among them.
//
//   Prepare          true when both lists were read and merged in memory;
//                    false when either is missing, empty or unreadable (a
//                    host without a cabin list never gets one)
//   MergedBytes      what Write writes (worked out on the first call)
//   OldSectionBytes  the named sections' bytes before the merge
//   NewSectionBytes  the same sections' bytes after it
//   Write            true when the merged list was written; false when it
//                    could not be (the host's list is then as it was) or was
//                    not prepared
#pragma once

#include <string>
#include <string_view>
#include <unordered_set>

#include "textfile/IniDocument.h"

class CabinMerge {
public:
    CabinMerge();
    CabinMerge(const CabinMerge&) = delete;
    CabinMerge& operator=(const CabinMerge&) = delete;

    bool Prepare(const std::string& hostList, const std::string& packageList);
    bool Prepared() const { return prepared_; }
    const std::string& MergedBytes();
    const std::string& OldSectionBytes() const { return oldSections_; }
    std::string NewSectionBytes() const;
    bool Write();

private:
    std::string SectionBytes() const;

    IniDocument list_;
    IniDocument package_;
    std::unordered_set<std::string_view> names_;  // the package document's own names
    std::string hostList_;
    std::string oldSections_;
    std::string merged_;
    bool prepared_ = false;
    bool mergedKnown_ = false;
};
