#include <windows.h>

#include "common/module.h"
#include "common/unique_handle.h"
#include "os/registry.h"
#include "uninstall/removal.h"

namespace korvane {

namespace {

struct KeyToDelete {
    HKEY root;
    const char* parent;
    const char* subkey;
};

}  // namespace

std::u16string RegisteredLibrary() {
    return RegisteredPath(std::string("CLSID\\") + kClassIdText + "\\InprocServer32");
}

// RegDeleteKey deletes only keys without subkeys on NT: each key goes after the keys
// below it.
RegistrationRemoval RemoveRegistration() {
    const std::string classKey = std::string("CLSID\\") + kClassIdText;
    {
        UniqueKey key;
        if (OpenKey(HKEY_CLASSES_ROOT, classKey.c_str(), KEY_QUERY_VALUE, key)) {
            // A class key left without "InprocServer32" by an earlier, interrupted
            // removal is no sign of missing rights: carry on and finish the job.
            const LONG result = DeleteSubkey(HKEY_CLASSES_ROOT, classKey.c_str(), "InprocServer32");
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
