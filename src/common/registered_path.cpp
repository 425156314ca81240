#include "common/registered_path.h"

#include <windows.h>

#include <cstring>

#include "common/unique_handle.h"

namespace korvane {

std::string RegisteredPath(const std::string& keyName) {
    UniqueKey key;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, keyName.c_str(), 0, KEY_QUERY_VALUE, key.Put()) != ERROR_SUCCESS)
        return std::string();
    char value[MAX_PATH + 1] = {};
    DWORD size = MAX_PATH;  // room for a NUL the stored data may lack
    DWORD type = 0;
    if (RegQueryValueExA(key.Get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS)
        return std::string();
    if (type != REG_SZ && type != REG_EXPAND_SZ) return std::string();
    std::string path(value, strnlen(value, size));
    if (type == REG_EXPAND_SZ) {
        char expanded[MAX_PATH + 1] = {};
        const DWORD n = ExpandEnvironmentStringsA(path.c_str(), expanded, MAX_PATH);
        path = n > 0 && n <= MAX_PATH ? std::string(expanded) : std::string();
    }
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"') path = path.substr(1, path.size() - 2);
    return path;
}

}  // namespace korvane
