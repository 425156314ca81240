#include "os/registry.h"

#include <cstring>
#include <vector>

#include "common/text.h"
#include "os/ansi.h"
#include "os/late_bound.h"
#include "os/platform.h"
#include "os/wide.h"

namespace korvane {

// Key paths, value names and numbers carry no text of the user's: the A functions
// serve both families there.

bool OpenKey(HKEY root, const char* path, REGSAM access, UniqueKey& key) {
    return RegOpenKeyExA(root, path, 0, access, key.Put()) == ERROR_SUCCESS;
}

bool CreateKey(HKEY root, const char* path, REGSAM access, UniqueKey& key) {
    char emptyClass[] = "";
    return RegCreateKeyExA(root, path, 0, emptyClass, REG_OPTION_NON_VOLATILE, access, nullptr, key.Put(), nullptr) ==
           ERROR_SUCCESS;
}

LONG DeleteSubkey(HKEY root, const char* parent, const char* subkey) {
    UniqueKey key;
    const LONG result = RegOpenKeyExA(root, parent, 0, KEY_QUERY_VALUE, key.Put());
    if (result != ERROR_SUCCESS) return result;
    return RegDeleteKeyA(key.Get(), subkey);
}

bool ReadNumber(HKEY key, const char* name, std::uint32_t& value) {
    BYTE data[4] = {};
    DWORD size = sizeof data;
    if (RegQueryValueExA(key, name, nullptr, nullptr, data, &size) != ERROR_SUCCESS) return false;
    value = static_cast<std::uint32_t>(data[0]) | static_cast<std::uint32_t>(data[1]) << 8 |
            static_cast<std::uint32_t>(data[2]) << 16 | static_cast<std::uint32_t>(data[3]) << 24;
    return true;
}

void WriteNumber(HKEY key, const char* name, std::uint32_t value) {
    const DWORD data = value;
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
}

bool ReadText(HKEY key, const char* name, std::size_t capacity, std::u16string& text) {
    if (IsNt()) {
        KORVANE_BIND(advapi32, RegQueryValueExW);
        if (!RegQueryValueExW_) return false;
        std::vector<wchar_t> data(capacity, L'\0');
        DWORD size = static_cast<DWORD>(capacity * sizeof(wchar_t));
        if (RegQueryValueExW_(key, AsWide(AsciiText(name)), nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()),
                              &size) != ERROR_SUCCESS)
            return false;
        if (size > capacity * sizeof(wchar_t)) return false;
        const std::u16string read = FromWide(data.data(), size / sizeof(wchar_t));
        if (read.size() >= capacity) return false;  // no room for its NUL
        text = read;
        return true;
    }
    std::vector<char> data(capacity, '\0');
    DWORD size = static_cast<DWORD>(capacity);
    if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS)
        return false;
    if (size > capacity) return false;
    const char* end = static_cast<const char*>(std::memchr(data.data(), '\0', size));
    const std::size_t length = end ? static_cast<std::size_t>(end - data.data()) : size;
    if (length >= capacity) return false;
    text = FromAnsi(std::string_view(data.data(), length));
    return true;
}

void WriteText(HKEY key, const char* name, const std::u16string& text) {
    if (IsNt()) {
        KORVANE_BIND(advapi32, RegSetValueExW);
        if (!RegSetValueExW_) return;
        // Up to the first NUL, and that NUL with it.
        const std::size_t length = std::u16string_view(text.c_str()).size();
        RegSetValueExW_(key, AsWide(AsciiText(name)), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>((length + 1) * sizeof(char16_t)));
        return;
    }
    const std::string ansi = ToAnsiShown(text);
    const char* data = ansi.c_str();
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data), static_cast<DWORD>(std::strlen(data) + 1));
}

namespace {

std::u16string Unquoted(std::u16string path) {
    if (path.size() >= 2 && path.front() == u'"' && path.back() == u'"') path = path.substr(1, path.size() - 2);
    return path;
}

std::u16string RegisteredPathWide(HKEY key) {
    KORVANE_BIND(advapi32, RegQueryValueExW);
    KORVANE_BIND(kernel32, ExpandEnvironmentStringsW);
    if (!RegQueryValueExW_ || !ExpandEnvironmentStringsW_) return std::u16string();
    wchar_t value[MAX_PATH + 1] = {};
    DWORD size = MAX_PATH * sizeof(wchar_t);  // room for a NUL the stored data may lack
    DWORD type = 0;
    if (RegQueryValueExW_(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS)
        return std::u16string();
    if (type != REG_SZ && type != REG_EXPAND_SZ) return std::u16string();
    std::u16string path = FromWide(value, size / sizeof(wchar_t));
    if (type == REG_EXPAND_SZ) {
        wchar_t expanded[MAX_PATH + 1] = {};
        const DWORD n = ExpandEnvironmentStringsW_(AsWide(path), expanded, MAX_PATH);
        path = n > 0 && n <= MAX_PATH ? FromWide(expanded, MAX_PATH) : std::u16string();
    }
    return Unquoted(path);
}

std::u16string RegisteredPathAnsi(HKEY key) {
    char value[MAX_PATH + 1] = {};
    DWORD size = MAX_PATH;
    DWORD type = 0;
    if (RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS)
        return std::u16string();
    if (type != REG_SZ && type != REG_EXPAND_SZ) return std::u16string();
    std::string path(value, strnlen(value, size));
    if (type == REG_EXPAND_SZ) {
        char expanded[MAX_PATH + 1] = {};
        const DWORD n = ExpandEnvironmentStringsA(path.c_str(), expanded, MAX_PATH);
        path = n > 0 && n <= MAX_PATH ? std::string(expanded) : std::string();
    }
    return Unquoted(FromAnsi(path));
}

}  // namespace

std::u16string RegisteredPath(const std::string& keyName) {
    UniqueKey key;
    if (!OpenKey(HKEY_CLASSES_ROOT, keyName.c_str(), KEY_QUERY_VALUE, key)) return std::u16string();
    return IsNt() ? RegisteredPathWide(key.Get()) : RegisteredPathAnsi(key.Get());
}

}  // namespace korvane
