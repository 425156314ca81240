// Shows a list view with the items of a file in a process of its own, for the tests
// that reach a view across a process boundary.
//   list_view_host.exe <title> <items file> <ready event>
// Sets the event once the view is up, and runs until its window is closed.
#include <windows.h>

#include <string>

#include "view_window.h"

namespace {

std::string ReadAll(const char* path) {
    std::string content;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return content;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) content.append(buffer, got);
    CloseHandle(file);
    return content;
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
