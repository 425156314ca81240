// Drives the dialogs of a copy or move on the thread that runs it, without a second
// thread: a hook sees each dialog as its WM_INITDIALOG returns, records what it
// shows and answers it with a posted click, so every run is deterministic. The
// progress dialog is subclassed to see each WM_TRANSFER_PROGRESS after it was handled.
// Every text is read in UTF-16 (the W calls), so names outside the code page are
// recorded exactly as the dialogs show them.
//
// KORVANE_SHOT_HOLD_MS=n keeps each dialog up for n ms (for screenshots).
#pragma once
#include <windows.h>

#include <array>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "common/types.h"
#include "transfer/progress_dialog.h"
#include "transfer/transfer_job.h"

namespace transferdriver {

enum class Answer { kYes, kNo, kYesToAll, kEscape };

struct ProgressStep {
    int number = 0;    // the 1-based number of the file the dialog was told of
    int position = 0;  // the bar's position right after, in steps (kBarSteps a file)
    std::u16string text;
};

struct ProgressView {
    int shown = 0;
    HWND owner = nullptr;
    std::u16string caption;
    int rangeLow = -1, rangeHigh = -1;
    bool wasVisible = false;
    std::vector<ProgressStep> steps;
    // The run's own state as the results show: stopped before the end, and the
    // destination of the last file it came to.
    bool stopped = false;
    std::u16string lastDestination;
};

// One line of the results list: source folder, destination folder, name, result.
using ResultRow = std::array<std::u16string, 4>;

struct ResultsView {
    int shown = 0;
    HWND owner = nullptr;
    std::u16string caption;
    std::vector<std::u16string> headers;
    std::vector<int> widths;
    int listWidth = 0;  // window width of the list, as GetWindowRect gives it
    std::vector<ResultRow> rows;
};

class DialogDriver {
public:
    DialogDriver();
    ~DialogDriver();
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    // Answers to the overwrite questions, in order; a question beyond them is answered No.
    std::deque<Answer> answers;
    std::vector<std::u16string> questions;  // the text of every question asked
    std::vector<HWND> questionOwners;
    ProgressView progress;
    ResultsView results;
    // Called after the progress dialog handled file number `step` (1-based).
    std::function<void(int step, HWND dialog)> onProgress;

    // For the hook and the subclass.
    void DialogInitialised(HWND dialog);
    void ProgressHandled(HWND dialog, int step);

private:
    void Respond(HWND dialog, int buttonId);
    void PressEscape(HWND dialog);
    DialogDriver* previous_;
    const korvane::ProgressRun* run_ = nullptr;  // kept by the run until its results are shown
    HHOOK hook_ = nullptr;
    DWORD holdMs_ = 0;
};

std::u16string WindowText(HWND window);

// The file functions the engine reaches, as it calls them. The edge binds every W
// function through GetProcAddress on first use, so the program's import of
// GetProcAddress is redirected before main: CreateFileW, CopyFileW and MoveFileExW
// come back as recorders that log each call to the log in scope, then call the
// system's function.
struct FileCall {
    std::string function;
    std::u16string path;    // the file named first
    std::u16string second;  // the destination of a copy or move
    DWORD flags = 0;        // a move's flags
};

class FileCallLog {
public:
    FileCallLog();
    ~FileCallLog();
    FileCallLog(const FileCallLog&) = delete;
    FileCallLog& operator=(const FileCallLog&) = delete;
    // False when the redirection could not be made (then nothing is logged).
    static bool Available();
    std::vector<FileCall> calls;
    // Whether any call named a path ending in this text.
    bool Named(const std::u16string& ending) const;

private:
    FileCallLog* previous_;
};

// The result cells as the results list shows them.
inline const std::u16string kSucceeded = u"成功";
inline const std::u16string kFailed = u"失敗";
inline const std::u16string kFailedTooLong = u"失敗 (パスが長すぎます)";

inline ResultRow CopyRow(const std::u16string& from, const std::u16string& to, const std::u16string& name, bool ok) {
    return {from, to, name, ok ? kSucceeded : kFailed};
}

// One transfer: the current folder, its files (full paths, as the scans give them),
// the destination and the choices of the main dialog, run with a driver of its own.
struct Transfer {
    korvane::TransferJob job;
    DialogDriver driver;
    std::vector<korvane::TransferResult> returned;

    Transfer(const std::u16string& current, const std::vector<std::u16string>& files,
             const std::u16string& destination, korvane::ActionKind action = korvane::kCopyToFolder,
             korvane::SameFileAction same = korvane::kOverwriteAlways);
    // The files of the current folder that match pattern, as the folder scan lists them.
    void Scan(const std::u16string& pattern, bool subfolders = false);
    void Run(HWND owner = nullptr);
    const std::vector<ResultRow>& Rows() const { return driver.results.rows; }
    // The rows returned, in the form the results list shows them.
    std::vector<ResultRow> Returned() const;
};

}  // namespace transferdriver
