// Under Wine's null display driver the diagnostic is a real modal box: it appears with its
// text and caption, has a single OK button, and the bridge goes on once it is closed.
//
// The box is found and closed from a thread timer, whose procedure the box's own modal loop
// runs: no second thread is needed (32-bit Wine under qemu-user does not survive two
// threads running at once), and a box that cannot be found is ended by WM_QUIT after a
// time limit, so the test cannot hang.
#include "tests/media/media_fixture.h"

#include "media/frame.h"

#include <windows.h>

#include <string>

namespace mediatest {
namespace {

constexpr UINT kTickMilliseconds = 50;
constexpr int kMaxTicks = 30000 / kTickMilliseconds;

struct SeenBox {
    bool found = false;
    bool timedOut = false;
    int ticks = 0;
    std::string caption, text;
    bool okButton = false, cancelButton = false;
};
SeenBox seen;

BOOL CALLBACK findDialog(HWND window, LPARAM found) {
    char name[16] = "";
    GetClassNameA(window, name, sizeof name);
    if (std::string(name) != "#32770") return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

void CALLBACK closeBox(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findDialog, reinterpret_cast<LPARAM>(&box));
    if (box == nullptr) {
        if (++seen.ticks < kMaxTicks) return;
        KillTimer(nullptr, timer);
        seen.timedOut = true;
        PostQuitMessage(0);  // ends whatever modal loop is running
        return;
    }
    KillTimer(nullptr, timer);
    char caption[64] = "";
    char text[512] = "";
    GetWindowTextA(box, caption, sizeof caption);
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    seen.found = true;
    seen.caption = caption;
    seen.text = text;
    HWND ok = GetDlgItem(box, IDOK);
    seen.okButton = ok != nullptr;
    seen.cancelButton = GetDlgItem(box, IDCANCEL) != nullptr;
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
}

using MessageBoxOnWine = MediaTest;

TEST_F(MessageBoxOnWine, AppearsWithTextAndCaptionAndClosesWithOk) {
    const jlong handle = matrix();
    host.removeClass(kExceptionClass);
    standinFailNext(7, -1);
    seen = SeenBox{};
    const UINT_PTR timer = SetTimer(nullptr, 0, kTickMilliseconds, closeBox);
    ASSERT_NE(timer, 0u);

    KX_NATIVE(library(), Java_kx_util_kxmedia_KXMediaNative_setMatrixInputConnection)(env(), cls(), handle, 0, 0, 0, 0, 1);

    KillTimer(nullptr, timer);
    MSG quit;
    PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    ASSERT_TRUE(seen.found) << (seen.timedOut ? "a modal loop ran without a box to close"
                                              : "no message box appeared (is the prefix's display driver the null driver?)");
    EXPECT_EQ(seen.caption, "Error");
    EXPECT_EQ(seen.text, "C_KX_MEDIA --  FindClass sur kx/util/kxmedia/KXMediaNativeException retourne null");
    EXPECT_TRUE(seen.okButton);
    EXPECT_FALSE(seen.cancelButton) << "a single OK button";
    EXPECT_EQ(takePending(), "java/lang/NoClassDefFoundError") << "the bridge went on after OK";
}

}  // namespace
}  // namespace mediatest
