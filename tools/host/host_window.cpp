// The host's window: a report-style list view of the folder's files and a status
// bar that shows the extension's help text while its menu item is highlighted.
#include "host.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>

#include "common/unique_handle.h"

namespace host {

namespace {

constexpr char kClassName[] = "KorvaneHostFrame";

HostState* StateOf(HWND frame) { return reinterpret_cast<HostState*>(GetWindowLongPtrA(frame, GWLP_USERDATA)); }

void AddColumn(HWND view, int index, const std::string& title, int width, int format = LVCFMT_LEFT) {
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.fmt = format;
    column.cx = width;
    column.pszText = const_cast<char*>(title.c_str());
    SendMessageA(view, LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column));
}

void Layout(HostState& state) {
    RECT client = {};
    GetClientRect(state.frame, &client);
    SendMessageA(state.status, WM_SIZE, 0, 0);
    RECT bar = {};
    GetWindowRect(state.status, &bar);
    MoveWindow(state.view, 0, 0, client.right, client.bottom - (bar.bottom - bar.top), TRUE);
}

void OpenMenuAt(HostState& state, POINT screen) {
    std::vector<std::string> names = SelectedNames(state);
    if (names.empty()) return;
    RunExtensionMenu(state, names, screen);
}

// The centre of an item, in screen coordinates.
POINT ItemPoint(const HostState& state, int index) {
    RECT r = {};
    r.left = LVIR_LABEL;
    SendMessageA(state.view, LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
    POINT p = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(state.view, &p);
    return p;
}

LRESULT CALLBACK FrameProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam) {
    HostState* state = StateOf(frame);
    switch (message) {
    case WM_NCCREATE:
        SetWindowLongPtrA(frame, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
        break;
    case WM_SIZE:
        if (state && state->view) Layout(*state);
        return 0;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (state && header->hwndFrom == state->view && header->code == NM_RCLICK) {
            POINT cursor = {};
            GetCursorPos(&cursor);
            OpenMenuAt(*state, cursor);
            return 0;
        }
        break;
    }
    case WM_CONTEXTMENU:  // the menu key or Shift+F10
        if (state && reinterpret_cast<HWND>(wParam) == state->view && static_cast<short>(LOWORD(lParam)) == -1) {
            const int focused = static_cast<int>(SendMessageA(state->view, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
            if (focused >= 0) OpenMenuAt(*state, ItemPoint(*state, focused));
            return 0;
        }
        break;
    case WM_MENUSELECT:
        if (state && state->activeMenu) {
            const UINT id = LOWORD(wParam);
            wchar_t help[260] = L"";
            if (!(HIWORD(wParam) & MF_POPUP) && id >= state->firstId && id < state->firstId + state->added)
                state->activeMenu->GetCommandString(id - state->firstId, GCS_HELPTEXTW, nullptr,
                                                    reinterpret_cast<char*>(help), 260);
            SendMessageW(state->status, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(help));
        }
        break;
    case kOpenMenuMessage:
        if (state) {
            const int index = static_cast<int>(wParam);
            LVITEMA none = {};
            none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
            SendMessageA(state->view, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
            LVITEMA one = {};
            one.state = one.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
            SendMessageA(state->view, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&one));
            SendMessageA(state->view, LVM_ENSUREVISIBLE, index, FALSE);
            SetFocus(state->view);
            OpenMenuAt(*state, ItemPoint(*state, index));
        }
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(frame, message, wParam, lParam);
}

}  // namespace

HWND CreateHostWindow(HostState& state) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSEXA type = {};
    type.cbSize = sizeof type;
    type.lpfnWndProc = FrameProc;
    type.hInstance = GetModuleHandleA(nullptr);
    type.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    type.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    type.lpszClassName = kClassName;
    RegisterClassExA(&type);

    const std::string title = "Korvane host - " + state.folder;
    state.frame = CreateWindowExA(0, kClassName, title.c_str(), WS_OVERLAPPEDWINDOW, 40, 40, 760, 460, nullptr,
                                  nullptr, type.hInstance, &state);
    if (!state.frame) return nullptr;
    state.view = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS,
                                 0, 0, 100, 100, state.frame, nullptr, type.hInstance, nullptr);
    state.status = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0,
                                   state.frame, nullptr, type.hInstance, nullptr);
    SendMessageA(state.view, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
    AddColumn(state.view, 0, Ansi(u8"名前"), 320);
    AddColumn(state.view, 1, Ansi(u8"サイズ"), 100, LVCFMT_RIGHT);
    AddColumn(state.view, 2, Ansi(u8"種類"), 140);
    FillView(state);
    Layout(state);
    ShowWindow(state.frame, SW_SHOWNORMAL);
    UpdateWindow(state.frame);
    return state.frame;
}

void FillView(HostState& state) {
    const std::vector<std::string> selected = SelectedNames(state);
    SendMessageA(state.view, LVM_DELETEALLITEMS, 0, 0);
    struct Entry {
        std::string name;
        bool folder;
        ULONGLONG size;
    };
    std::vector<Entry> entries;
    WIN32_FIND_DATAA found;
    UniqueFind find(FindFirstFileA((state.folder + "\\*").c_str(), &found));
    if (find) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            const bool folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            entries.push_back({name, folder, (static_cast<ULONGLONG>(found.nFileSizeHigh) << 32) | found.nFileSizeLow});
        } while (FindNextFileA(find.Get(), &found));
    }
    // Folders first, then by name, as Explorer shows them.
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        if (a.folder != b.folder) return a.folder;
        return lstrcmpiA(a.name.c_str(), b.name.c_str()) < 0;
    });
    const std::string folderKind = Ansi(u8"ファイル フォルダー");
    const std::string fileKind = Ansi(u8"ファイル");
    int row = 0;
    for (const Entry& e : entries) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = const_cast<char*>(e.name.c_str());
        SendMessageA(state.view, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        char size[32] = "";
        if (!e.folder) std::snprintf(size, sizeof size, "%llu KB", (e.size + 1023) / 1024);
        LVITEMA cell = {};
        cell.iSubItem = 1;
        cell.pszText = size;
        SendMessageA(state.view, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&cell));
        cell.iSubItem = 2;
        cell.pszText = const_cast<char*>(e.folder ? folderKind.c_str() : fileKind.c_str());
        SendMessageA(state.view, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&cell));
        if (std::find(selected.begin(), selected.end(), e.name) != selected.end()) {
            LVITEMA mark = {};
            mark.state = mark.stateMask = LVIS_SELECTED;
            SendMessageA(state.view, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&mark));
        }
        ++row;
    }
}

std::vector<std::string> SelectedNames(const HostState& state) {
    std::vector<std::string> names;
    if (!state.view) return names;
    int index = -1;
    while ((index = static_cast<int>(SendMessageA(state.view, LVM_GETNEXTITEM, index, LVNI_SELECTED))) >= 0) {
        char name[MAX_PATH] = {};
        LVITEMA item = {};
        item.pszText = name;
        item.cchTextMax = MAX_PATH;
        SendMessageA(state.view, LVM_GETITEMTEXTA, index, reinterpret_cast<LPARAM>(&item));
        names.push_back(name);
    }
    return names;
}

int FindItem(const HostState& state, const std::string& name) {
    LVFINDINFOA find = {};
    find.flags = LVFI_STRING;
    find.psz = name.c_str();
    return static_cast<int>(SendMessageA(state.view, LVM_FINDITEMA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
}

}  // namespace host
