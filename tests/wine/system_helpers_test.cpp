// The string loader, the version probes (one run per Windows version Wine reports)
// and the two placements with real dialogs on the test's display.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "common/module.h"
#include "os/placement.h"
#include "os/platform.h"
#include "os/ui_text.h"
#include "resource.h"

using namespace korvane;

namespace {

// ---------------------------------------------------------------- dialogs from memory

// A dialog template built in memory: a popup of the given size in dialog units,
// with push buttons at the given places.
class DialogTemplate {
public:
    struct Item { int id, x, y, cx, cy; };

    DialogTemplate(int cx, int cy, const std::vector<Item>& items) {
        PutDword(WS_POPUP | WS_BORDER | WS_VISIBLE);
        PutDword(0);
        Put(static_cast<WORD>(items.size()));
        Put(0), Put(0), Put(static_cast<WORD>(cx)), Put(static_cast<WORD>(cy));
        Put(0), Put(0), Put(0);  // no menu, the dialog class, no title
        for (const Item& item : items) {
            if (words_.size() % 2) Put(0);  // items start on a DWORD boundary
            PutDword(WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON);
            PutDword(0);
            Put(static_cast<WORD>(item.x)), Put(static_cast<WORD>(item.y));
            Put(static_cast<WORD>(item.cx)), Put(static_cast<WORD>(item.cy));
            Put(static_cast<WORD>(item.id));
            Put(0xFFFF), Put(0x0080);  // the button class
            Put(0);                    // no text
            Put(0);                    // no creation data
        }
    }
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    void Put(WORD w) { words_.push_back(w); }
    void PutDword(DWORD d) { Put(LOWORD(d)), Put(HIWORD(d)); }
    std::vector<WORD> words_;
};

INT_PTR CALLBACK QuietProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

// A modeless dialog destroyed with the object.
class Dialog {
public:
    Dialog(const DialogTemplate& tmpl, HWND owner = nullptr)
        : window_(CreateDialogIndirectParamA(moduleInstance, tmpl.Get(), owner, QuietProc, 0)) {}
    ~Dialog() {
        if (window_) DestroyWindow(window_);
    }
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;
    HWND Get() const { return window_; }

    void MoveTo(int x, int y) const { SetWindowPos(window_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER); }
    RECT Rect() const { return RectOf(window_); }
    static RECT RectOf(HWND w) {
        RECT r = {};
        GetWindowRect(w, &r);
        return r;
    }

private:
    HWND window_;
};

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

RECT WorkArea() {
    RECT r = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
    return r;
}

// Sets the work area for one test (as a taskbar on the left or top edge would) and
// puts the old one back.
class WorkAreaOverride {
public:
    explicit WorkAreaOverride(RECT area) : old_(WorkArea()) {
        if (!SystemParametersInfoA(SPI_SETWORKAREA, 0, &area, 0)) return;
        const RECT now = WorkArea();
        applied_ = EqualRect(&area, &now) != FALSE;
    }
    ~WorkAreaOverride() { SystemParametersInfoA(SPI_SETWORKAREA, 0, &old_, 0); }
    WorkAreaOverride(const WorkAreaOverride&) = delete;
    WorkAreaOverride& operator=(const WorkAreaOverride&) = delete;
    bool Applied() const { return applied_; }

private:
    RECT old_;
    bool applied_ = false;
};

void PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

std::string Version() {
    const char* v = std::getenv("KORVANE_WINE_VERSION");
    return v ? v : "win7";
}

}  // namespace

// ---------------------------------------------------------------- strings

TEST(SystemHelpers, LoadResourceString) {
    EXPECT_EQ(LoadResourceString(IDS_APP_CAPTION), u"Korvane");
    EXPECT_EQ(LoadResourceString(IDS_SIZE_UNIT), u" Bytes") << "leading blank kept";
    // UTF-16 on the NT family; through the code page on the 9x family, which holds
    // these characters in 932 only.
    if (IsNt() || GetACP() == 932) {
        EXPECT_EQ(LoadResourceString(IDS_SUMMARY_WILDCARD), u"ワイルドカード");
    }
    EXPECT_EQ(LoadResourceString(72), u"") << "an id the table skips";
    EXPECT_EQ(LoadResourceString(5000), u"") << "an id of no block";

    // 300 characters: cut to what the 260-unit limit leaves beside the NUL
    const std::u16string longText = LoadResourceString(900);
    ASSERT_FALSE(longText.empty());
    EXPECT_EQ(longText.size(), 259u);
    for (size_t i = 0; i < longText.size(); ++i) ASSERT_EQ(longText[i], static_cast<char16_t>(u'0' + i % 10)) << i;
}

// ---------------------------------------------------------------- version probes

