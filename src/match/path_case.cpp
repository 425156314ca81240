#include "match/path_case.h"

#include <windows.h>

#include "match/path_text.h"

namespace korvane {

std::string FoldPathCase(const std::string& path) {
    std::string folded = path;
    if (!folded.empty()) CharUpperBuffA(&folded[0], static_cast<DWORD>(folded.size()));
    return folded;
}

std::string FullFolderPath(const std::string& folder) {
    const std::string asked = FolderDisplayForm(folder);
    char full[MAX_PATH] = {};
    const DWORD length = GetFullPathNameA(asked.c_str(), MAX_PATH, full, nullptr);
    std::string result = length > 0 && length < MAX_PATH ? std::string(full, length) : asked;
    // Bound late: the first systems of each family lack it. A folder that does not
    // exist yet keeps its text.
    using LongPathFn = DWORD(WINAPI*)(LPCSTR, LPSTR, DWORD);
    static const auto longPath =
        reinterpret_cast<LongPathFn>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetLongPathNameA"));
    if (longPath) {
        char longer[MAX_PATH] = {};
        const DWORD n = longPath(result.c_str(), longer, MAX_PATH);
        if (n > 0 && n < MAX_PATH) result.assign(longer, n);
    }
    return StripTrailingBackslash(result);
}

}  // namespace korvane
