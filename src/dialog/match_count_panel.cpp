#include "dialog/match_count_panel.h"

#include <memory>
#include <vector>

#include "common/com_apartment.h"
#include "common/text.h"
#include "common/unique_handle.h"
#include "dialog/combo_entry.h"
#include "dialog/entry_text.h"
#include "dialog/main_dialog.h"
#include "dialog/main_dialog_state.h"
#include "dialog/match_count.h"
#include "match/regular_expression.h"
#include "os/platform.h"
#include "os/ui_text.h"
#include "resources/resource.h"

namespace korvane {

namespace {

constexpr char kPanelProperty[] = "Korvane.MatchCount";
constexpr UINT_PTR kPauseTimer = 0x4B51;     // the typing has paused: count
constexpr UINT_PTR kProgressTimer = 0x4B52;  // show the running figure
constexpr UINT kPauseMs = 150;
constexpr UINT kProgressMs = 100;
constexpr UINT kCountDoneMessage = WM_APP + 0x4B;  // wParam: the count's tag; lParam: its result
// A cancelled count stops at its next folder or entry; one that does not within this
// time (a share that hangs, an expression that backtracks without end) is abandoned:
// its own module reference keeps the library loaded until it ends.
constexpr DWORD kCloseWaitMs = 200;

// "一致 %d 件" with the figure in place of %d.
std::u16string CountText(UINT id, long count) {
    std::u16string text = LoadResourceString(id);
    const std::size_t at = text.find(u"%d");
    if (at != std::u16string::npos) text.replace(at, 2, DecimalText(static_cast<std::uint64_t>(count < 0 ? 0 : count)));
    return text;
}

// What the command would act on with the dialog's entries as they stand: the view's
// items before Windows 7 in extension mode, the folder on disk otherwise, and the
// subfolders when a copy or move includes them.
MatchCountRequest RequestFromDialog(HWND dialog, const MainDialogState& state, WPARAM command) {
    MatchCountRequest request;
    request.pattern = ComboEntryText(dialog, IDC_MAIN_PATTERN, command);
    request.useRegex = state.settings.useRegex;
    request.folder = state.inputs.currentFolder;
    request.fromView = state.inputs.mode == kExtensionMode && !IsWindows7OrLater();
    request.view = request.fromView ? state.inputs.view : nullptr;
    const ActionKind action = ReadActionButtons(dialog);
    const bool toFolder = action == kCopyToFolder || action == kMoveToFolder;
    request.subfolders = toFolder && IsDlgButtonChecked(dialog, IDC_MAIN_SUBFOLDERS) == BST_CHECKED;
    request.collectPaths = action != kSelectOnly;
    // With subfolders the destination's own tree is left out, as the command leaves it.
    if (request.subfolders)
        request.destination = EffectiveDestination(ComboEntryText(dialog, IDC_MAIN_DESTINATION, command),
                                                   request.folder,
                                                   IsDlgButtonChecked(dialog, IDC_MAIN_APPEND_FOLDER) == BST_CHECKED);
    return request;
}

struct FontTraits {
    using Handle = HFONT;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { DeleteObject(h); }
};
using UniqueFont = Unique<FontTraits>;

class Panel {
public:
    explicit Panel(HWND dialog) : dialog_(dialog) {}

    void Want(const MatchCountRequest& request, bool afterPause) {
        if (haveWanted_ && request == wanted_) return;
        wanted_ = request;
        haveWanted_ = true;
        ++tag_;  // a result still on its way belongs to the old entries
        Retire();
        KillTimer(dialog_, kPauseTimer);
        KillTimer(dialog_, kProgressTimer);
        Show(std::u16string());
        if (wanted_.pattern.empty()) return;
        if (afterPause)
            SetTimer(dialog_, kPauseTimer, kPauseMs, nullptr);
        else
            Start();
    }

    void Start() {
        KillTimer(dialog_, kPauseTimer);
        current_ = std::make_unique<MatchCountWorker>(wanted_, dialog_, kCountDoneMessage, tag_);
        if (!current_->Started()) {
            current_.reset();
            return;
        }
        SetTimer(dialog_, kProgressTimer, kProgressMs, nullptr);
    }

    void ShowProgress() {
        if (current_) Show(CountText(IDS_MATCH_COUNTING, current_->Progress()));
    }

    void Done(WPARAM tag, LPARAM result) {
        if (tag != tag_ || !current_) return;
        KillTimer(dialog_, kProgressTimer);
        Retire();  // its thread is ending; the handle is closed once it has
        const long value = static_cast<long>(result);
        if (value >= 0)
            Show(CountText(IDS_MATCH_COUNT, value));
        else if (value == kCountRejected)
            Show(LoadResourceString(IDS_MATCH_REGEX_INVALID));
        else
            Show(std::u16string());
    }

