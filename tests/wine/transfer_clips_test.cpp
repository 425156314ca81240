// The progress dialog's animation clips: their form, and that the system's
// animation control opens them (ours from Vista on, shell32's before).
#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "resources/resource.h"
#include "common/module.h"
#include "os/platform.h"
#include "transfer_driver.h"
#include "test_support.h"

using namespace testsupport;

namespace {

std::uint32_t U32(const std::string& bytes, std::size_t at) {
    std::uint32_t v = 0;
    if (at + 4 <= bytes.size()) std::memcpy(&v, bytes.data() + at, 4);
    return v;
}

// What the RIFF structure of one clip says.
struct ClipFacts {
    bool riff = false;
    std::uint32_t microSecondsPerFrame = 0, totalFrames = 0, streams = 0, width = 0, height = 0;
    std::string streamType, handler;
    std::uint32_t rate = 0, scale = 0;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = 99;
    int videoChunks = 0, otherChunks = 0;
};

void Walk(const std::string& b, std::size_t from, std::size_t to, ClipFacts& f) {
    while (from + 8 <= to) {
        const std::string id = b.substr(from, 4);
        const std::uint32_t size = U32(b, from + 4);
        const std::size_t data = from + 8;
        if (data + size > to) return;
        if (id == "LIST") {
            Walk(b, data + 4, data + size, f);
        } else if (id == "avih") {
            f.microSecondsPerFrame = U32(b, data);
            f.totalFrames = U32(b, data + 16);
            f.streams = U32(b, data + 24);
            f.width = U32(b, data + 32);
            f.height = U32(b, data + 36);
        } else if (id == "strh") {
            f.streamType = b.substr(data, 4);
            f.handler = b.substr(data + 4, 4);
            f.scale = U32(b, data + 20);
            f.rate = U32(b, data + 24);
        } else if (id == "strf") {
            std::memcpy(&f.bitCount, b.data() + data + 14, 2);
            f.compression = U32(b, data + 16);
        } else if (id.substr(2) == "dc" || id.substr(2) == "db") {
            ++f.videoChunks;
        } else if (id != "idx1" && id != "JUNK") {
            ++f.otherChunks;  // sound ("wb") or anything else
        }
        from = data + size + (size & 1);
    }
}

ClipFacts ReadClip(int id) {
    ClipFacts f;
    HRSRC found = FindResourceA(korvane::moduleInstance, MAKEINTRESOURCEA(id), "AVI");
    if (!found) return f;
    HGLOBAL loaded = LoadResource(korvane::moduleInstance, found);
    const char* data = static_cast<const char*>(LockResource(loaded));
    const std::string bytes(data, SizeofResource(korvane::moduleInstance, found));
    f.riff = bytes.substr(0, 4) == "RIFF" && bytes.substr(8, 4) == "AVI ";
    if (f.riff) Walk(bytes, 12, std::min<std::size_t>(bytes.size(), 8 + U32(bytes, 4)), f);
    return f;
}

struct AnimationWindow {
    HWND parent = nullptr, control = nullptr;
    AnimationWindow() {
        INITCOMMONCONTROLSEX init = {sizeof init, ICC_ANIMATE_CLASS};
        InitCommonControlsEx(&init);
        parent = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 300, 80, nullptr, nullptr, nullptr, nullptr);
        control = CreateWindowA(ANIMATE_CLASSA, "", WS_CHILD | WS_VISIBLE | ACS_TRANSPARENT, 0, 0, 272, 60, parent,
                                nullptr, nullptr, nullptr);
    }
    ~AnimationWindow() { DestroyWindow(parent); }
    bool Open(HINSTANCE module, int id) {
        return SendMessageA(control, ACM_OPENA, reinterpret_cast<WPARAM>(module),
                            reinterpret_cast<LPARAM>(MAKEINTRESOURCEA(id))) != 0;
    }
};

}  // namespace

