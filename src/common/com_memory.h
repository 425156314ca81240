// Owners of the memory COM hands out: a BSTR, a block from the task allocator (an
// item id list, say) and a storage medium from IDataObject::GetData. Each frees what
// it holds once, on every way out.
#pragma once
#include <objbase.h>
#include <oleauto.h>

#include <utility>

namespace korvane {

class UniqueBstr {
public:
    explicit UniqueBstr(BSTR text = nullptr) noexcept : text_(text) {}
    ~UniqueBstr() { SysFreeString(text_); }
    UniqueBstr(const UniqueBstr&) = delete;
    UniqueBstr& operator=(const UniqueBstr&) = delete;
    BSTR Get() const noexcept { return text_; }

private:
    BSTR text_;
};

template <typename T>
class UniqueCoTaskMem {
public:
    explicit UniqueCoTaskMem(T* block = nullptr) noexcept : block_(block) {}
    ~UniqueCoTaskMem() { CoTaskMemFree(block_); }
    UniqueCoTaskMem(const UniqueCoTaskMem&) = delete;
    UniqueCoTaskMem& operator=(const UniqueCoTaskMem&) = delete;
    T* Get() const noexcept { return block_; }
    explicit operator bool() const noexcept { return block_ != nullptr; }

private:
    T* block_;
};

// Filled by GetData through Put(); released with ReleaseStgMedium, which also lets
// go of pUnkForRelease when the data object handed one.
class UniqueStgMedium {
public:
    UniqueStgMedium() noexcept = default;
    ~UniqueStgMedium() { Reset(); }
    UniqueStgMedium(const UniqueStgMedium&) = delete;
    UniqueStgMedium& operator=(const UniqueStgMedium&) = delete;
    STGMEDIUM* Put() noexcept {
        Reset();
        return &medium_;
    }
    const STGMEDIUM& Get() const noexcept { return medium_; }

private:
    void Reset() noexcept {
        if (medium_.tymed != TYMED_NULL) ReleaseStgMedium(&medium_);
        medium_ = STGMEDIUM();
    }
    STGMEDIUM medium_ = {};
};

}  // namespace korvane
