#include "view_window.h"

#include <commctrl.h>

namespace viewtest {

std::string EncodeItems(const std::vector<ViewItem>& items) {
    std::string encoded;
    for (const auto& item : items) {
        encoded += item.selected ? (item.focused ? 'b' : 's') : (item.focused ? 'f' : '-');
        encoded += item.text;
        encoded += '\n';
    }
    return encoded;
}

std::vector<ViewItem> DecodeItems(const std::string& encoded) {
    std::vector<ViewItem> items;
    std::size_t start = 0;
    while (start < encoded.size()) {
        std::size_t end = encoded.find('\n', start);
        if (end == std::string::npos) end = encoded.size();
        if (end > start) {
            ViewItem item;
            const char flag = encoded[start];
            item.selected = flag == 's' || flag == 'b';
            item.focused = flag == 'f' || flag == 'b';
            item.text = encoded.substr(start + 1, end - start - 1);
            items.push_back(item);
        }
        start = end + 1;
    }
    return items;
}

namespace {

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
    if (message == WM_SIZE) {
        if (HWND view = GetWindow(window, GW_CHILD)) MoveWindow(view, 0, 0, LOWORD(lp), HIWORD(lp), TRUE);
        return 0;
    }
    if (message == WM_CLOSE) {
        DestroyWindow(window);
        return 0;
    }
    return DefWindowProcA(window, message, wp, lp);
}

void RegisterFrameClass() {
    WNDCLASSA frameClass = {};
    frameClass.lpfnWndProc = FrameProc;
    frameClass.hInstance = GetModuleHandleA(nullptr);
    frameClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    frameClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    frameClass.lpszClassName = kHostWindowClass;
    RegisterClassA(&frameClass);  // fails harmlessly when already registered
}

}  // namespace

HWND CreateViewWindow(const std::string& title, const std::vector<ViewItem>& items) {
    INITCOMMONCONTROLSEX init = {sizeof init, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&init);
    RegisterFrameClass();
    HWND frame = CreateWindowExA(0, kHostWindowClass, title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                                 420, 320, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!frame) return nullptr;
    RECT client = {};
    GetClientRect(frame, &client);
    HWND view = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS,
                                0, 0, client.right, client.bottom, frame, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!view) {
        DestroyWindow(frame);
        return nullptr;
    }
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 380;
    column.pszText = const_cast<char*>("name");
    SendMessageA(view, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    for (std::size_t i = 0; i < items.size(); ++i) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = const_cast<char*>(items[i].text.c_str());
        SendMessageA(view, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    for (std::size_t i = 0; i < items.size(); ++i) {
        LVITEMA state = {};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        state.state = (items[i].selected ? LVIS_SELECTED : 0) | (items[i].focused ? LVIS_FOCUSED : 0);
        SendMessageA(view, LVM_SETITEMSTATE, i, reinterpret_cast<LPARAM>(&state));
    }
    UpdateWindow(frame);
    return frame;
}

HWND ViewOf(HWND frame) { return FindWindowExA(frame, nullptr, WC_LISTVIEWA, nullptr); }

int ItemCount(HWND view) { return static_cast<int>(SendMessageA(view, LVM_GETITEMCOUNT, 0, 0)); }

std::vector<int> SelectedItems(HWND view) {
    std::vector<int> selected;
    const int count = ItemCount(view);
    for (int i = 0; i < count; ++i)
        if (SendMessageA(view, LVM_GETITEMSTATE, i, LVIS_SELECTED) & LVIS_SELECTED) selected.push_back(i);
    return selected;
}

int FocusedItem(HWND view) {
    return static_cast<int>(SendMessageA(view, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

}  // namespace viewtest
