// The list view of Explorer's window before Windows XP: the item record and the text
// buffer lie in a shared mapping, which the 9x family maps at one address in every
// process, so the view can use the address this process sees.
#include <cstdio>
#include <cstring>

#include "common/unique_handle.h"
#include "explorer/view_items.h"
#include "shellext/shell_extension.h"

namespace korvane {

namespace {

constexpr DWORD kMappingSize = 4096;
// The text at offset 0, the record after it, at the record's own alignment (260 in
// the 32-bit build).
constexpr std::size_t kRecordOffset =
    (kItemTextCapacity + alignof(ViewItemRecord) - 1) / alignof(ViewItemRecord) * alignof(ViewItemRecord);
static_assert(kRecordOffset + sizeof(ViewItemRecord) <= kMappingSize, "the record fits the mapping");

// Each command gets a mapping of its own name, so that two commands at the same time,
// in one Explorer or in two, never write into each other's record. A name that
// already exists belongs to someone else and is passed over.
UniqueHandle CreateCommandMapping() {
    static LONG serial = 0;
    for (int attempt = 0; attempt < 16; ++attempt) {
        char name[64];
        std::snprintf(name, sizeof name, "Korvane.ListView.%lu.%ld", GetCurrentProcessId(),
                      InterlockedIncrement(&serial));
        UniqueHandle mapping(
            CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kMappingSize, name));
        if (!mapping || GetLastError() != ERROR_ALREADY_EXISTS) return mapping;
    }
    return UniqueHandle();
}

}  // namespace

void ShellExtension::SelectInViewShared(HWND view) {
    matchPaths.clear();
    matchSizes.clear();
    matchPathBytes = 0;
    leftOutNames.clear();
    try {
        UniqueHandle mapping = CreateCommandMapping();
        if (!mapping) return;
        UniqueMappedView shared(MapViewOfFile(mapping.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
        if (!shared) return;
        auto* const sharedText = static_cast<char*>(shared.Get());
        void* const sharedRecord = sharedText + kRecordOffset;
        const auto recordAddress = reinterpret_cast<LPARAM>(sharedRecord);

        TakenPaths taken;
        ViewItemWalk walk(view);
        int index = -1;
        while (walk.Next(index)) {
            ViewItemRecord record = {};
            record.mask = LVIF_TEXT;
            record.iItem = index;
            record.pszText = sharedText;
            record.cchTextMax = kItemTextCapacity;
            std::memcpy(sharedRecord, &record, sizeof record);
            // Cleared first: a view that answers without writing the text must not
            // hand on the previous item's name.
            std::memset(sharedText, 0, kItemTextCapacity);
            // The mapping is open to the view: its text is copied out and ended here.
            char text[kItemTextCapacity + 1] = {};
            if (SendMessageA(view, LVM_GETITEMA, 0, recordAddress)) std::memcpy(text, sharedText, kItemTextCapacity);
            text[kItemTextCapacity] = '\0';

            record.mask = LVIF_STATE;
            record.state = TakeViewItem(*this, text, taken);
            record.stateMask = LVIS_SELECTED;
            std::memcpy(sharedRecord, &record, sizeof record);
            SendMessageA(view, LVM_SETITEMA, 0, recordAddress);
        }
        RedrawViewItems(view);
        UpdateWindow(view);
    } catch (...) {
        matchPaths.clear();
        matchSizes.clear();
        matchPathBytes = 0;
    }
}

}  // namespace korvane
