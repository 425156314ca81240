// The COM contract of the built Korvane.dll, loaded through LoadLibraryA.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <vector>

#include "common/module.h"
#include "test_support.h"

using korvane::CLSID_Korvane;
using testsupport::LoadedDll;

namespace {

ComPtr<IClassFactory> Factory(const LoadedDll& dll) {
    ComPtr<IClassFactory> factory;
    EXPECT_EQ(dll.GetClassObject(CLSID_Korvane, IID_IClassFactory, factory.PutVoid()), S_OK);
    return factory;
}

}  // namespace

TEST(ComServer, DllLoadsAndExportsItsEntryPoints) {
    LoadedDll dll;
    ASSERT_NE(dll.Module(), nullptr);
    EXPECT_EQ(dll.CanUnloadNow(), S_OK);
}

TEST(ComServer, OtherClassIdsAreRefused) {
    LoadedDll dll;
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(dll.GetClassObject(CLSID_ShellLink, IID_IClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(dll.CanUnloadNow(), S_OK);
}

TEST(ComServer, FactoryAnswersOnlyItsInterfaces) {
    LoadedDll dll;
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(dll.GetClassObject(CLSID_Korvane, IID_IDataObject, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(dll.CanUnloadNow(), S_OK) << "a refused factory must not stay alive";

    ComPtr<IUnknown> unknown;
    ASSERT_EQ(dll.GetClassObject(CLSID_Korvane, IID_IUnknown, unknown.PutVoid()), S_OK);
    EXPECT_EQ(dll.CanUnloadNow(), S_FALSE);
    unknown.Reset();
    EXPECT_EQ(dll.CanUnloadNow(), S_OK);
}

TEST(ComServer, AggregationIsRefused) {
    LoadedDll dll;
    auto factory = Factory(dll);
    ASSERT_TRUE(factory);
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->CreateInstance(factory.Get(), IID_IUnknown, &out), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(out, nullptr);
}

TEST(ComServer, TwoFacesShareOneCount) {
    LoadedDll dll;
    auto factory = Factory(dll);
    ASSERT_TRUE(factory);
    ComPtr<IShellExtInit> init;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IShellExtInit, init.PutVoid()), S_OK);
    factory.Reset();

    ComPtr<IContextMenu> menu;
    ASSERT_EQ(init->QueryInterface(IID_IContextMenu, menu.PutVoid()), S_OK);
    EXPECT_NE(static_cast<void*>(menu.Get()), static_cast<void*>(init.Get())) << "the second face is its own pointer";

    // Identity: IUnknown through either face is the IShellExtInit face.
    ComPtr<IUnknown> fromInit, fromMenu;
    ASSERT_EQ(init->QueryInterface(IID_IUnknown, fromInit.PutVoid()), S_OK);
    ASSERT_EQ(menu->QueryInterface(IID_IUnknown, fromMenu.PutVoid()), S_OK);
    EXPECT_EQ(fromInit.Get(), fromMenu.Get());
    EXPECT_EQ(static_cast<void*>(fromInit.Get()), static_cast<void*>(init.Get()));
    fromInit.Reset();
    fromMenu.Reset();

    // init and menu hold 2 references: AddRef on one face shows on the other.
    EXPECT_EQ(menu->AddRef(), 3u);
    EXPECT_EQ(init->Release(), 2u);
    EXPECT_EQ(init->AddRef(), 3u);
    EXPECT_EQ(menu->Release(), 2u);

    void* other = reinterpret_cast<void*>(1);
    EXPECT_EQ(menu->QueryInterface(IID_IDataObject, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);

    EXPECT_EQ(dll.CanUnloadNow(), S_FALSE);
    menu.Reset();
    EXPECT_EQ(dll.CanUnloadNow(), S_FALSE);
    init.Reset();
    EXPECT_EQ(dll.CanUnloadNow(), S_OK);
}

TEST(ComServer, RefusedInterfaceDestroysTheNewObject) {
    LoadedDll dll;
    auto factory = Factory(dll);
    ASSERT_TRUE(factory);
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IDataObject, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    factory.Reset();
    EXPECT_EQ(dll.CanUnloadNow(), S_OK);
}

TEST(ComServer, LockServerDoesNotKeepTheLibrary) {
    LoadedDll dll;
    auto factory = Factory(dll);
    ASSERT_TRUE(factory);
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    factory.Reset();
    EXPECT_EQ(dll.CanUnloadNow(), S_OK);
}

TEST(ComServer, MenuMethodsAnswerNothingToDoBeforeInitialize) {
    // A host may ask for the menu after a failed Initialize: the object must not
    // use fields that were never set.
    LoadedDll dll;
    ComPtr<IContextMenu> menu;
    {
        auto factory = Factory(dll);
        ASSERT_TRUE(factory);
        ASSERT_EQ(factory->CreateInstance(nullptr, IID_IContextMenu, menu.PutVoid()), S_OK);
    }
    HMENU popup = CreatePopupMenu();
    HRESULT hr = menu->QueryContextMenu(popup, 0, 100, 200, CMF_DEFAULTONLY);
    EXPECT_TRUE(SUCCEEDED(hr));
    EXPECT_EQ(HRESULT_CODE(hr), 0);
    EXPECT_EQ(GetMenuItemCount(popup), 0);
    DestroyMenu(popup);
}

struct Work {
    const LoadedDll* dll;
    LONG failures;
};

// Explorer runs each window on its own thread: objects created and released on
// many threads at once must leave the module count at zero.
TEST(ComServer, ObjectCountSurvivesManyThreads) {
    LoadedDll dll;
    Work work = {&dll, 0};
    auto body = [](LPVOID p) WINAPI -> DWORD {
        auto* w = static_cast<Work*>(p);
        for (int i = 0; i < 2000; ++i) {
            IClassFactory* factory = nullptr;
            if (w->dll->GetClassObject(CLSID_Korvane, IID_IClassFactory, reinterpret_cast<void**>(&factory)) != S_OK) {
                InterlockedIncrement(&w->failures);
                continue;
            }
            IUnknown* object = nullptr;
            if (factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&object)) == S_OK)
                object->Release();
            else
                InterlockedIncrement(&w->failures);
            factory->Release();
        }
        return 0;
    };
    std::vector<HANDLE> threads;
    for (int t = 0; t < 4; ++t) threads.push_back(CreateThread(nullptr, 0, body, &work, 0, nullptr));
    WaitForMultipleObjects(static_cast<DWORD>(threads.size()), threads.data(), TRUE, 60000);
    for (HANDLE h : threads) CloseHandle(h);
    EXPECT_EQ(work.failures, 0);
    EXPECT_EQ(dll.CanUnloadNow(), S_OK);
}
