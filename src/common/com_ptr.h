// A minimal owning COM pointer: releases what it holds, AddRefs what it copies.
#pragma once
#include <objbase.h>
#include <utility>

template <typename T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    // Takes a new reference to p.
    explicit ComPtr(T* p) noexcept : ptr_(p) {
        if (ptr_) ptr_->AddRef();
    }
    ComPtr(const ComPtr& other) noexcept : ComPtr(other.ptr_) {}
    ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
    ~ComPtr() { Reset(); }
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(ptr_, other.ptr_);
        return *this;
    }

    // Adopts a reference the caller already owns.
    static ComPtr Attach(T* p) noexcept {
        ComPtr c;
        c.ptr_ = p;
        return c;
    }
    T* Detach() noexcept { return std::exchange(ptr_, nullptr); }
    void Reset() noexcept {
        if (T* p = std::exchange(ptr_, nullptr)) p->Release();
    }

    T* Get() const noexcept { return ptr_; }
    T* operator->() const noexcept { return ptr_; }
    explicit operator bool() const noexcept { return ptr_ != nullptr; }
    T** Put() noexcept {
        Reset();
        return &ptr_;
    }
    void** PutVoid() noexcept { return reinterpret_cast<void**>(Put()); }

    template <typename U>
    HRESULT As(ComPtr<U>& out, REFIID iid) const noexcept {
        if (!ptr_) return E_POINTER;
        return ptr_->QueryInterface(iid, out.PutVoid());
    }

private:
    T* ptr_ = nullptr;
};
