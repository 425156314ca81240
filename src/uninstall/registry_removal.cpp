#include <windows.h>

#include <cstring>

#include "common/unique_handle.h"
#include "shellext/module.h"
#include "uninstall/removal.h"

namespace korvane {

namespace {

struct KeyToDelete {
    HKEY root;
    const char* parent;
    const char* subkey;
};

// RegDeleteKeyA deletes only keys without subkeys on NT: each key goes after the
// keys below it.
LONG DeleteSubkey(HKEY root, const std::string& parent, const char* subkey) {
    UniqueKey key;
    LONG result = RegOpenKeyExA(root, parent.c_str(), 0, KEY_QUERY_VALUE, key.Put());
    if (result != ERROR_SUCCESS) return result;
    return RegDeleteKeyA(key.Get(), subkey);
}

}  // namespace

std::string RegisteredLibrary() {
    UniqueKey key;
    const std::string serverKey = std::string("CLSID\\") + kClassIdText + "\\InprocServer32";
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, serverKey.c_str(), 0, KEY_QUERY_VALUE, key.Put()) != ERROR_SUCCESS)
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

RegistrationRemoval RemoveRegistration() {
    const std::string classKey = std::string("CLSID\\") + kClassIdText;
    {
        UniqueKey key;
        if (RegOpenKeyExA(HKEY_CLASSES_ROOT, classKey.c_str(), 0, KEY_QUERY_VALUE, key.Put()) == ERROR_SUCCESS) {
            // A class key left without "InprocServer32" by an earlier, interrupted
            // removal is no sign of missing rights: carry on and finish the job.
            LONG result = RegDeleteKeyA(key.Get(), "InprocServer32");
            if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND) return RegistrationRemoval::RightsMissing;
        }
    }
    const KeyToDelete rest[] = {
        {HKEY_CLASSES_ROOT, "CLSID", kClassIdText},
        {HKEY_CLASSES_ROOT, "*\\shellex\\ContextMenuHandlers", "Korvane"},
        {HKEY_CLASSES_ROOT, "Folder\\shellex\\ContextMenuHandlers", "Korvane"},
        {HKEY_CURRENT_USER, "Software\\Wendlock", "Korvane"},
        {HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall", "Korvane"},
    };
    for (const auto& k : rest) DeleteSubkey(k.root, k.parent, k.subkey);
    return RegistrationRemoval::Removed;
}

}  // namespace korvane
