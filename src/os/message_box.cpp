#include "os/message_box.h"

#include <vector>

#include "os/ansi.h"
#include "os/late_bound.h"
#include "os/platform.h"
#include "os/wide.h"

namespace korvane {

std::u16string LoadModuleString(HINSTANCE module, UINT id, std::size_t capacity) {
    if (IsNt()) {
        KORVANE_BIND(user32, LoadStringW);
        std::vector<wchar_t> buffer(capacity + 1, L'\0');
        const int length = LoadStringW_ ? LoadStringW_(module, id, buffer.data(), static_cast<int>(capacity)) : 0;
        return FromWide(buffer.data(), length > 0 ? static_cast<std::size_t>(length) : 0);
    }
    std::vector<char> buffer(capacity + 1, '\0');
    const int length = LoadStringA(module, id, buffer.data(), static_cast<int>(capacity));
    return FromAnsi(std::string_view(buffer.data(), length > 0 ? static_cast<std::size_t>(length) : 0));
}

int ShowMessageBox(HWND owner, const std::u16string& text, const std::u16string& caption, UINT style) {
    if (IsNt()) {
        KORVANE_BIND(user32, MessageBoxW);
        return MessageBoxW_ ? MessageBoxW_(owner, AsWide(text), AsWide(caption), style) : 0;
    }
    return MessageBoxA(owner, ToAnsiShown(text).c_str(), ToAnsiShown(caption).c_str(), style);
}

}  // namespace korvane
