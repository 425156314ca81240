#include "explorer/view_texts.h"

#include <cstring>

#include "common/unique_handle.h"
#include "explorer/remote_block.h"
#include "explorer/view_items.h"
#include "shellext/system_helpers.h"

namespace korvane {

namespace {

using ReadText = std::function<bool(int index, char* text)>;

void Walk(HWND view, const ReadText& read, const std::function<void(const char*)>& visit) {
    ViewItemWalk walk(view);
    int index = -1;
    while (walk.Next(index)) {
        char text[kItemTextCapacity + 1] = {};
        if (!read(index, text)) text[0] = '\0';
        text[kItemTextCapacity] = '\0';
        visit(text);
    }
}

ViewItemRecord TextRecord(int index, LPSTR buffer) {
    ViewItemRecord record = {};
    record.mask = LVIF_TEXT;
    record.iItem = index;
    record.pszText = buffer;
    record.cchTextMax = kItemTextCapacity;
    return record;
}

void WalkOwnView(HWND view, const std::function<void(const char*)>& visit) {
    Walk(
        view,
        [view](int index, char* text) {
            ViewItemRecord record = TextRecord(index, text);
            return SendMessageA(view, LVM_GETITEMTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&record)) > 0;
        },
        visit);
}

void WalkThroughProcessMemory(HWND view, DWORD processId, const std::function<void(const char*)>& visit) {
    UniqueHandle process(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
    if (!process) return;
    RemoteBlock remoteText(process.Get(), kItemTextCapacity + 1);
    if (!remoteText) return;
    RemoteBlock remoteRecord(process.Get(), sizeof(ViewItemRecord));
    if (!remoteRecord) return;
    Walk(
        view,
        [&](int index, char* text) {
            const ViewItemRecord record = TextRecord(index, static_cast<LPSTR>(remoteText.Address()));
            return remoteRecord.Write(&record, sizeof record) &&
                   SendMessageA(view, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(remoteRecord.Address())) &&
                   remoteText.Read(text, kItemTextCapacity);
        },
        visit);
}

// The 9x family maps every shared mapping at one address in all processes.
void WalkThroughSharedMapping(HWND view, const std::function<void(const char*)>& visit) {
    constexpr DWORD kSize = 4096;
    constexpr std::size_t kRecordOffset =
        (kItemTextCapacity + alignof(ViewItemRecord) - 1) / alignof(ViewItemRecord) * alignof(ViewItemRecord);
    static_assert(kRecordOffset + sizeof(ViewItemRecord) <= kSize, "the record fits the mapping");
    UniqueHandle mapping(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kSize, nullptr));
    if (!mapping) return;
    UniqueMappedView shared(MapViewOfFile(mapping.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
    if (!shared) return;
    auto* const sharedText = static_cast<char*>(shared.Get());
    void* const sharedRecord = sharedText + kRecordOffset;
    Walk(
        view,
        [&](int index, char* text) {
            const ViewItemRecord record = TextRecord(index, sharedText);
            std::memcpy(sharedRecord, &record, sizeof record);
            if (!SendMessageA(view, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(sharedRecord))) return false;
            std::memcpy(text, sharedText, kItemTextCapacity);
            return true;
        },
        visit);
}

}  // namespace

void ForEachViewItemText(HWND view, const std::function<void(const char* text)>& visit) {
    if (!view) return;
    DWORD processId = 0;
    GetWindowThreadProcessId(view, &processId);
    if (processId == GetCurrentProcessId())
        WalkOwnView(view, visit);
    else if (IsWindowsXpOrLater())
        WalkThroughProcessMemory(view, processId, visit);
    else
        WalkThroughSharedMapping(view, visit);
}

}  // namespace korvane
