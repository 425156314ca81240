#include "view_window.h"

#include <commctrl.h>

namespace viewtest {

std::u16string EncodeItems(const std::vector<ViewItem>& items) {
    std::u16string encoded;
    for (const auto& item : items) {
        encoded += item.selected ? (item.focused ? u'b' : u's') : (item.focused ? u'f' : u'-');
        encoded += item.text;
        encoded += u'\n';
    }
    return encoded;
}

std::vector<ViewItem> DecodeItems(const std::u16string& encoded) {
    std::vector<ViewItem> items;
    std::size_t start = 0;
    while (start < encoded.size()) {
        std::size_t end = encoded.find(u'\n', start);
        if (end == std::u16string::npos) end = encoded.size();
        if (end > start) {
            ViewItem item;
            const char16_t flag = encoded[start];
            item.selected = flag == u's' || flag == u'b';
            item.focused = flag == u'f' || flag == u'b';
            item.text = encoded.substr(start + 1, end - start - 1);
            items.push_back(item);
        }
        start = end + 1;
    }
    return items;
}

namespace {

// The view's own test of the family: the host program links nothing of the product.
bool IsNtFamily() { return (GetVersion() & 0x80000000u) == 0; }

std::string ToCodePage(const std::u16string& text) {
    const auto* wide = reinterpret_cast<const wchar_t*>(text.c_str());
    const int n = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::string ansi(n > 0 ? n : 1, '\0');
    WideCharToMultiByte(CP_ACP, 0, wide, -1, &ansi[0], n, nullptr, nullptr);
    ansi.resize(n > 0 ? n - 1 : 0);
    return ansi;
}

void InsertItem(HWND view, int index, const std::u16string& text, bool wide) {
    if (wide) {
        std::u16string copy = text;
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = index;
        item.pszText = reinterpret_cast<wchar_t*>(&copy[0]);
        SendMessageW(view, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    } else {
        std::string ansi = ToCodePage(text);
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = index;
        item.pszText = &ansi[0];
        SendMessageA(view, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
}

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
    const bool wide = IsNtFamily();
    const DWORD style = WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS;
    HWND view = wide ? CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"", style, 0, 0, client.right, client.bottom,
                                       frame, nullptr, GetModuleHandleW(nullptr), nullptr)
                     : CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "", style, 0, 0, client.right, client.bottom,
                                       frame, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!view) {
        DestroyWindow(frame);
        return nullptr;
    }
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 380;
    column.pszText = const_cast<char*>("name");
    SendMessageA(view, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    for (std::size_t i = 0; i < items.size(); ++i) InsertItem(view, static_cast<int>(i), items[i].text, wide);
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
