// Everything in which the three transports differ lies in this file: where the record
// and the text buffer are, how they are written and read, and which messages carry
// them. The loop itself is written once, at the end.
#include "os/view_item_loop.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "common/unique_handle.h"
#include "os/ansi.h"
#include "os/platform.h"
#include "os/remote_block.h"

namespace korvane {

ViewItemWalk::ViewItemWalk(HWND view) noexcept
    : view_(view), left_(static_cast<int>(SendMessageA(view, LVM_GETITEMCOUNT, 0, 0))) {}

bool ViewItemWalk::Next(int& index) noexcept {
    if (left_ <= 0) return false;
    --left_;
    const int next = static_cast<int>(SendMessageA(view_, LVM_GETNEXTITEM, static_cast<WPARAM>(previous_),
                                                   MAKELPARAM(LVNI_ALL, 0)));
    if (next <= previous_) return false;
    index = previous_ = next;
    return true;
}

void RedrawViewItems(HWND view) noexcept {
    // The last index, not the count: the control refuses a range that ends past its
    // items. An empty view is asked for (0, 0), which it ignores.
    const int count = static_cast<int>(SendMessageA(view, LVM_GETITEMCOUNT, 0, 0));
    SendMessageA(view, LVM_REDRAWITEMS, 0, count > 0 ? count - 1 : 0);
}

namespace {

// In memory of this process the text lies at offset 0 and the record after it, at
// the record's own alignment.
constexpr DWORD kLocalSize = 4096;
constexpr std::size_t kRecordOffset =
    (kItemTextBytes + alignof(ViewItemRecord) - 1) / alignof(ViewItemRecord) * alignof(ViewItemRecord);
static_assert(kRecordOffset + sizeof(ViewItemRecord) <= kLocalSize, "the record fits the mapping");

// The record and the text buffer as the view reaches them.
class ItemMemory {
public:
    virtual ~ItemMemory() = default;
    void* textForView = nullptr;  // the buffer's address as the view sees it
    LPARAM recordForView = 0;     // the record's
    virtual bool ClearText() = 0;
    virtual bool PutRecord(const ViewItemRecord& record) = 0;
    virtual bool TakeText(void* text) = 0;  // kItemTextBytes bytes
};

// Blocks allocated in the view's process, copied across. Declared in this order so
// that the record is released first, then the text, then the process handle closed.
class ProcessBlocks final : public ItemMemory {
public:
    explicit ProcessBlocks(UniqueHandle process)
        : process_(std::move(process)),
          text_(process_.Get(), kItemTextBytes),
          record_(process_.Get(), sizeof(ViewItemRecord)) {
        textForView = text_.Address();
        recordForView = reinterpret_cast<LPARAM>(record_.Address());
    }
    bool Usable() const { return text_ && record_; }
    bool ClearText() override {
        static const char blank[kItemTextBytes] = {};
        return text_.Write(blank, sizeof blank);
    }
    bool PutRecord(const ViewItemRecord& record) override { return record_.Write(&record, sizeof record); }
    bool TakeText(void* text) override { return text_.Read(text, kItemTextBytes); }

private:
    UniqueHandle process_;
    RemoteBlock text_;
    RemoteBlock record_;
};

// Memory of this process that the view uses at the same address: a buffer of ours
// when the view is ours, or a shared mapping, which the 9x family maps at one
// address in every process.
class LocalMemory final : public ItemMemory {
public:
    // A buffer of ours.
    LocalMemory() : own_(std::make_unique<char[]>(kLocalSize)) { Place(own_.get()); }
    // A view of the mapping, when one can be made.
    explicit LocalMemory(UniqueHandle mapping) : mapping_(std::move(mapping)) {
        if (mapping_) shared_.Reset(MapViewOfFile(mapping_.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
        if (shared_) Place(shared_.Get());
    }
    bool Usable() const { return textForView != nullptr; }
    bool ClearText() override {
        std::memset(textForView, 0, kItemTextBytes);
        return true;
    }
    bool PutRecord(const ViewItemRecord& record) override {
        std::memcpy(record_, &record, sizeof record);
        return true;
    }
    bool TakeText(void* text) override {
        std::memcpy(text, textForView, kItemTextBytes);
        return true;
    }

private:
    void Place(void* base) {
        textForView = base;
        record_ = static_cast<char*>(base) + kRecordOffset;
        recordForView = reinterpret_cast<LPARAM>(record_);
    }

    std::unique_ptr<char[]> own_;
    UniqueHandle mapping_;
    UniqueMappedView shared_;  // unmapped before the mapping closes
    void* record_ = nullptr;
};

// Each command gets a mapping of its own name, so that two commands at the same time,
// in one Explorer or in two, never write into each other's record. A name that
// already exists belongs to someone else and is passed over.
UniqueHandle CreateCommandMapping() {
    static LONG serial = 0;
    for (int attempt = 0; attempt < 16; ++attempt) {
        char name[64];
        std::snprintf(name, sizeof name, "Korvane.ListView.%lu.%ld", GetCurrentProcessId(),
                      InterlockedIncrement(&serial));
        UniqueHandle mapping(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kLocalSize, name));
        if (!mapping || GetLastError() != ERROR_ALREADY_EXISTS) return mapping;
    }
    return UniqueHandle();
}

// Null when the memory cannot be had.
std::unique_ptr<ItemMemory> OpenMemory(HWND view, ViewTransport transport) {
    if (transport == ViewTransport::kProcessBlocks) {
        DWORD processId = 0;
        GetWindowThreadProcessId(view, &processId);
        UniqueHandle process(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
        if (!process) return nullptr;
        auto blocks = std::make_unique<ProcessBlocks>(std::move(process));
        if (!blocks->Usable()) return nullptr;
        return blocks;
    }
    if (transport == ViewTransport::kOwnProcess) return std::make_unique<LocalMemory>();
    auto shared = std::make_unique<LocalMemory>(CreateCommandMapping());
    if (!shared->Usable()) return nullptr;
    return shared;
}

struct ItemMessages {
    UINT read;               // asks for the text
    UINT select;             // sets the selection state
    bool updateAfterRedraw;  // the view is painted before the command goes on
};

// The view of our own process is asked for the text alone; the views of the systems
// before Windows XP take the whole item record for the state, and are painted at
// once. The list view's own messages are not translated by the system, so the W
// messages go through SendMessageA as well: the message number alone says which
// character set the view writes.
ItemMessages MessagesFor(ViewTransport transport, bool wide) {
    switch (transport) {
    case ViewTransport::kOwnProcess:
        return {wide ? UINT{LVM_GETITEMTEXTW} : UINT{LVM_GETITEMTEXTA}, LVM_SETITEMSTATE, false};
    case ViewTransport::kProcessBlocks:
        return {wide ? UINT{LVM_GETITEMW} : UINT{LVM_GETITEMA}, LVM_SETITEMSTATE, false};
    default:
        return {wide ? UINT{LVM_GETITEMW} : UINT{LVM_GETITEMA}, wide ? UINT{LVM_SETITEMW} : UINT{LVM_SETITEMA}, true};
    }
}

// LVM_GETITEM and LVM_SETITEM find the item in the record; the others take its index.
WPARAM ItemParameter(UINT message, int index) {
    const bool inRecord =
        message == LVM_GETITEMA || message == LVM_GETITEMW || message == LVM_SETITEMA || message == LVM_SETITEMW;
    return inRecord ? 0 : static_cast<WPARAM>(index);
}

// The text the buffer holds, as far as its first NUL and never past its capacity.
std::u16string TextOf(const char16_t (&buffer)[kItemTextCapacity + 1], bool wide) {
    if (wide) return std::u16string(buffer, std::char_traits<char16_t>::length(buffer));
    const char* bytes = reinterpret_cast<const char*>(buffer);
    return FromAnsi(std::string_view(bytes, strnlen(bytes, kItemTextCapacity)));
}

}  // namespace

void ForEachViewItem(HWND view, ViewTransport transport, bool select, const ViewItemDecision& decide) {
    const std::unique_ptr<ItemMemory> memory = OpenMemory(view, transport);
    if (!memory) return;
    const bool wide = IsNt();
    const ItemMessages messages = MessagesFor(transport, wide);
    ViewItemWalk walk(view);
    int index = -1;
    while (walk.Next(index)) {
        ViewItemRecord record = {};
        record.mask = LVIF_TEXT;
        record.iItem = index;
        record.pszText = memory->textForView;
        record.cchTextMax = kItemTextCapacity;
        // An item the view does not answer for, or answers without writing the text,
        // is read as empty, never as the previous item's name left in the buffer: the
        // buffer is cleared before each request.
        char16_t text[kItemTextCapacity + 1] = {};
        static_assert(sizeof text == kItemTextBytes, "the local copy holds the whole buffer");
        const bool read = memory->ClearText() && memory->PutRecord(record) &&
                          SendMessageA(view, messages.read, ItemParameter(messages.read, index),
                                       memory->recordForView) != 0 &&
                          memory->TakeText(text);
        if (!read) text[0] = u'\0';
        text[kItemTextCapacity] = u'\0';
        const UINT state = decide(TextOf(text, wide));
        if (!select) continue;
        // LVIS_FOCUSED stays out of the mask: the focused item is left as it was.
        record.mask = LVIF_STATE;
        record.state = state;
        record.stateMask = LVIS_SELECTED;
        if (memory->PutRecord(record))
            SendMessageA(view, messages.select, ItemParameter(messages.select, index), memory->recordForView);
    }
    if (select) {
        RedrawViewItems(view);
        if (messages.updateAfterRedraw) UpdateWindow(view);
    }
}

ViewTransport TransportFor(HWND view) {
    DWORD processId = 0;
    GetWindowThreadProcessId(view, &processId);
    if (processId == GetCurrentProcessId()) return ViewTransport::kOwnProcess;
    return IsWindowsXpOrLater() ? ViewTransport::kProcessBlocks : ViewTransport::kSharedMapping;
}

}  // namespace korvane
