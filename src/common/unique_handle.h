// Owning wrappers for Win32 handles: one small template, a traits type per kind.
#pragma once
#include <windows.h>
#include <utility>

template <typename Traits>
class Unique {
public:
    using Handle = typename Traits::Handle;

    Unique() noexcept : handle_(Traits::Empty()) {}
    explicit Unique(Handle h) noexcept : handle_(h) {}
    ~Unique() { Reset(); }
    Unique(Unique&& other) noexcept : handle_(other.Release()) {}
    Unique& operator=(Unique&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;

    Handle Get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != Traits::Empty(); }

    // For out-parameters: closes what is held and hands out the slot.
    Handle* Put() noexcept {
        Reset();
        return &handle_;
    }
    Handle Release() noexcept { return std::exchange(handle_, Traits::Empty()); }
    void Reset(Handle h = Traits::Empty()) noexcept {
        if (handle_ != Traits::Empty()) Traits::Close(handle_);
        handle_ = h;
    }

private:
    Handle handle_;
};

struct KeyTraits {
    using Handle = HKEY;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { RegCloseKey(h); }
};
struct FindTraits {
    using Handle = HANDLE;
    static Handle Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { FindClose(h); }
};
struct FileTraits {
    using Handle = HANDLE;
    static Handle Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { CloseHandle(h); }
};
struct KernelTraits {  // process, thread, mapping and event handles: empty is null
    using Handle = HANDLE;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { CloseHandle(h); }
};
struct GlobalTraits {
    using Handle = HGLOBAL;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { GlobalFree(h); }
};
struct LibraryTraits {
    using Handle = HMODULE;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { FreeLibrary(h); }
};
struct MappedViewTraits {
    using Handle = void*;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { UnmapViewOfFile(h); }
};

using UniqueKey = Unique<KeyTraits>;
using UniqueFind = Unique<FindTraits>;
using UniqueFile = Unique<FileTraits>;
using UniqueHandle = Unique<KernelTraits>;
using UniqueGlobal = Unique<GlobalTraits>;
using UniqueLibrary = Unique<LibraryTraits>;
using UniqueMappedView = Unique<MappedViewTraits>;

// GlobalLock for the life of a scope.
class GlobalLockGuard {
public:
    explicit GlobalLockGuard(HGLOBAL h) noexcept : handle_(h), data_(h ? GlobalLock(h) : nullptr) {}
    ~GlobalLockGuard() {
        if (data_) GlobalUnlock(handle_);
    }
    GlobalLockGuard(const GlobalLockGuard&) = delete;
    GlobalLockGuard& operator=(const GlobalLockGuard&) = delete;
    void* Data() const noexcept { return data_; }

private:
    HGLOBAL handle_;
    void* data_;
};