TEST(TransferClips, BothClipsAreSilentEightBitRunLengthVideo) {
    const struct { int id; std::uint32_t frames; } clips[] = {{IDR_AVI_MOVE, 31}, {IDR_AVI_COPY, 20}};
    for (const auto& c : clips) {
        const ClipFacts f = ReadClip(c.id);
        ASSERT_TRUE(f.riff) << c.id;
        EXPECT_EQ(f.totalFrames, c.frames) << c.id;
        EXPECT_EQ(f.videoChunks, static_cast<int>(c.frames)) << c.id;
        EXPECT_EQ(f.otherChunks, 0) << c.id << ": no sound";
        EXPECT_EQ(f.streams, 1u) << c.id;
        EXPECT_EQ(f.streamType, "vids") << c.id;
        EXPECT_EQ(f.microSecondsPerFrame, 100000u) << c.id << ": 10 frames per second";
        EXPECT_EQ(f.rate / f.scale, 10u) << c.id;
        EXPECT_EQ(f.width, 272u) << c.id;
        EXPECT_EQ(f.height, 60u) << c.id;
        EXPECT_EQ(f.bitCount, 8) << c.id;
        EXPECT_EQ(f.compression, static_cast<std::uint32_t>(BI_RLE8)) << c.id;
    }
}

TEST(TransferClips, TheAnimationControlOpensTheClipsTheDialogUses) {
    AnimationWindow window;
    ASSERT_TRUE(window.control);
    EXPECT_TRUE(window.Open(korvane::moduleInstance, IDR_AVI_MOVE));
    EXPECT_TRUE(window.Open(korvane::moduleInstance, IDR_AVI_COPY));
    if (!korvane::IsWindowsVistaOrLater()) {
        HMODULE shell = LoadLibraryA("shell32.dll");
        EXPECT_TRUE(window.Open(shell, 160)) << "shell32's move clip";
        EXPECT_TRUE(window.Open(shell, 161)) << "shell32's copy clip";
        FreeLibrary(shell);
    }
}

// The progress dialog opens its clip on every system: a control without ACS_CENTER
// takes the size of the clip's frames when it opens one (ours are 272 x 60, Wine's
// shell32 clips 80 x 50), and keeps its template size (249 x 38 units) when it cannot.
TEST(TransferClips, TheProgressDialogOpensItsClip) {
    TempFolder src, dst;
    ASSERT_TRUE(WriteFileU(src / u"a.txt", "a"));
    const bool own = korvane::IsWindowsVistaOrLater();
    HMODULE shell = LoadLibraryA("shell32.dll");
    for (auto action : {korvane::kCopyToFolder, korvane::kMoveToFolder}) {
        SIZE want = {};
        {
            AnimationWindow reference;
            const int id = action == korvane::kMoveToFolder ? (own ? IDR_AVI_MOVE : 160) : (own ? IDR_AVI_COPY : 161);
            ASSERT_TRUE(reference.Open(own ? korvane::moduleInstance : shell, id));
            RECT r = {};
            GetClientRect(reference.control, &r);
            want = {r.right - r.left, r.bottom - r.top};
        }
        if (own) {
            EXPECT_EQ(want.cx, 272);
            EXPECT_EQ(want.cy, 60);
        }
        transferdriver::Transfer t(src.PathU(), {src / u"a.txt"}, dst.PathU(), action);
        RECT frame = {};
        t.driver.onProgress = [&](int, HWND dialog) { GetClientRect(GetDlgItem(dialog, IDC_PROGRESS_ANIMATION), &frame); };
        t.Run();
        EXPECT_EQ(frame.right - frame.left, want.cx) << action;
        EXPECT_EQ(frame.bottom - frame.top, want.cy) << action;
        if (action == korvane::kMoveToFolder) {
            ASSERT_TRUE(WriteFileU(src / u"a.txt", "a"));
        }
    }
    FreeLibrary(shell);
}
