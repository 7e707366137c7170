#include "tests/support/TestFiles.h"

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace testfiles {

namespace {

#ifdef _WIN32
constexpr char kSeparator = '\\';
// After a drive ("C:\") the first folder can be made.
constexpr size_t kFirstFolder = 3;

void MakeFolder(const std::string& folder) {
    CreateDirectoryA(folder.c_str(), nullptr);
}

FILETIME ToFileTime(ULONGLONG ticks) {
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(ticks);
    time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return time;
}
#else
constexpr char kSeparator = '/';
constexpr size_t kFirstFolder = 1;

void MakeFolder(const std::string& folder) {
    mkdir(folder.c_str(), 0755);
}
#endif

// Folders that exist already are left as they are; a folder that cannot be
// made shows as the file's write failing.
void MakeFolders(const std::string& path) {
    for (size_t separator = path.find(kSeparator, kFirstFolder); separator != std::string::npos;
         separator = path.find(kSeparator, separator + 1)) {
        MakeFolder(path.substr(0, separator));
    }
}

// Removes the scratch folder when the process ends, write-protected files
// in it included.
struct ScratchOwner {
    std::string folder;
    ~ScratchOwner() {
        if (folder.empty()) return;
        namespace fs = std::filesystem;
        std::error_code ignored;
        for (auto entry = fs::recursive_directory_iterator(folder, ignored);
             entry != fs::recursive_directory_iterator(); entry.increment(ignored)) {
            fs::permissions(entry->path(), fs::perms::owner_write, fs::perm_options::add, ignored);
        }
        fs::remove_all(folder, ignored);
    }
};

}  // namespace

std::string ScratchFolder(const std::string& program) {
    static ScratchOwner owner;
    if (owner.folder.empty()) {
#ifdef _WIN32
        const unsigned long process = GetCurrentProcessId();
#else
        const long process = static_cast<long>(getpid());
#endif
        const std::string folder =
            ::testing::TempDir() + program + "-" + std::to_string(process) + kSeparator;
        MakeFolders(folder);
        owner.folder = folder;
    }
    return owner.folder;
}

void Write(const std::string& path, const std::string& bytes) {
    MakeFolders(path);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    out.close();
    EXPECT_TRUE(out.good()) << "cannot write " << path;
}

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return "<missing>";
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool Exists(const std::string& path) {
#ifdef _WIN32
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
#else
    struct stat info;
    return stat(path.c_str(), &info) == 0;
#endif
}

void SetReadOnly(const std::string& path, bool readOnly) {
#ifdef _WIN32
    SetAttributes(path, readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
#else
    if (chmod(path.c_str(), readOnly ? 0444 : 0644) != 0) {
        ADD_FAILURE() << "cannot change the protection of " << path;
    }
#endif
}

// Root writes read-only files anyway; the Wine run shows the refusals.
bool ReadOnlyIsEnforced() {
#ifdef _WIN32
    return true;
#else
    return geteuid() != 0;
#endif
}

std::string Utf16(const std::string& ascii) {
    std::string bytes;
    for (char c : ascii) {
        bytes.push_back(c);
        bytes.push_back('\0');
    }
    return bytes;
}

#ifdef _WIN32
void SetWriteTime(const std::string& path, ULONGLONG ticks) {
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        ADD_FAILURE() << "cannot open " << path << " to set its time, error " << GetLastError();
        return;
    }
    FILETIME time = ToFileTime(ticks);
    if (!SetFileTime(file, nullptr, nullptr, &time)) {
        ADD_FAILURE() << "cannot set the time of " << path << ", error " << GetLastError();
    }
    CloseHandle(file);
}

ULONGLONG WriteTime(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
        ADD_FAILURE() << "cannot read the time of " << path;
        return 0;
    }
    return (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) |
           data.ftLastWriteTime.dwLowDateTime;
}

void SetAttributes(const std::string& path, DWORD attributes) {
    if (!SetFileAttributesA(path.c_str(), attributes)) {
        ADD_FAILURE() << "cannot set the attributes of " << path << ", error " << GetLastError();
    }
}

DWORD Attributes(const std::string& path) {
    return GetFileAttributesA(path.c_str());
}

std::string Ansi(const char* utf8) {
    int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, nullptr, 0);
    if (units <= 0) {
        ADD_FAILURE() << "not UTF-8: " << utf8;
        return std::string();
    }
    std::vector<wchar_t> wide(static_cast<size_t>(units));
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide.data(), units);
    int bytes = WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, nullptr, 0, nullptr, nullptr);
    std::vector<char> ansi(static_cast<size_t>(bytes));
    WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, ansi.data(), bytes, nullptr, nullptr);
    return std::string(ansi.data());
}

std::string ProgramFile() {
    char path[MAX_PATH * 4];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    return std::string(path, length);
}

namespace {

void AddTree(const std::string& folder, const std::string& relative,
             std::map<std::string, std::string>& tree) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        const std::string path = folder + "\\" + name;
        const std::string attributes = "attributes " + std::to_string(found.dwFileAttributes);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            tree[relative + name + "\\"] = attributes;
            AddTree(path, relative + name + "\\", tree);
        } else {
            tree[relative + name] = attributes + " " + Read(path);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

}  // namespace

std::map<std::string, std::string> FolderTree(const std::string& folder) {
    std::map<std::string, std::string> tree;
    AddTree(folder, "", tree);
    return tree;
}
#endif

}  // namespace testfiles