TEST(SystemHelpers, VersionProbesFollowTheReportedVersion) {
    const struct { const char* version; bool nt, xp, vista, seven; } table[] = {
        {"win98", false, false, false, false},  // 9x family: platform 1
        {"win2k", true, false, false, false},   // NT 5.0 is older than XP
        {"winxp", true, true, false, false},    // NT 5.1
        {"winxp64", true, true, false, false},  // NT 5.2
        {"vista", true, true, true, false},     // NT 6.0
        {"win7", true, true, true, true},       // NT 6.1
        {"win8", true, true, true, true},       // NT 6.2
        {"win10", true, true, true, true},      // NT 6.2 for a program without a manifest
    };
    const std::string version = Version();
    for (const auto& row : table) {
        if (version != row.version) continue;
        EXPECT_EQ(IsNt(), row.nt) << version << ": the family decides between the W and the A functions";
        EXPECT_EQ(IsWindowsXpOrLater(), row.xp) << version;
        EXPECT_EQ(IsWindowsVistaOrLater(), row.vista) << version;
        EXPECT_EQ(IsWindows7OrLater(), row.seven) << version;
        return;
    }
    FAIL() << "no expectation for " << version;
}

// ---------------------------------------------------------------- CentreOverParent

TEST(SystemHelpers, DialogWithoutParentIsNotCentred) {
    Dialog dialog(DialogTemplate(120, 80, {}));
    ASSERT_TRUE(dialog.Get());
    ASSERT_EQ(GetParent(dialog.Get()), nullptr);
    dialog.MoveTo(1003, -17);
    const RECT before = dialog.Rect();
    CentreOverParent(dialog.Get());
    const RECT after = dialog.Rect();
    EXPECT_TRUE(EqualRect(&before, &after)) << after.left << "," << after.top;
}

TEST(SystemHelpers, CentreOverParentAndClamp) {
    const RECT work = WorkArea();
    // odd sizes, so that both halves truncate
    Dialog parent(DialogTemplate(301, 181, {}));
    ASSERT_TRUE(parent.Get());
    Dialog dialog(DialogTemplate(123, 77, {}), parent.Get());
    ASSERT_TRUE(dialog.Get());
    ASSERT_EQ(GetParent(dialog.Get()), parent.Get());
    const RECT p0 = parent.Rect(), d0 = dialog.Rect();
    const int pw = Width(p0), ph = Height(p0), w = Width(d0), h = Height(d0);
    ASSERT_LT(w, pw);
    ASSERT_GT(work.right, pw);

    const struct { const char* what; int px, py; int wantX, wantY; } cases[] = {
        {"inside", 200, 150, 200 + pw / 2 - w / 2, 150 + ph / 2 - h / 2},
        {"above and left of the screen", -pw + 10, -ph + 10, 0, 0},
        {"beyond the right and bottom", work.right - 20, work.bottom - 20, work.right - w, work.bottom - h},
        {"left edge only", -pw, 300, 0, 300 + ph / 2 - h / 2},
    };
    for (const auto& c : cases) {
        parent.MoveTo(c.px, c.py);
        dialog.MoveTo(7, 9);
        CentreOverParent(dialog.Get());
        const RECT r = dialog.Rect();
        EXPECT_EQ(r.left, c.wantX) << c.what;
        EXPECT_EQ(r.top, c.wantY) << c.what;
        EXPECT_EQ(Width(r), w) << c.what << ": the size stays";
        EXPECT_EQ(Height(r), h) << c.what;
    }
}

TEST(SystemHelpers, LowerBoundIsTheScreenOriginUpperTheWorkArea) {
    // a work area that starts right of and below the origin, as with a taskbar on the
    // left and at the top
    WorkAreaOverride area(RECT{200, 100, 1000, 700});
    if (!area.Applied()) GTEST_SKIP() << "this Wine does not take SPI_SETWORKAREA";

    Dialog parent(DialogTemplate(200, 120, {}));
    Dialog dialog(DialogTemplate(100, 60, {}), parent.Get());
    ASSERT_TRUE(parent.Get() && dialog.Get());
    const int w = Width(dialog.Rect()), h = Height(dialog.Rect());

    // over a parent at the origin the dialog may sit under the taskbar
    parent.MoveTo(-Width(parent.Rect()), -Height(parent.Rect()));
    CentreOverParent(dialog.Get());
    EXPECT_EQ(dialog.Rect().left, 0);
    EXPECT_EQ(dialog.Rect().top, 0);

    parent.MoveTo(1100, 800);
    CentreOverParent(dialog.Get());
    EXPECT_EQ(dialog.Rect().left, 1000 - w);
    EXPECT_EQ(dialog.Rect().top, 700 - h);

    SetCursorPos(5, 5);
    PlaceNearCursor(dialog.Get(), 0);
    EXPECT_EQ(dialog.Rect().left, 0);
    EXPECT_EQ(dialog.Rect().top, 0);
    SetCursorPos(1270, 1000);
    PlaceNearCursor(dialog.Get(), 0);
    EXPECT_EQ(dialog.Rect().left, 1000 - w);
    EXPECT_EQ(dialog.Rect().top, 700 - h);
}

