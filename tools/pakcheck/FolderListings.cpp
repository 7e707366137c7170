#include "FolderListings.h"

#include "FileSystem.h"

namespace folderlistings {

namespace {

FolderListings* current = nullptr;

}  // namespace

FolderListings::FolderListings() : outer_(current) {
    current = this;
}

FolderListings::~FolderListings() {
    current = outer_;
}

bool Names(const std::string& folder, const std::vector<std::string>** names) {
    if (current == nullptr) {
        static std::vector<std::string> listed;
        *names = &listed;
        return files::ListFolder(folder, &listed);
    }
    const auto known = current->folders_.find(folder);
    if (known != current->folders_.end()) {
        *names = &known->second.names;
        return known->second.listed;
    }
    FolderListings::Listing& listing = current->folders_[folder];
    listing.listed = files::ListFolder(folder, &listing.names);
    *names = &listing.names;
    return listing.listed;
}

}  // namespace folderlistings
