// korvane_host [--demo OUTDIR] [--dll PATH] [FOLDER]
//   Opens a window listing FOLDER (or a generated sample folder); right-click files
//   or a folder to get the extension's menu item. With --demo a second thread drives
//   one whole command per step, saves screenshots as PNG files in OUTDIR, prints
//   what was matched and done, and ends with "host: N passed, M failed".
#include <cstdio>
#include <cstring>

#include "common/unique_handle.h"
#include "host.h"

namespace {

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    const size_t cut = folder.find_last_of('\\');  // the program's own path: no double-byte names here
    return cut == std::string::npos ? folder : folder.substr(0, cut);
}

std::string FullPath(const std::string& path) {
    char full[MAX_PATH] = {};
    const DWORD n = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    std::string result = n > 0 && n < MAX_PATH ? std::string(full) : path;
    while (result.size() > 3 && result.back() == '\\') result.pop_back();
    return result;
}

void RemoveTree(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileA(path.c_str());
        return;
    }
    WIN32_FIND_DATAA found;
    {
        UniqueFind find(FindFirstFileA((path + "\\*").c_str(), &found));
        if (find) {
            do {
                if (std::strcmp(found.cFileName, ".") && std::strcmp(found.cFileName, ".."))
                    RemoveTree(path + "\\" + found.cFileName);
            } while (FindNextFileA(find.Get(), &found));
        }
    }
    RemoveDirectoryA(path.c_str());
}

void WriteFile(const std::string& path, const std::string& content) {
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (file) ::WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
}

// Files with double-byte names (表 and ソ end in the byte 0x5C), mixed-case
// extensions, other types and a subfolder.
void MakeSampleFolder(const std::string& folder) {
    CreateDirectoryA(folder.c_str(), nullptr);
    const char* files[] = {u8"報告書.txt", u8"表計算.txt", u8"ソース一覧.txt", "memo.txt", "readme.TXT",
                           "data.csv",    "notes.doc",  u8"画像.png"};
    for (const char* name : files) WriteFile(folder + "\\" + host::Ansi(name), "sample\r\n");
    const std::string sub = folder + "\\" + host::Ansi(u8"資料");
    CreateDirectoryA(sub.c_str(), nullptr);
    WriteFile(sub + "\\sub.txt", "sample\r\n");
    WriteFile(sub + "\\old.doc", "sample\r\n");
    WriteFile(sub + "\\" + host::Ansi(u8"議事録.doc"), "sample\r\n");
}

}  // namespace

int main(int argc, char** argv) {
    host::HostState state;
    std::string outDir, folder;
    state.dllPath = ProgramFolder() + "\\Korvane.dll";
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--demo" && i + 1 < argc) {
            state.demo = true;
            outDir = FullPath(argv[++i]);
        } else if (arg == "--dll" && i + 1 < argc) {
            state.dllPath = FullPath(argv[++i]);
        } else if (arg == "--help" || arg == "/?") {
            std::puts("korvane_host [--demo OUTDIR] [--dll PATH] [FOLDER]");
            return 0;
        } else {
            folder = FullPath(arg);
        }
    }
    if (state.demo) {
        CreateDirectoryA(outDir.c_str(), nullptr);
        WIN32_FIND_DATAA found;
        UniqueFind shots(FindFirstFileA((outDir + "\\*.png").c_str(), &found));  // the last run's
        if (shots) {
            do DeleteFileA((outDir + "\\" + found.cFileName).c_str());
            while (FindNextFileA(shots.Get(), &found));
        }
        RemoveTree(outDir + "\\copied");
        RemoveTree(outDir + "\\moved");
    }
    if (folder.empty()) {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        folder = state.demo ? outDir + "\\sample" : FullPath(std::string(temp) + "korvane-sample");
        RemoveTree(folder);
        MakeSampleFolder(folder);
    }
    state.folder = folder;
    host::Print("folder: " + folder);
    host::Print("extension: " + state.dllPath);

    OleInitialize(nullptr);
    UniqueHandle done(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    state.commandDone = done.Get();
    if (!host::CreateHostWindow(state)) {
        host::Print("the window could not be created (no display?)");
        OleUninitialize();
        return 1;
    }
    if (state.demo)
        host::StartDemo(state, outDir);
    else
        host::Print(host::Ansi(u8"ファイルかフォルダを右クリックしてください (right-click a file or a folder)."));

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }

    int failed = 0;
    if (state.demo) {
        const host::DemoResult result = host::FinishDemo();
        char line[64];
        std::snprintf(line, sizeof line, "host: %d passed, %d failed", result.passed, result.failed);
        host::Print(line);
        failed = result.failed;
    }
    OleUninitialize();
    return failed ? 1 : 0;
}