TEST(SystemHelpers, OversizedDialogEndsFlushWithTheWorkArea) {
    WorkAreaOverride area(RECT{0, 0, 300, 200});
    if (!area.Applied()) GTEST_SKIP() << "this Wine does not take SPI_SETWORKAREA";
    Dialog parent(DialogTemplate(400, 300, {}));
    Dialog dialog(DialogTemplate(300, 200, {}), parent.Get());
    ASSERT_TRUE(parent.Get() && dialog.Get());
    const int w = Width(dialog.Rect()), h = Height(dialog.Rect());
    ASSERT_GT(w, 300);
    ASSERT_GT(h, 200);

    parent.MoveTo(0, 0);
    CentreOverParent(dialog.Get());
    EXPECT_EQ(dialog.Rect().right, 300);
    EXPECT_EQ(dialog.Rect().bottom, 200);

    SetCursorPos(10, 10);
    PlaceNearCursor(dialog.Get(), 0);
    EXPECT_EQ(dialog.Rect().right, 300);
    EXPECT_EQ(dialog.Rect().bottom, 200);
}

// ---------------------------------------------------------------- PlaceNearCursor

TEST(SystemHelpers, PlaceNearCursorPutsTheControlOrTheDialogUnderThePointer) {
    // the button sits off the dialog's centre, so that the two placements differ
    Dialog dialog(DialogTemplate(200, 120, {{IDOK, 140, 95, 51, 17}}));
    ASSERT_TRUE(dialog.Get());
    const HWND button = GetDlgItem(dialog.Get(), IDOK);
    ASSERT_TRUE(button);
    const int w = Width(dialog.Rect()), h = Height(dialog.Rect());
    const RECT b0 = Dialog::RectOf(button);
    const int bw = Width(b0), bh = Height(b0);

    const POINT cursor = {640, 500};
    ASSERT_TRUE(SetCursorPos(cursor.x, cursor.y));
    PumpMessages();
    POINT seen = {};
    GetCursorPos(&seen);
    ASSERT_EQ(seen.x, cursor.x);
    ASSERT_EQ(seen.y, cursor.y);

    dialog.MoveTo(3, 4);
    PlaceNearCursor(dialog.Get(), IDOK);
    const RECT b = Dialog::RectOf(button);
    EXPECT_EQ(b.left + bw / 2, cursor.x);
    EXPECT_EQ(b.top + bh / 2, cursor.y);
    EXPECT_EQ(Width(dialog.Rect()), w);

    // id 0, and an id no control has: the dialog's own centre
    for (int id : {0, 999}) {
        dialog.MoveTo(3, 4);
        PlaceNearCursor(dialog.Get(), id);
        const RECT d = dialog.Rect();
        EXPECT_EQ(d.left, cursor.x - w / 2) << id;
        EXPECT_EQ(d.top, cursor.y - h / 2) << id;
    }
}

TEST(SystemHelpers, PlaceNearCursorClampsToTheScreen) {
    const RECT work = WorkArea();
    Dialog dialog(DialogTemplate(200, 120, {{IDOK, 140, 95, 51, 17}}));
    ASSERT_TRUE(dialog.Get());
    const int w = Width(dialog.Rect()), h = Height(dialog.Rect());

    const struct { POINT cursor; int id; int wantX, wantY; } cases[] = {
        {{2, 3}, 0, 0, 0},
        {{2, 3}, IDOK, 0, 0},
        {{work.right - 1, work.bottom - 1}, 0, work.right - w, work.bottom - h},
        {{work.right - 1, 300}, IDOK, work.right - w, -1},  // y follows the button
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(SetCursorPos(c.cursor.x, c.cursor.y));
        PumpMessages();
        PlaceNearCursor(dialog.Get(), c.id);
        const RECT d = dialog.Rect();
        EXPECT_EQ(d.left, c.wantX) << c.cursor.x << "," << c.cursor.y << " id " << c.id;
        if (c.wantY >= 0) {
            EXPECT_EQ(d.top, c.wantY) << c.cursor.x << "," << c.cursor.y << " id " << c.id;
        } else {
            const RECT b = Dialog::RectOf(GetDlgItem(dialog.Get(), IDOK));
            EXPECT_EQ(b.top + Height(b) / 2, c.cursor.y);
        }
    }
}
