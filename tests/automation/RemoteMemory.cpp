#include "automation/RemoteMemory.h"

namespace automation {

RemoteMemory::RemoteMemory(HWND window, size_t size) : size(size) {
    DWORD processId = 0;
    if (!GetWindowThreadProcessId(window, &processId)) return;
    process =
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (process == nullptr) return;
    block = static_cast<char*>(
        VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
}

RemoteMemory::~RemoteMemory() {
    if (block != nullptr) VirtualFreeEx(process, block, 0, MEM_RELEASE);
    if (process != nullptr) CloseHandle(process);
}

bool RemoteMemory::Write(size_t offset, const void* data, size_t count) {
    SIZE_T written = 0;
    return Valid() && offset <= size && count <= size - offset &&
           WriteProcessMemory(process, block + offset, data, count, &written) && written == count;
}

bool RemoteMemory::Read(size_t offset, void* data, size_t count) const {
    SIZE_T read = 0;
    return Valid() && offset <= size && count <= size - offset &&
           ReadProcessMemory(process, block + offset, data, count, &read) && read == count;
}

LPARAM RemoteMemory::At(size_t offset) const {
    return reinterpret_cast<LPARAM>(block + offset);
}

}  // namespace automation
