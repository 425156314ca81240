// Copy or move the matched files to the destination folder, one after another on
// Explorer's thread, with the modeless progress dialog serviced between files.
#include <windows.h>
#include <commctrl.h>

#include <unordered_set>

#include "common/module.h"
#include "match/folder_scan.h"
#include "match/match_name.h"
#include "common/path_text.h"
#include "os/files.h"
#include "os/message_pump.h"
#include "os/ui_text.h"
#include "resources/resource.h"
#include "transfer/destination_paths.h"
#include "transfer/destination_probe.h"
#include "transfer/folder_path.h"
#include "transfer/left_out.h"
#include "transfer/progress_dialog.h"
#include "transfer/results_dialog.h"
#include "transfer/same_name.h"
#include "transfer/transfer_engine.h"
#include "transfer/write_guard.h"

namespace korvane {

namespace {

// The progress dialog for the length of the loop. Its procedure lets go of the
// run's state before the window goes, so late messages find no object.
class ProgressWindow {
public:
    ProgressWindow(HWND owner, ProgressRun& run)
        : dialog_(CreateModelessDialog(IDD_PROGRESS, owner, ProgressDialogProc, reinterpret_cast<LPARAM>(&run))) {
        if (dialog_) ShowWindow(dialog_, SW_SHOW);
    }
    ~ProgressWindow() {
        if (dialog_ && IsWindow(dialog_)) {
            SetWindowLongPtrA(dialog_, DWLP_USER, 0);
            DestroyWindow(dialog_);
        }
    }
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;
    HWND Get() const { return dialog_; }
    // Gone when its owner was destroyed during a pump.
    bool Lost() const { return dialog_ && !IsWindow(dialog_); }

private:
    HWND dialog_;
};

// Explorer's window is disabled for the run, as under a modal dialog: closing it
// would destroy the progress dialog and the list view under the loop. It is
// enabled again before the progress dialog goes, so that the activation returns
// to it.
class DisabledOwner {
public:
    explicit DisabledOwner(HWND owner) {
        HWND top = owner;
        while (top && (GetWindowLongA(top, GWL_STYLE) & WS_CHILD)) top = GetParent(top);
        if (top && IsWindowEnabled(top)) {
            window_ = top;
            EnableWindow(window_, FALSE);
        }
    }
    ~DisabledOwner() {
        if (window_ && IsWindow(window_)) EnableWindow(window_, TRUE);
    }
    DisabledOwner(const DisabledOwner&) = delete;
    DisabledOwner& operator=(const DisabledOwner&) = delete;

private:
    HWND window_ = nullptr;
};

// The message pump runs when it matters, not for every file (a pump costs Wine
// about 50 us, a tenth of copying a small file): before the first file, whenever
// 15 ms have passed since it last ran, right after the dialog was told of a file
// (so that the name shows before the copy), and before every overwrite question.
// A click on the stop button is then noticed within one file plus 15 ms; as before,
// a stop seen in the pump before a file lets that file finish.
class PacedPump {
public:
    explicit PacedPump(const ProgressWindow& window) : window_(window) {}
    bool Due() const { return !ran_ || GetTickCount() - last_ >= kIntervalMs; }
    // False when the run must stop before the file: WM_QUIT came, or the window went.
    bool Run() {
        const bool goOn = PumpMessages(window_.Get()) && !window_.Lost();
        ran_ = true;
        last_ = GetTickCount();
        return goOn;
    }

private:
    static constexpr DWORD kIntervalMs = 15;
    const ProgressWindow& window_;
    bool ran_ = false;
    DWORD last_ = 0;
};

// The destination folders, created when missing. Files of one folder come one after
// another, so the folder last found is not looked up again. A folder this run made
// (remembered as spelt) holds nothing but what the run wrote there, and the write
// guard keeps the run off that: a file going there cannot exist yet nor be its own
// source, and is written without a probe, by the system's own rule that refuses to
// replace anything (see TransferOne).
class DestinationFolders {
public:
    void Ensure(const std::u16string& folder) {
        if (folder == lastFound_) return;
        if (AttributesOf(folder) != INVALID_FILE_ATTRIBUTES) {
            lastFound_ = folder;
            return;
        }
        for (std::u16string& level : CreateFolderPath(folder)) made_.insert(std::move(level));
        lastAsked_.clear();
    }
    bool MadeByRun(const std::u16string& folder) {
        if (folder != lastAsked_) {
            lastAsked_ = folder;
            lastMade_ = made_.count(folder) != 0;
        }
        return lastMade_;
    }

private:
    std::u16string lastFound_;
    std::u16string lastAsked_;
    bool lastMade_ = false;
    std::unordered_set<std::u16string> made_;
};

// Telling the dialog about a file costs Wine about half a millisecond (the text and
// the bar redraw at once): more than copying a small file, as much as copying one of
// 1 MiB from the cache; and nobody reads names that change a thousand times a
// second. So the dialog hears of the first and the last file, of one file every
// 40 ms, and of every file of 1 MiB or more whose copy may well last that long at
// the pace the run has kept so far: the bytes of the files before it over the time
// they took, with a tick of the coarse clock added so that early and uncertain
// paces make files seem slower. A size the scan did not give is looked up; one
// that cannot be found counts as long.
class ProgressPacer {
public:
    ProgressPacer(const std::vector<std::u16string>& paths, const std::vector<std::uint64_t>& sizes)
        : paths_(paths), sizes_(sizes), start_(GetTickCount()) {}
    bool Due(std::size_t index) {
        const DWORD now = GetTickCount();
        const std::uint64_t size = SizeOf(index);
        const bool due = index == 0 || index + 1 == paths_.size() || now - last_ >= kIntervalMs ||
                         LastsLong(size, now);
        if (size != kSizeUnknown) bytes_ += size;
        if (due) last_ = now;
        return due;
    }

private:
    static constexpr DWORD kIntervalMs = 40;
    static constexpr DWORD kClockStepMs = 16;
    static constexpr std::uint64_t kLargeBytes = 1u << 20;

