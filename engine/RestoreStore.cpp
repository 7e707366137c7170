#include "engine/RestoreStore.h"

#include <aclapi.h>
#include <sddl.h>

#include <cstring>
#include <vector>

namespace restorestore {

const char kFolderSecurity[] = "O:BAD:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";

namespace {

// What lets an account change a folder or a file, what it holds, its
// permissions or its owner.
constexpr DWORD kChangeRights = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA |
                                FILE_DELETE_CHILD | FILE_WRITE_ATTRIBUTES | DELETE | WRITE_DAC |
                                WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL | MAXIMUM_ALLOWED |
                                ACCESS_SYSTEM_SECURITY;

// The largest restore program the store takes.
constexpr size_t kLargestProgram = 64u << 20;

using Sid = std::vector<BYTE>;

Sid CopyOf(PSID sid) {
    if (sid == nullptr || !IsValidSid(sid)) return Sid();
    Sid copy(GetLengthSid(sid));
    if (!CopySid(static_cast<DWORD>(copy.size()), copy.data(), sid)) copy.clear();
    return copy;
}

Sid WellKnown(WELL_KNOWN_SID_TYPE type) {
    DWORD size = SECURITY_MAX_SID_SIZE;
    Sid sid(size);
    if (!CreateWellKnownSid(type, nullptr, sid.data(), &size)) return Sid();
    sid.resize(size);
    return sid;
}

bool Is(PSID sid, const Sid& other) {
    return !other.empty() && EqualSid(sid, const_cast<BYTE*>(other.data()));
}

// The token's default owner, and the owner of a file this process makes
// (read from the open handle of a file only it can have opened).
std::vector<Sid> OwnersOfThisProcess() {
    std::vector<Sid> owners;
    HANDLE token = nullptr;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        DWORD size = 0;
        GetTokenInformation(token, TokenOwner, nullptr, 0, &size);
        std::vector<BYTE> buffer(size);
        if (size != 0 && GetTokenInformation(token, TokenOwner, buffer.data(), size, &size)) {
            owners.push_back(CopyOf(reinterpret_cast<TOKEN_OWNER*>(buffer.data())->Owner));
        }
        CloseHandle(token);
    }
    char folder[MAX_PATH];
    const DWORD length = GetTempPathA(MAX_PATH, folder);
    if (length == 0 || length >= MAX_PATH) return owners;
    const std::string probe = std::string(folder, length) + "pakwerk-owner-" +
                              std::to_string(GetCurrentProcessId()) + "-" +
                              std::to_string(GetTickCount()) + ".tmp";
    HANDLE file = CreateFileA(probe.c_str(), READ_CONTROL | DELETE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) return owners;
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(file, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr,
                        nullptr, &descriptor) == ERROR_SUCCESS) {
        owners.push_back(CopyOf(owner));
        LocalFree(descriptor);
    }
    CloseHandle(file);
    return owners;
}

struct Trusted {
    Sid administrators = WellKnown(WinBuiltinAdministratorsSid);
    Sid system = WellKnown(WinLocalSystemSid);
    Sid creatorOwner = WellKnown(WinCreatorOwnerSid);
    Sid ownerRights = WellKnown(WinCreatorOwnerRightsSid);
    std::vector<Sid> processOwners = OwnersOfThisProcess();

    bool Administrator(PSID sid) const { return Is(sid, administrators) || Is(sid, system); }
    bool Owner(PSID sid) const {
        if (Administrator(sid)) return true;
        for (const Sid& owner : processOwners) {
            if (Is(sid, owner)) return true;
        }
        return false;
    }
    // An entry for the owner (the creator of what is made inside, or the
    // object's own owner) gives nobody else anything: the owner is checked.
    bool MayChange(PSID sid) const {
        return Owner(sid) || Is(sid, creatorOwner) || Is(sid, ownerRights);
    }
};

const Trusted& TrustedAccounts() {
    static const Trusted kTrusted;
    return kTrusted;
}

