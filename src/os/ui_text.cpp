#include "os/ui_text.h"

#include <commctrl.h>
#include <shlobj.h>

#include <vector>

#include "common/com_memory.h"
#include "common/module.h"
#include "os/ansi.h"
#include "os/late_bound.h"
#include "os/message_box.h"
#include "os/platform.h"
#include "os/wide.h"
#include "resources/resource.h"

namespace korvane {

namespace {

// Capacity of the string loader's buffer, as the string table's entries were made for.
constexpr std::size_t kStringUnits = 260;

}  // namespace

std::u16string LoadResourceString(UINT id) { return LoadModuleString(moduleInstance, id, kStringUnits); }

void ShowMessage(HWND owner, const std::u16string& text, UINT icon) {
    ShowMessageBox(owner, text, LoadResourceString(IDS_APP_CAPTION), icon | MB_OK);
}

void SetProductIcon(HWND dialog) {
    if (HICON icon = LoadIconA(moduleInstance, MAKEINTRESOURCEA(IDI_KORVANE))) {
        SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
        SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    }
}

INT_PTR RunModalDialog(int templateId, HWND owner, DLGPROC procedure, LPARAM parameter) {
    if (IsNt()) {
        KORVANE_BIND(user32, DialogBoxParamW);
        if (!DialogBoxParamW_) return -1;
        return DialogBoxParamW_(moduleInstance, MAKEINTRESOURCEW(templateId), owner, procedure, parameter);
    }
    return DialogBoxParamA(moduleInstance, MAKEINTRESOURCEA(templateId), owner, procedure, parameter);
}

HWND CreateModelessDialog(int templateId, HWND owner, DLGPROC procedure, LPARAM parameter) {
    if (IsNt()) {
        KORVANE_BIND(user32, CreateDialogParamW);
        if (!CreateDialogParamW_) return nullptr;
        return CreateDialogParamW_(moduleInstance, MAKEINTRESOURCEW(templateId), owner, procedure, parameter);
    }
    return CreateDialogParamA(moduleInstance, MAKEINTRESOURCEA(templateId), owner, procedure, parameter);
}

void SetWindowTextOf(HWND window, const std::u16string& text) {
    if (IsNt()) {
        KORVANE_BIND(user32, SetWindowTextW);
        if (SetWindowTextW_) SetWindowTextW_(window, AsWide(text));
        return;
    }
    SetWindowTextA(window, ToAnsiShown(text).c_str());
}

std::u16string WindowTextOf(HWND window) {
    if (IsNt()) {
        KORVANE_BIND(user32, GetWindowTextLengthW);
        KORVANE_BIND(user32, GetWindowTextW);
        if (!GetWindowTextLengthW_ || !GetWindowTextW_) return std::u16string();
        const int length = GetWindowTextLengthW_(window);
        if (length <= 0) return std::u16string();
        std::vector<wchar_t> text(static_cast<std::size_t>(length) + 1, L'\0');
        const int got = GetWindowTextW_(window, text.data(), length + 1);
        return FromWide(text.data(), got > 0 ? static_cast<std::size_t>(got) : 0);
    }
    const int length = GetWindowTextLengthA(window);
    if (length <= 0) return std::u16string();
    std::vector<char> text(static_cast<std::size_t>(length) + 1, '\0');
    const int got = GetWindowTextA(window, text.data(), length + 1);
    return FromAnsi(std::string_view(text.data(), got > 0 ? static_cast<std::size_t>(got) : 0));
}

void SetItemText(HWND dialog, int id, const std::u16string& text) { SetWindowTextOf(GetDlgItem(dialog, id), text); }

void AddComboItem(HWND combo, const std::u16string& text) {
    if (IsNt()) {
        KORVANE_BIND(user32, SendMessageW);
        if (SendMessageW_) SendMessageW_(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(AsWide(text)));
        return;
    }
    const std::string ansi = ToAnsiShown(text);
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ansi.c_str()));
}

std::u16string ComboItemText(HWND combo, int index) {
    if (index < 0) return std::u16string();
    if (IsNt()) {
        KORVANE_BIND(user32, SendMessageW);
        if (!SendMessageW_) return std::u16string();
        const LRESULT length = SendMessageW_(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
        if (length == CB_ERR || length < 0) return std::u16string();
        std::vector<wchar_t> item(static_cast<std::size_t>(length) + 1, L'\0');
        if (SendMessageW_(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(item.data())) ==
            CB_ERR)
            return std::u16string();
        return FromWide(item.data(), item.size());
    }
    const LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR || length < 0) return std::u16string();
    std::vector<char> item(static_cast<std::size_t>(length) + 1, '\0');
    if (SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(item.data())) == CB_ERR)
        return std::u16string();
    return FromAnsi(item.data());
}

bool InsertMenuText(HMENU menu, UINT position, UINT flags, UINT_PTR id, const std::u16string& text) {
    if (IsNt()) {
        KORVANE_BIND(user32, InsertMenuW);
        return InsertMenuW_ && InsertMenuW_(menu, position, flags, id, AsWide(text));
    }
    return InsertMenuA(menu, position, flags, id, ToAnsiShown(text).c_str()) != 0;
}

