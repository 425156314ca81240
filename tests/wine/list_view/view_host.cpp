// Shows a list view with the items of a file in a process of its own, for the tests
// that reach a view across a process boundary.
//   list_view_host.exe <title> <items file> <ready event>
// Sets the event once the view is up, and runs until its window is closed.
#include <windows.h>

#include <cstring>
#include <string>

#include "view_window.h"

namespace {

// The file's bytes are the items' UTF-16 units (EncodeItems).
std::u16string ReadAll(const char* path) {
    std::string content;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::u16string();
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) content.append(buffer, got);
    CloseHandle(file);
    std::u16string units(content.size() / sizeof(char16_t), u'\0');
    if (!units.empty()) std::memcpy(&units[0], content.data(), units.size() * sizeof(char16_t));
    return units;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) return 2;
    HWND frame = viewtest::CreateViewWindow(argv[1], viewtest::DecodeItems(ReadAll(argv[2])));
    if (!frame) return 3;
    if (HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[3])) {
        SetEvent(ready);
        CloseHandle(ready);
    }
    MSG message;
    while (IsWindow(frame) && GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
