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
#include "match/collection.h"
#include "os/file_copy.h"
#include "transfer/background_collection.h"
#include "transfer/destination_paths.h"
#include "transfer/destination_probe.h"
#include "transfer/folder_path.h"
#include "transfer/left_out.h"
#include "transfer/progress_dialog.h"
#include "transfer/progress_window.h"
#include "transfer/results_dialog.h"
#include "transfer/same_name.h"
#include "transfer/transfer_engine.h"
#include "transfer/write_guard.h"

namespace korvane {

namespace {

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
    // A file whose bytes go with progress inside it: of large bytes or more, or of a
    // size nobody can tell.
    bool Large(std::size_t index, std::uint64_t large) const {
        const std::uint64_t size = SizeOf(index);
        return size == kSizeUnknown || size >= large;
    }
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

// A file of this size or more (or of an unknown size) is copied with progress inside
// it: at a disk's pace it lasts longer than the pump may wait. Smaller files go in
// one call, which costs nothing beyond the copy itself.
constexpr std::uint64_t kProgressBytes = 4u << 20;

// A move across volumes is a copy and a delete: with write-through the system
// removes the source only once the copy is on the disk. (A rename on one volume
// does not look at the flag.)
constexpr DWORD kMoveFlags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH;

// What the loop keeps for the files of one run.
struct RunState {
    const TransferJob& job;
    ProgressRun& run;
    ProgressWindow& progress;
    PacedPump& pump;
    DestinationFolders& folders;
    WriteGuard& guard;
    bool yesToAll = false;
};

enum class Moved { kDone, kFailed, kStopped, kSourceKept };

// One file's bytes. A small file goes in one call; a large one with the bar moving
// inside it, the pump running every 15 ms as between files, and the stop button
// ending it there: nothing of it stays at the destination and the source is whole.
Moved Transfer(RunState& state, std::size_t number, bool large, const std::u16string& source,
               const std::u16string& destination, bool mayReplace) {
    const bool move = state.job.action == kMoveToFolder;
    if (!large && !move) return CopyOneFile(source, destination, mayReplace) ? Moved::kDone : Moved::kFailed;
    bool stopped = false;
    const CopyProgress progress = [&](std::uint64_t done, std::uint64_t total) {
        if (!state.pump.Due()) return !state.run.cancelRequested;
        ShowBytes(state.progress.Get(), number, done, total);
        if (!state.pump.Run() || state.run.cancelRequested) {
            stopped = true;
            return false;
        }
        return true;
    };
    if (move) {
        const DWORD flags = mayReplace ? kMoveFlags : kMoveFlags & ~static_cast<DWORD>(MOVEFILE_REPLACE_EXISTING);
        switch (MoveWithProgress(source, destination, flags, large ? progress : CopyProgress())) {
        case MoveOutcome::kDone: return Moved::kDone;
        case MoveOutcome::kStopped: return Moved::kStopped;
        case MoveOutcome::kSourceKept: return Moved::kSourceKept;
        default: return stopped ? Moved::kStopped : Moved::kFailed;
        }
    }
    switch (CopyWithProgress(source, destination, mayReplace, progress)) {
    case CopyOutcome::kDone: return Moved::kDone;
    case CopyOutcome::kStopped: return Moved::kStopped;
    default: return stopped ? Moved::kStopped : Moved::kFailed;
    }
}

// The row of a file whose bytes went, or did not.
void Record(Moved moved, TransferResult& row, ProgressRun& run) {
    row.succeeded = moved == Moved::kDone ? 1 : 0;
    if (moved == Moved::kStopped) {
        row.reason = FailureReason::kStopped;
        run.cancelRequested = true;
    } else if (moved == Moved::kSourceKept) {
        row.reason = FailureReason::kSourceKept;
    }
}

// A destination the system's functions cannot take without the "\\?\" form: the
// file's path, or the folder it goes to (which must leave room for a short name).
bool TooLong(const std::u16string& destination) {
    return destination.size() > kMaxPathUnits || ParentFolder(destination, false).size() > kMaxFolderUnits;
}

enum class Outcome { kRow, kNoRow, kStop };

// One file once the pump has run: kNoRow when the user chose to skip it (No, or a
// newer destination under "if newer"), kStop when the pump before the question saw
// the thread or the window end. Every file not transferred for another reason gets a
// failed row: the guard's refusal (a destination the run wrote already, or a source
// still waiting, under any spelling), a destination the system cannot use, a source
// that vanished, a destination time that cannot be read under "if newer".
Outcome TransferOne(RunState& state, std::size_t number, bool large, const std::u16string& source,
                    const std::u16string& destination, bool mayWrite, TransferResult& row) {
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
    // the same; whatever makes that fail (something put there meanwhile, a short name
    // that names a file written before, a vanished source) takes the probed way
    // below, as every other file does.
    if (state.folders.MadeByRun(ParentFolder(destination, false))) {
        const Moved moved = Transfer(state, number, large, source, destination, false);
        if (moved != Moved::kFailed) {
            Record(moved, row, state.run);
            return Outcome::kRow;
        }
    }
    const DestinationFacts target = ProbeDestination(source, destination);
    // Onto itself (the destination is the current folder, or another spelling or
    // link of the file): never opened for writing, never deleted, not asked about.
    if (target.sameAsSource) return Outcome::kRow;
    // A file of the run under another spelling: one written before, or one waiting.
    if (target.identified && !state.guard.MayReplace(target.index, destination)) return Outcome::kRow;
    // Drive not ready, network path gone: nothing to ask about.
    if (target.unusable) return Outcome::kRow;
    const SameFileAction rule = state.job.sameFileAction;
    if ((rule == kAskBeforeOverwrite || rule == kOverwriteIfNewer) && !state.yesToAll) {
        // The stop button is looked at once more before a question comes up.
        if (rule == kAskBeforeOverwrite && (target.exists || target.undetermined) && !state.pump.Run())
            return Outcome::kStop;
        switch (ResolveSameName(source, destination, target, rule, state.yesToAll, state.progress.Get())) {
        case SameNameDecision::kSkip: return Outcome::kNoRow;
        case SameNameDecision::kFail: return Outcome::kRow;
        case SameNameDecision::kTransfer: break;
        }
    }
    if (target.readOnly) return Outcome::kRow;
    if (!target.exists) state.folders.Ensure(ParentFolder(destination, false));
    Record(Transfer(state, number, large, source, destination, true), row, state.run);
    return Outcome::kRow;
}

}  // namespace

std::vector<TransferResult> RunTransfer(const TransferJob& job, HWND owner, HWND invoker) {
    std::vector<TransferResult> rows;
    try {
        const std::u16string root = StripTrailingBackslash(job.destinationFolder);
        // The dialogs' animation, progress bar and list: registered already in
        // Explorer, but not in every process that may load the extension.
        INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_ANIMATE_CLASS | ICC_PROGRESS_CLASS | ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&classes);
        MatchList matches = job.matches;
        ProgressRun run;
        run.action = job.action;
        run.fileCount = matches.paths.size();
        {
            ProgressWindow progress(owner, run);
            // Without Explorer's list view, its window is reached through the
            // window the command came from.
            DisabledOwner disabled(owner ? owner : invoker);
            PacedPump pump(progress);
            // The whole list is known before the first file is written, so that
            // nothing the run writes is listed again. It is looked for off this
            // thread; a stop meanwhile ends the run with nothing transferred.
            if (job.collectHere || job.includeSubfolders) {
                DiskRequest request;
                request.folder = job.currentFolder;
                request.here = job.collectHere;
                request.below = job.includeSubfolders;
                request.destination = root;
                if (!CollectInBackground(request, {job.pattern, job.useRegex}, progress, pump, run, matches))
                    return rows;
                run.fileCount = matches.paths.size();
                ShowFileCount(progress.Get(), run);
            }
            const std::vector<std::u16string>& paths = matches.paths;
            WriteGuard guard(job.currentFolder, root, paths);
            ProgressPacer pacer(paths, matches.sizes);
            DestinationFolders folders;
            RunState state{job, run, progress, pump, folders, guard};
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
                const std::size_t number = counter++;
                // The thread is ending or the window went: stop before this file.
                bool stop = (shown || pump.Due()) && !pump.Run();
                if (!stop) {
                    const WriteGuard::Keys keys = guard.KeysFor(source);
                    TransferResult row;
                    const Outcome outcome = TransferOne(state, number, pacer.Large(i, kProgressBytes), source,
                                                        destination, guard.MayWrite(keys), row);
                    stop = outcome == Outcome::kStop;
                    if (!stop) guard.Done(keys, outcome == Outcome::kRow && row.succeeded, destination);
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
        const ResultsShown shown{job.action, rows, matches.leftOut.size(), matches.linkedFolders};
        RunModalDialog(IDD_RESULTS, resultsOwner, ResultsDialogProc, reinterpret_cast<LPARAM>(&shown));
    } catch (...) {
    }
    return rows;
}

}  // namespace korvane