void InsertListColumn(HWND list, int index, int width, const std::u16string& title) {
    if (IsNt()) {
        KORVANE_BIND(user32, SendMessageW);
        if (!SendMessageW_) return;
        std::u16string text = title;
        LVCOLUMNW column = {};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
        column.fmt = LVCFMT_LEFT;
        column.cx = width;
        column.pszText = AsWide(&text[0]);
        SendMessageW_(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
        return;
    }
    std::string text = ToAnsiShown(title);
    LVCOLUMNA column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
    column.fmt = LVCFMT_LEFT;
    column.cx = width;
    column.pszText = &text[0];
    SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
}

bool AnswerCellText(LPARAM notification, const std::function<std::u16string(int item, int subItem)>& cell) {
    const auto* header = reinterpret_cast<const NMHDR*>(notification);
    if (header->code == LVN_GETDISPINFOW) {
        LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(notification)->item;
        if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return true;
        const std::u16string text = cell(item.iItem, item.iSubItem);
        // Cut to the buffer, never between the two halves of a surrogate pair.
        std::size_t count = text.size() < static_cast<std::size_t>(item.cchTextMax) ? text.size()
                                                                                    : static_cast<std::size_t>(item.cchTextMax - 1);
        if (count > 0 && count < text.size() && text[count - 1] >= 0xD800 && text[count - 1] <= 0xDBFF) --count;
        for (std::size_t i = 0; i < count; ++i) item.pszText[i] = static_cast<wchar_t>(text[i]);
        item.pszText[count] = L'\0';
        return true;
    }
    if (header->code == LVN_GETDISPINFOA) {
        LVITEMA& item = reinterpret_cast<NMLVDISPINFOA*>(notification)->item;
        if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return true;
        WriteAnsiCut(cell(item.iItem, item.iSubItem), item.pszText, static_cast<std::size_t>(item.cchTextMax - 1));
        return true;
    }
    return false;
}

SIZE TextExtent(HWND window, HFONT font, const std::u16string& text) {
    SIZE extent = {};
    HDC dc = GetDC(window);
    if (!dc) return extent;
    const HGDIOBJ previous = SelectObject(dc, font);
    if (IsNt()) {
        KORVANE_BIND(gdi32, GetTextExtentPoint32W);
        if (GetTextExtentPoint32W_)
            GetTextExtentPoint32W_(dc, AsWide(text), static_cast<int>(text.size()), &extent);
    } else {
        const std::string ansi = ToAnsiShown(text);
        GetTextExtentPoint32A(dc, ansi.c_str(), static_cast<int>(ansi.size()), &extent);
    }
    SelectObject(dc, previous);
    ReleaseDC(window, dc);
    return extent;
}

namespace {

LONG ShrunkHeight(LONG height, LONG room, LONG extent) {
    const LONG scaled = MulDiv(height, room, extent);
    return scaled < 0 ? scaled + 1 : scaled - 1;
}

}  // namespace

HFONT CreateShrunkFont(HFONT base, LONG room, LONG extent) {
    if (extent <= 0) return nullptr;
    if (IsNt()) {
        KORVANE_BIND(gdi32, GetObjectW);
        KORVANE_BIND(gdi32, CreateFontIndirectW);
        LOGFONTW face = {};
        if (!GetObjectW_ || !CreateFontIndirectW_ || !GetObjectW_(base, sizeof face, &face)) return nullptr;
        face.lfHeight = ShrunkHeight(face.lfHeight, room, extent);
        face.lfWidth = 0;
        return CreateFontIndirectW_(&face);
    }
    LOGFONTA face = {};
    if (!GetObjectA(base, sizeof face, &face)) return nullptr;
    face.lfHeight = ShrunkHeight(face.lfHeight, room, extent);
    face.lfWidth = 0;
    return CreateFontIndirectA(&face);
}

namespace {

int CALLBACK BrowseCallbackW(HWND browser, UINT message, LPARAM, LPARAM startFolder) {
    KORVANE_BIND(user32, SendMessageW);
    if (message == BFFM_INITIALIZED && SendMessageW_) SendMessageW_(browser, BFFM_SETSELECTIONW, TRUE, startFolder);
    return 0;
}

int CALLBACK BrowseCallbackA(HWND browser, UINT message, LPARAM, LPARAM startFolder) {
    if (message == BFFM_INITIALIZED) SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, startFolder);
    return 0;
}

}  // namespace

bool BrowseForFolder(HWND owner, const std::u16string& title, const std::u16string& start, std::u16string& chosen) {
    if (IsNt()) {
        KORVANE_BIND(shell32, SHBrowseForFolderW);
        KORVANE_BIND(shell32, SHGetPathFromIDListW);
        if (!SHBrowseForFolderW_ || !SHGetPathFromIDListW_) return false;
        BROWSEINFOW info = {};
        info.hwndOwner = owner;
        info.lpszTitle = AsWide(title);
        info.ulFlags = BIF_RETURNONLYFSDIRS;
        info.lpfn = BrowseCallbackW;
        info.lParam = reinterpret_cast<LPARAM>(AsWide(start));
        const UniqueCoTaskMem<ITEMIDLIST> list(SHBrowseForFolderW_(&info));
        if (!list) return false;
        wchar_t path[MAX_PATH + 1] = {};
        if (!SHGetPathFromIDListW_(list.Get(), path)) return false;
        chosen = FromWide(path, MAX_PATH);
        return true;
    }
    const std::string ansiTitle = ToAnsiShown(title);
    std::string ansiStart;
    ToAnsiExact(start, ansiStart);
    BROWSEINFOA info = {};
    info.hwndOwner = owner;
    info.lpszTitle = ansiTitle.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = BrowseCallbackA;
    info.lParam = reinterpret_cast<LPARAM>(ansiStart.c_str());
    const UniqueCoTaskMem<ITEMIDLIST> list(SHBrowseForFolderA(&info));
    if (!list) return false;
    char path[MAX_PATH + 1] = {};
    if (!SHGetPathFromIDListA(list.Get(), path)) return false;
    chosen = FromAnsi(path);
    return true;
}

}  // namespace korvane