    bool LastsLong(std::uint64_t size, DWORD now) const {
        if (size == kSizeUnknown) return true;
        if (size < kLargeBytes) return false;
        if (bytes_ == 0) return true;
        const double expectedMs =
            static_cast<double>(size) * static_cast<double>(now - start_ + kClockStepMs) / static_cast<double>(bytes_);
        return expectedMs >= kIntervalMs;
    }
    std::uint64_t SizeOf(std::size_t index) const {
        if (index < sizes_.size() && sizes_[index] != kSizeUnknown) return sizes_[index];
        std::uint64_t size = 0;
        return korvane::SizeOf(paths_[index], size) ? size : kSizeUnknown;
    }
    const std::vector<std::u16string>& paths_;
    const std::vector<std::uint64_t>& sizes_;
    const DWORD start_;
    DWORD last_ = 0;
    std::uint64_t bytes_ = 0;
};

// A move across volumes is a copy and a delete: with write-through the system
// removes the source only once the copy is on the disk. (A rename on one volume
// does not look at the flag.)
constexpr DWORD kMoveFlags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH;

bool Transfer(ActionKind action, const std::u16string& source, const std::u16string& destination, bool mayReplace) {
    if (action == kMoveToFolder)
        return MoveOneFile(source, destination,
                           mayReplace ? kMoveFlags : kMoveFlags & ~static_cast<DWORD>(MOVEFILE_REPLACE_EXISTING));
    return CopyOneFile(source, destination, mayReplace);
}

// A destination the system's functions cannot take without the "\\?\" form: the
// file's path, or the folder it goes to (which must leave room for a short name).
bool TooLong(const std::u16string& destination) {
    return destination.size() > kMaxPathUnits || ParentFolder(destination, false).size() > kMaxFolderUnits;
}

enum class Outcome { kRow, kNoRow, kStop };

// One file once the pump has run: kNoRow when the same-name step skipped it, kStop
// when the pump before the question saw the thread or the window end.
// mayWrite is the run's own guard (WriteGuard): a destination the run wrote
// already, or a source still waiting, gets a failed row and stays untouched.
Outcome TransferOne(ActionKind action, SameFileAction rule, const std::u16string& source,
                    const std::u16string& destination, bool mayWrite, bool& yesToAll, PacedPump& pump, HWND progress,
                    DestinationFolders& folders, TransferResult& row) {
    row.sourceFolder = ParentFolder(source, true);
    row.destinationFolder = ParentFolder(destination, true);
    row.fileName = LastPathComponent(source);
    row.succeeded = 0;
    // No destination (a source outside the current folder: never guessed), or the
    // guard says no: a failed row.
    if (destination.empty() || !mayWrite) return Outcome::kRow;
    // A path the system cannot take: no question, nothing tried.
    if (TooLong(destination) || source.size() > kMaxPathUnits) {
        row.reason = FailureReason::kPathTooLong;
        return Outcome::kRow;
    }
    // Into a folder this run made: nothing of that name can stand there, so there is
    // nothing to probe nor to ask about. The system refuses to replace anything all
    // the same; whatever makes that fail (something put there meanwhile, a vanished
    // source) takes the probed way below, as every other file does.
    if (folders.MadeByRun(ParentFolder(destination, false)) &&
        Transfer(action, source, destination, false)) {
        row.succeeded = 1;
        return Outcome::kRow;
    }
    const DestinationFacts target = ProbeDestination(source, destination);
    // Onto itself (the destination is the current folder, or another spelling or
    // link of the file): never opened for writing, never deleted, not asked about.
    if (target.sameAsSource) return Outcome::kRow;
    if ((rule == kAskBeforeOverwrite || rule == kOverwriteIfNewer) && !yesToAll) {
        // The stop button is looked at once more before a question comes up.
        if (rule == kAskBeforeOverwrite && (target.exists || target.undetermined) && !pump.Run())
            return Outcome::kStop;
        if (ResolveSameName(source, destination, target, rule, yesToAll, progress) == SameNameDecision::kSkip)
            return Outcome::kNoRow;
    }
    if (target.readOnly) return Outcome::kRow;
    if (!target.exists) folders.Ensure(ParentFolder(destination, false));
    row.succeeded = Transfer(action, source, destination, true) ? 1 : 0;
    return Outcome::kRow;
}

// The subfolder scan never enters the destination when it is the current folder or
// lies below it: what the run writes there would be listed too, and carried one
// level deeper (and on every later run one more). kLeaveOut gives the destination
// as the scan spells the folders below currentFolder; kNone says that the
// destination is the current folder itself, so that nothing below it is scanned.
enum class ScanPlan { kWhole, kLeaveOut, kNone };
ScanPlan PlanSubfolderScan(const std::u16string& currentFolder, const std::u16string& root,
                           std::u16string& leaveOut) {
    const std::u16string fullRoot = FullFolderPath(root);
    std::u16string rest;
    if (!LiesInside(FoldPathCase(fullRoot), FoldPathCase(FullFolderPath(currentFolder)), rest))
        return ScanPlan::kWhole;
    if (rest.empty()) return ScanPlan::kNone;
    // Folding keeps every byte in its place, so the folded rest stands for the same
    // bytes of the full path, whose long names are those the listing gives.
    leaveOut = currentFolder + fullRoot.substr(fullRoot.size() - rest.size());
    return ScanPlan::kLeaveOut;
}

}  // namespace

std::vector<TransferResult> RunTransfer(const TransferJob& job, HWND owner, HWND invoker) {
    std::vector<TransferResult> rows;
    try {
        const std::u16string root = StripTrailingBackslash(job.destinationFolder);
        // The whole list is known before the first window shows and the first file is written.
        MatchList matches = job.matches;
        if (job.includeSubfolders) {
            std::u16string leaveOut;
            if (PlanSubfolderScan(job.currentFolder, root, leaveOut) != ScanPlan::kNone)
                AppendMatches(matches,
                              ScanTree(job.currentFolder, PreparedPattern(job.pattern, job.useRegex), false, leaveOut));
        }
        const std::vector<std::u16string>& paths = matches.paths;
        // The dialogs' animation, progress bar and list: registered already in
        // Explorer, but not in every process that may load the extension.
        INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_ANIMATE_CLASS | ICC_PROGRESS_CLASS | ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&classes);
        ProgressRun run;
        run.action = job.action;
        run.fileCount = paths.size();
        {
            ProgressWindow progress(owner, run);
            // Without Explorer's list view, its window is reached through the
            // window the command came from.
            DisabledOwner disabled(owner ? owner : invoker);
            WriteGuard guard(job.currentFolder, root, paths);
            ProgressPacer pacer(paths, matches.sizes);
            PacedPump pump(progress);
            DestinationFolders folders;
            bool yesToAll = false;
            std::size_t counter = 1;
            // By index, and the path copied: the pump runs foreign code.
            for (std::size_t i = 0; i < paths.size(); ++i) {
                if (run.cancelRequested) break;
                const std::u16string source = paths[i];
                const std::u16string destination = DestinationPathFor(root, job.currentFolder, source);
                run.currentDestination = destination;
                bool shown = false;
                if (progress.Get() && pacer.Due(i)) {
                    PostMessageA(progress.Get(), WM_TRANSFER_PROGRESS, counter, 0);
                    shown = true;
                }
                ++counter;
                // The thread is ending or the window went: stop before this file.
                bool stop = (shown || pump.Due()) && !pump.Run();
                if (!stop) {
                    const WriteGuard::Keys keys = guard.KeysFor(source);
                    TransferResult row;
                    const Outcome outcome = TransferOne(job.action, job.sameFileAction, source, destination,
                                                        guard.MayWrite(keys), yesToAll, pump, progress.Get(), folders,
                                                        row);
                    stop = outcome == Outcome::kStop;
                    if (!stop) guard.Done(keys, outcome == Outcome::kRow && row.succeeded);
                    if (outcome == Outcome::kRow) rows.push_back(std::move(row));
                }
                if (stop) {
                    run.cancelRequested = true;
                    break;
                }
            }
            // The names the scans could not use: failed rows, nothing touched.
            for (TransferResult& row : LeftOutRows(matches.leftOut, root, job.currentFolder))
                rows.push_back(std::move(row));
        }
        const HWND resultsOwner = owner && IsWindow(owner) ? owner : nullptr;
        const ResultsShown shown{job.action, rows, matches.leftOut.size()};
        RunModalDialog(IDD_RESULTS, resultsOwner, ResultsDialogProc, reinterpret_cast<LPARAM>(&shown));
    } catch (...) {
    }
    return rows;
}

}  // namespace korvane
