#include "os/remote_block.h"

namespace korvane {

namespace {

// VirtualAllocEx and VirtualFreeEx exist on the NT family only; bound at run time so
// that the library still loads on the 9x family, which never takes this path.
using VirtualAllocExFn = LPVOID(WINAPI*)(HANDLE, LPVOID, SIZE_T, DWORD, DWORD);
using VirtualFreeExFn = BOOL(WINAPI*)(HANDLE, LPVOID, SIZE_T, DWORD);

FARPROC Kernel32Function(const char* name) {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    return kernel ? GetProcAddress(kernel, name) : nullptr;
}

}  // namespace

RemoteBlock::RemoteBlock(HANDLE process, SIZE_T size) noexcept : process_(process), address_(nullptr) {
    const auto allocate = reinterpret_cast<VirtualAllocExFn>(Kernel32Function("VirtualAllocEx"));
    release_ = Kernel32Function("VirtualFreeEx");
    if (allocate && release_) address_ = allocate(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

RemoteBlock::~RemoteBlock() {
    if (address_) reinterpret_cast<VirtualFreeExFn>(release_)(process_, address_, 0, MEM_RELEASE);
}

bool RemoteBlock::Write(const void* bytes, SIZE_T size) const noexcept {
    SIZE_T done = 0;
    return WriteProcessMemory(process_, address_, bytes, size, &done) && done == size;
}

bool RemoteBlock::Read(void* bytes, SIZE_T size) const noexcept {
    SIZE_T done = 0;
    return ReadProcessMemory(process_, address_, bytes, size, &done) && done == size;
}

}  // namespace korvane