// True when no account but a trusted one may change the object.
bool OnlyTrustedMayChange(PACL dacl) {
    if (dacl == nullptr) return false;
    ACL_SIZE_INFORMATION size;
    if (!GetAclInformation(dacl, &size, sizeof size, AclSizeInformation)) return false;
    for (DWORD i = 0; i < size.AceCount; ++i) {
        void* ace = nullptr;
        if (!GetAce(dacl, i, &ace)) return false;
        const BYTE type = static_cast<const ACE_HEADER*>(ace)->AceType;
        if (type == ACCESS_DENIED_ACE_TYPE) continue;
        // Conditional and object entries are not read, so not trusted.
        if (type != ACCESS_ALLOWED_ACE_TYPE) return false;
        auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
        if ((allowed->Mask & kChangeRights) != 0 &&
            !TrustedAccounts().MayChange(reinterpret_cast<PSID>(&allowed->SidStart))) {
            return false;
        }
    }
    return true;
}

Verdict JudgePath(const std::string& path) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT,
                              OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, nullptr,
                              nullptr, nullptr, nullptr, &descriptor) != ERROR_SUCCESS) {
        return Verdict::Unsafe;
    }
    const Verdict verdict = Judge(descriptor);
    LocalFree(descriptor);
    return verdict;
}

// kFolderSecurity as a descriptor for CreateDirectoryA; nullptr when it
// cannot be made. Free it with LocalFree.
PSECURITY_DESCRIPTOR FolderDescriptor() {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(kFolderSecurity, SDDL_REVISION_1,
                                                              &descriptor, nullptr)) {
        return nullptr;
    }
    return descriptor;
}

// Gives `folder` the store's permissions in place of what it has: its
// restore points and files inherit them.
bool Tighten(const std::string& folder) {
    PSECURITY_DESCRIPTOR descriptor = FolderDescriptor();
    if (descriptor == nullptr) return false;
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL dacl = nullptr;
    const bool tightened =
        GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted) && present &&
        dacl != nullptr &&
        SetNamedSecurityInfoA(const_cast<char*>(folder.c_str()), SE_FILE_OBJECT,
                              DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                              nullptr, nullptr, dacl, nullptr) == ERROR_SUCCESS;
    LocalFree(descriptor);
    return tightened;
}

bool MakeFolder(const std::string& folder) {
    PSECURITY_DESCRIPTOR descriptor = FolderDescriptor();
    if (descriptor == nullptr) return false;
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
    const bool made =
        CreateDirectoryA(folder.c_str(), &attributes) || GetLastError() == ERROR_ALREADY_EXISTS;
    LocalFree(descriptor);
    return made;
}

// The folder above `folder`; empty above a drive's or a share's top folder.
std::string Above(const std::string& folder) {
    const size_t backslash = folder.rfind('\\');
    if (backslash == std::string::npos || backslash < 3) return std::string();
    const std::string above = folder.substr(0, backslash);
    return above.size() <= 2 ? std::string() : above;
}

// The three folders of a store, outermost first; empty when it has no three.
std::vector<std::string> Folders(const std::string& root) {
    const std::string full = FullPath(root);
    const std::string pakwerk = Above(full);
    const std::string common = Above(pakwerk);
    if (full.empty() || common.empty()) return {};
    return {common, pakwerk, full};
}

// Writes `bytes` as a new file `path` and reads them back: true when the
// file holds exactly them; otherwise it is gone.
bool WriteChecked(const std::string& path, const std::string& bytes) {
    DeleteFileA(path.c_str());
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool checked =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size() && FlushFileBuffers(file);
    checked = CloseHandle(file) && checked;
    std::string back;
    checked = checked && ReadBytes(path, back, bytes.size()) && back == bytes;
    if (!checked) DeleteFileA(path.c_str());
    return checked;
}

bool IsSafeProgram(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
           IsSafeEntry(path);
}

}  // namespace

