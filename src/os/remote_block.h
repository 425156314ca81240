// A block of memory committed in another process, released when the owner goes out
// of scope, so that nothing allocated there outlives the call on any path.
#pragma once
#include <windows.h>

namespace korvane {

class RemoteBlock {
public:
    // The process handle needs PROCESS_VM_OPERATION and must outlive the block.
    RemoteBlock(HANDLE process, SIZE_T size) noexcept;
    ~RemoteBlock();
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;

    explicit operator bool() const noexcept { return address_ != nullptr; }
    // The address in the other process; never to be dereferenced here.
    void* Address() const noexcept { return address_; }

    // Whole copies only: a partial transfer counts as a failure.
    bool Write(const void* bytes, SIZE_T size) const noexcept;
    bool Read(void* bytes, SIZE_T size) const noexcept;

private:
    HANDLE process_;
    void* address_;
    FARPROC release_ = nullptr;  // VirtualFreeEx
};

}  // namespace korvane
