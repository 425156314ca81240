// Drives the dialogs of a copy or move on the thread that runs it, without a second
// thread: a hook sees each dialog as its WM_INITDIALOG returns, records what it
// shows and answers it with a posted click, so every run is deterministic. The
// progress dialog is subclassed to see each WM_TRANSFER_PROGRESS after it was handled.
//
// KORVANE_SHOT_HOLD_MS=n keeps each dialog up for n ms (for screenshots).
#pragma once
#include <windows.h>

#include <array>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "transfer/progress_dialog.h"

namespace transferdriver {

enum class Answer { kYes, kNo, kYesToAll, kEscape };

struct ProgressStep {
    int position = 0;
    std::string text;
};

struct ProgressView {
    int shown = 0;
    HWND owner = nullptr;
    std::string caption;
    int rangeLow = -1, rangeHigh = -1;
    bool wasVisible = false;
    std::vector<ProgressStep> steps;
    // The run's own state as the results show: stopped before the end, and the
    // destination of the last file it came to.
    bool stopped = false;
    std::string lastDestination;
};

struct ResultsView {
    int shown = 0;
    HWND owner = nullptr;
    std::string caption;
    std::vector<std::string> headers;
    std::vector<int> widths;
    int listWidth = 0;  // window width of the list, as GetWindowRect gives it
    std::vector<std::array<std::string, 4>> rows;
};

class DialogDriver {
public:
    DialogDriver();
    ~DialogDriver();
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    // Answers to the overwrite questions, in order; a question beyond them is answered No.
    std::deque<Answer> answers;
    std::vector<std::string> questions;  // the text of every question asked
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

// Text of a UTF-8 literal in the ANSI code page (932 in these tests).
std::string Ansi(const char* utf8);
std::string WindowText(HWND window);

}  // namespace transferdriver