Verdict Judge(PSECURITY_DESCRIPTOR descriptor) {
    PSID owner = nullptr;
    BOOL defaulted = FALSE;
    if (descriptor == nullptr || !GetSecurityDescriptorOwner(descriptor, &owner, &defaulted) ||
        owner == nullptr || !TrustedAccounts().Owner(owner)) {
        return Verdict::Unsafe;
    }
    BOOL present = FALSE;
    PACL dacl = nullptr;
    if (GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted) && present &&
        OnlyTrustedMayChange(dacl)) {
        return Verdict::Safe;
    }
    return TrustedAccounts().Administrator(owner) ? Verdict::Tighten : Verdict::Unsafe;
}

State Check(const std::string& root) {
    const std::vector<std::string> folders = Folders(root);
    if (folders.empty()) return State::Unsafe;
    for (const std::string& folder : folders) {
        const DWORD attributes = GetFileAttributesA(folder.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            const DWORD error = GetLastError();
            return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? State::Missing
                                                                                  : State::Unsafe;
        }
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
            (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            return State::Unsafe;
        }
    }
    for (size_t i = 1; i < folders.size(); ++i) {
        Verdict verdict = JudgePath(folders[i]);
        if (verdict == Verdict::Tighten && Tighten(folders[i])) verdict = JudgePath(folders[i]);
        if (verdict != Verdict::Safe) return State::Unsafe;
    }
    return State::Safe;
}

State Open(const std::string& root) {
    const State state = Check(root);
    if (state != State::Missing) return state;
    const std::vector<std::string> folders = Folders(root);
    for (size_t i = 1; i < folders.size(); ++i) {
        if (!MakeFolder(folders[i])) return State::Missing;
    }
    return Check(root);
}

bool IsSafeEntry(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 && JudgePath(path) == Verdict::Safe;
}

uint64_t ProgramVersion(const std::string& path) {
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (module == nullptr) return 0;
    uint64_t version = 0;
    // VS_VERSIONINFO: three WORDs, the key "VS_VERSION_INFO" with its end as
    // sixteen UTF-16 units, padding to 40 bytes, then the fixed part.
    constexpr size_t kFixedAt = 40;
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16));
    HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    const auto* bytes =
        static_cast<const BYTE*>(loaded != nullptr ? LockResource(loaded) : nullptr);
    if (bytes != nullptr && SizeofResource(module, found) >= kFixedAt + sizeof(VS_FIXEDFILEINFO)) {
        VS_FIXEDFILEINFO fixed;
        std::memcpy(&fixed, bytes + kFixedAt, sizeof fixed);
        if (fixed.dwSignature == 0xFEEF04BD) {
            version = (static_cast<uint64_t>(fixed.dwFileVersionMS) << 32) | fixed.dwFileVersionLS;
        }
    }
    FreeLibrary(module);
    return version;
}

bool PlaceRestoreProgram(const std::string& root, const std::string& program) {
    const std::string target = root + "\\pakundo.exe";
    const bool present = IsSafeProgram(target);
    if (program.empty() || program.size() > kLargestProgram) return present;
    const std::string fresh = target + ".new";
    if (!WriteChecked(fresh, program)) return present;
    if (present && ProgramVersion(target) >= ProgramVersion(fresh)) {
        DeleteFileA(fresh.c_str());
        return true;
    }
    if (!MoveFileExA(fresh.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(fresh.c_str());
        return present;
    }
    std::string placed;
    return ReadBytes(target, placed, program.size()) && placed == program && IsSafeProgram(target);
}

std::string FullPath(const std::string& path) {
    const DWORD needed = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return std::string();
    std::string full(needed, '\0');
    const DWORD length = GetFullPathNameA(path.c_str(), needed, &full[0], nullptr);
    if (length == 0 || length >= needed) return std::string();
    full.resize(length);
    while (!full.empty() && full.back() == '\\') full.pop_back();
    return full;
}

bool ReadBytes(const std::string& path, std::string& bytes, size_t largest) {
    bytes.clear();
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    char buffer[65536];
    DWORD got = 0;
    bool read = true;
    while ((read = ::ReadFile(file, buffer, sizeof buffer, &got, nullptr) != 0) && got > 0) {
        if (bytes.size() + got > largest) {
            read = false;
            break;
        }
        bytes.append(buffer, got);
    }
    CloseHandle(file);
    return read;
}

}  // namespace restorestore
