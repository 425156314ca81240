// The calling thread in a COM apartment for a scope. Undoing an initialisation that
// failed (a thread already in another apartment) would tear down the thread's own
// COM: only a success is undone.
#pragma once
#include <objbase.h>

class ComApartment {
public:
    explicit ComApartment(bool wanted = true) noexcept : result_(wanted ? CoInitialize(nullptr) : E_FAIL) {}
    ~ComApartment() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    HRESULT result_;
};