    // The dialog is going: nothing is posted to it from here on, and every thread
    // it started is waited for, within a bound.
    void Close() noexcept {
        SendDlgItemMessageA(dialog_, IDC_MAIN_MATCH_COUNT, WM_SETFONT, SendMessageA(dialog_, WM_GETFONT, 0, 0), FALSE);
        KillTimer(dialog_, kPauseTimer);
        KillTimer(dialog_, kProgressTimer);
        if (current_) current_->Abandon();
        for (auto& worker : retired_) worker->Abandon();
        const DWORD start = GetTickCount();
        const auto waitFor = [&](MatchCountWorker& worker) {
            const DWORD elapsed = GetTickCount() - start;
            worker.Wait(elapsed < kCloseWaitMs ? kCloseWaitMs - elapsed : 0);
        };
        if (current_) waitFor(*current_);
        for (auto& worker : retired_) waitFor(*worker);
        current_.reset();
        retired_.clear();
    }

private:
    void Show(const std::u16string& text) {
        HWND control = GetDlgItem(dialog_, IDC_MAIN_MATCH_COUNT);
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(control, text)), FALSE);
        SetWindowTextOf(control, text);
    }

    // The dialog's font, or for a text wider than the control (the rejection, 13
    // full-width characters in a 98-unit field) the same face made small enough to
    // show it whole.
    HFONT FontFor(HWND control, const std::u16string& text) {
        const auto dialogFont = reinterpret_cast<HFONT>(SendMessageA(dialog_, WM_GETFONT, 0, 0));
        if (text.empty() || !dialogFont) return dialogFont;
        RECT room = {};
        GetClientRect(control, &room);
        const SIZE extent = TextExtent(control, dialogFont, text);
        if (extent.cx <= room.right || room.right <= 0) return dialogFont;
        if (!smallFont_) smallFont_.Reset(CreateShrunkFont(dialogFont, room.right, extent.cx));
        return smallFont_ ? smallFont_.Get() : dialogFont;
    }

    // The current count goes to the retired ones; those whose threads have ended are let go.
    void Retire() {
        if (current_) {
            current_->Abandon();
            retired_.push_back(std::move(current_));
        }
        std::vector<std::unique_ptr<MatchCountWorker>> running;
        for (auto& worker : retired_)
            if (!worker->Wait(0)) running.push_back(std::move(worker));
        retired_.swap(running);
    }

    HWND dialog_;
    MatchCountRequest wanted_;
    bool haveWanted_ = false;
    WPARAM tag_ = 0;
    std::unique_ptr<MatchCountWorker> current_;
    std::vector<std::unique_ptr<MatchCountWorker>> retired_;
    UniqueFont smallFont_;  // declared last: released after the control has its font back
};

Panel* FindPanel(HWND dialog) { return static_cast<Panel*>(GetPropA(dialog, kPanelProperty)); }

}  // namespace

void AttachMatchCount(HWND dialog, const MainDialogState& state) {
    auto panel = std::make_unique<Panel>(dialog);
    if (!SetPropA(dialog, kPanelProperty, panel.get())) return;
    Panel* attached = panel.release();
    attached->Want(RequestFromDialog(dialog, state, 0), false);
}

void UpdateMatchCount(HWND dialog, const MainDialogState& state, WPARAM command) {
    Panel* panel = FindPanel(dialog);
    if (!panel) return;
    // Every notification of the pattern and destination fields waits for the typing to pause; the
    // buttons and the settings count at once.
    const int id = LOWORD(command);
    panel->Want(RequestFromDialog(dialog, state, command), id == IDC_MAIN_PATTERN || id == IDC_MAIN_DESTINATION);
}

bool HandleMatchCountMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    Panel* panel = FindPanel(dialog);
    if (!panel) return false;
    switch (message) {
    case WM_TIMER:
        if (wParam == kPauseTimer) {
            panel->Start();
            return true;
        }
        if (wParam == kProgressTimer) {
            panel->ShowProgress();
            return true;
        }
        return false;
    case kCountDoneMessage:
        panel->Done(wParam, lParam);
        return true;
    case WM_DESTROY:
        RemovePropA(dialog, kPanelProperty);
        panel->Close();
        delete panel;
        return false;  // the dialog's own handling goes on
    default:
        return false;
    }
}

bool RefuseRejectedExpression(HWND dialog, const std::u16string& pattern) {
    std::u16string description;
    RegExpVerdict verdict;
    {
        const ComApartment apartment;
        verdict = CheckRegularExpression(pattern, &description);
    }
    if (verdict != RegExpVerdict::kRejected) return false;
    std::u16string text = LoadResourceString(IDS_REGEX_NOT_VALID);
    if (!description.empty()) text += u"\n\n" + description;
    ShowMessage(dialog, text, MB_ICONHAND);
    return true;
}

}  // namespace korvane
