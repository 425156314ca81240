// The extension's context menu, built and invoked the way Explorer does it: a
// class factory from the library, Initialize with the shell's data object of the
// selection, QueryContextMenu into a popup menu, InvokeCommand for its item.
#include <cstdio>

#include "common/com_ptr.h"
#include "host.h"

namespace host {

namespace {

// {D366B385-D565-40FE-B20F-2E5F2DCAD397}
const CLSID kClassId = {0xD366B385, 0xD565, 0x40FE, {0xB2, 0x0F, 0x2E, 0x5F, 0x2D, 0xCA, 0xD3, 0x97}};

constexpr UINT kRefreshId = 1;
constexpr UINT kFirstExtensionId = 100;
constexpr UINT kLastExtensionId = 0x7FFF;

using GetClassObjectFunction = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

std::wstring Wide(const std::string& ansi) {
    const int n = MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, nullptr, 0);
    std::wstring wide(n > 0 ? static_cast<size_t>(n) : 1, L'\0');
    if (n > 0) MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, &wide[0], n);
    wide.resize(n > 0 ? static_cast<size_t>(n) - 1 : 0);
    return wide;
}

PIDLIST_ABSOLUTE Parse(const std::string& path) {
    PIDLIST_ABSOLUTE pidl = nullptr;
    if (FAILED(SHParseDisplayName(Wide(path).c_str(), nullptr, &pidl, 0, nullptr))) return nullptr;
    return pidl;
}

// The library stays loaded for the host's life, as Explorer keeps a handler loaded.
GetClassObjectFunction ClassObjectEntry(const std::string& dllPath) {
    static HMODULE library = nullptr;
    if (!library) {
        library = LoadLibraryA(dllPath.c_str());
        if (!library) {
            Print("cannot load " + dllPath);
            return nullptr;
        }
    }
    return reinterpret_cast<GetClassObjectFunction>(GetProcAddress(library, "DllGetClassObject"));
}

std::string MenuText(HMENU menu, UINT id) {
    char text[260] = {};
    GetMenuStringA(menu, id, text, sizeof text, MF_BYCOMMAND);
    return text;
}

}  // namespace

IDataObject* ShellDataObject(const std::string& folder, const std::vector<std::string>& names) {
    std::vector<PIDLIST_ABSOLUTE> items;
    for (const std::string& name : names)
        if (PIDLIST_ABSOLUTE pidl = Parse(folder + "\\" + name)) items.push_back(pidl);
    IDataObject* data = nullptr;
    if (!items.empty() && items.size() == names.size()) {
        ComPtr<IShellFolder> parent;
        PCUITEMID_CHILD child = nullptr;
        if (SUCCEEDED(SHBindToParent(items[0], IID_IShellFolder, parent.PutVoid(), &child))) {
            std::vector<PCUITEMID_CHILD> children;
            for (PIDLIST_ABSOLUTE pidl : items) children.push_back(ILFindLastID(pidl));
            parent->GetUIObjectOf(nullptr, static_cast<UINT>(children.size()), children.data(), IID_IDataObject,
                                  nullptr, reinterpret_cast<void**>(&data));
        }
    }
    for (PIDLIST_ABSOLUTE pidl : items) CoTaskMemFree(pidl);
    return data;
}

void RunExtensionMenu(HostState& state, const std::vector<std::string>& names, POINT at) {
    struct Done {
        HostState& s;
        ~Done() {
            if (s.commandDone) SetEvent(s.commandDone);
        }
    } done{state};

    GetClassObjectFunction entry = ClassObjectEntry(state.dllPath);
    if (!entry) return;
    ComPtr<IClassFactory> factory;
    ComPtr<IShellExtInit> init;
    if (FAILED(entry(kClassId, IID_IClassFactory, factory.PutVoid())) ||
        FAILED(factory->CreateInstance(nullptr, IID_IShellExtInit, init.PutVoid()))) {
        Print("the extension's object could not be created");
        return;
    }
    ComPtr<IDataObject> data = ComPtr<IDataObject>::Attach(ShellDataObject(state.folder, names));
    PIDLIST_ABSOLUTE folderItem = Parse(state.folder);
    const HRESULT initialized = init->Initialize(folderItem, data.Get(), nullptr);
    CoTaskMemFree(folderItem);
    ComPtr<IContextMenu> menuHandler;
    if (FAILED(initialized) || FAILED(init.As(menuHandler, IID_IContextMenu))) {
        Print("Initialize failed");
        return;
    }

    HMENU menu = CreatePopupMenu();
    const HRESULT queried = menuHandler->QueryContextMenu(menu, 0, kFirstExtensionId, kLastExtensionId, CMF_NORMAL);
    const UINT added = SUCCEEDED(queried) ? HRESULT_CODE(queried) : 0;
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, kRefreshId, Ansi(u8"最新の情報に更新(&E)").c_str());

    state.activeMenu = menuHandler.Get();
    state.firstId = kFirstExtensionId;
    state.added = added;
    UINT chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, state.frame, nullptr);
    state.activeMenu = nullptr;
    SendMessageA(state.status, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(""));
    if (chosen == 0 && state.demo && added > 0) {
        Print("(the menu could not be driven; its item is chosen directly)");
        chosen = kFirstExtensionId;
    }
    if (chosen >= kFirstExtensionId && chosen < kFirstExtensionId + added) {
        Print("menu item: " + MenuText(menu, chosen));
        char help[260] = {};
        menuHandler->GetCommandString(chosen - kFirstExtensionId, GCS_HELPTEXTA, nullptr, help, sizeof help);
        Print(std::string("help text: ") + help);
        CMINVOKECOMMANDINFO info = {};
        info.cbSize = sizeof info;
        info.hwnd = state.frame;
        info.lpVerb = MAKEINTRESOURCEA(chosen - kFirstExtensionId);
        info.nShow = SW_SHOWNORMAL;
        const HRESULT invoked = menuHandler->InvokeCommand(&info);
        char line[64];
        std::snprintf(line, sizeof line, "InvokeCommand returned 0x%08lX", static_cast<unsigned long>(invoked));
        Print(line);
        FillView(state);  // a move changes the folder
    } else if (chosen == kRefreshId) {
        FillView(state);
    }
    DestroyMenu(menu);
}

}  // namespace host
