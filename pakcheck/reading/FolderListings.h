// The names in the folders a check looks up, read once per check. Resolve
// lists a folder for every name of every path it looks up, and a check looks
// up the same few folders of the package and the host again and again; while
// it runs, neither folder changes.
//
// While a FolderListings object exists (the innermost one, when they nest),
// Names gives each folder's names from the first listing of that folder;
// without one it lists the folder every time.
//
//   Names  the folder's names, sorted, without "." and ".."; false when the
//          folder cannot be listed
#pragma once

#include <map>
#include <string>
#include <vector>

namespace pakcheck {

namespace folderlistings {

class FolderListings {
public:
    FolderListings();
    ~FolderListings();
    FolderListings(const FolderListings&) = delete;
    FolderListings& operator=(const FolderListings&) = delete;

private:
    friend bool Names(const std::string& folder, const std::vector<std::string>** names);

    struct Listing {
        bool listed = false;
        std::vector<std::string> names;
    };
    FolderListings* outer;
    std::map<std::string, Listing> folders;
};

// `*names` stays valid until the next call or the end of the innermost
// FolderListings.
bool Names(const std::string& folder, const std::vector<std::string>** names);

}  // namespace folderlistings

}  // namespace pakcheck
