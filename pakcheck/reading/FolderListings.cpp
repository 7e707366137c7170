#include "pakcheck/reading/FolderListings.h"

#include "pakcheck/reading/FileSystem.h"

namespace pakcheck {

namespace folderlistings {

namespace {

FolderListings* current = nullptr;

}  // namespace

FolderListings::FolderListings() : outer(current) {
    current = this;
}

FolderListings::~FolderListings() {
    current = outer;
}

bool Names(const std::string& folder, const std::vector<std::string>** names) {
    if (current == nullptr) {
        static std::vector<std::string> listed;
        *names = &listed;
        return files::ListFolder(folder, &listed);
    }
    const auto [known, first] = current->folders.try_emplace(folder);
    FolderListings::Listing& listing = known->second;
    if (first) listing.listed = files::ListFolder(folder, &listing.names);
    *names = &listing.names;
    return listing.listed;
}

}  // namespace folderlistings

}  // namespace pakcheck
