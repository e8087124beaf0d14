// Under Wine's null display driver the diagnostic is a real modal box: it appears with its
// text and caption, has a single OK button, and the bridge goes on once it is closed.
#include "tests/media/media_fixture.h"

#include "media/frame.h"

#include <windows.h>

#include <string>

namespace mediatest {
namespace {

constexpr DWORD kWaitMilliseconds = 30000;

struct FailingCall {
    jnihost::Host* host;
    jlong handle;
};

DWORD WINAPI callFailingSetter(LPVOID parameter) {
    auto* call = static_cast<FailingCall*>(parameter);
    KX_NATIVE(library(), Java_kx_util_kxmedia_KXMediaNative_setMatrixInputConnection)(
        call->host->env(), call->host->receiver(), call->handle, 0, 0, 0, 0, 1);
    return 0;
}

BOOL CALLBACK findDialog(HWND window, LPARAM found) {
    char name[16] = "";
    GetClassNameA(window, name, sizeof name);
    if (std::string(name) != "#32770") return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

using MessageBoxOnWine = MediaTest;

TEST_F(MessageBoxOnWine, AppearsWithTextAndCaptionAndClosesWithOk) {
    FailingCall call{&host, matrix()};
    host.removeClass(kExceptionClass);
    standinFailNext(7, -1);

    DWORD threadId = 0;
    HANDLE worker = CreateThread(nullptr, 0, callFailingSetter, &call, 0, &threadId);
    ASSERT_NE(worker, nullptr);

    HWND box = nullptr;
    for (DWORD waited = 0; box == nullptr && waited < kWaitMilliseconds; waited += 50) {
        EnumThreadWindows(threadId, findDialog, reinterpret_cast<LPARAM>(&box));
        if (box == nullptr && WaitForSingleObject(worker, 50) == WAIT_OBJECT_0) break;  // returned without a box
    }
    if (box == nullptr) {
        if (WaitForSingleObject(worker, 0) != WAIT_OBJECT_0) TerminateThread(worker, 1);
        CloseHandle(worker);
        FAIL() << "no message box appeared (is the prefix's display driver the null driver?)";
    }

    char caption[64] = "";
    char text[512] = "";
    GetWindowTextA(box, caption, sizeof caption);
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    EXPECT_STREQ(caption, "Error");
    EXPECT_STREQ(text, "C_KX_MEDIA --  FindClass sur kx/util/kxmedia/KXMediaNativeException retourne null");
    HWND ok = GetDlgItem(box, IDOK);
    EXPECT_NE(ok, nullptr);
    EXPECT_EQ(GetDlgItem(box, IDCANCEL), nullptr) << "a single OK button";

    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
    const DWORD ended = WaitForSingleObject(worker, kWaitMilliseconds);
    if (ended != WAIT_OBJECT_0) TerminateThread(worker, 1);
    CloseHandle(worker);
    ASSERT_EQ(ended, WAIT_OBJECT_0) << "the call did not return after OK";
    EXPECT_EQ(takePending(), "java/lang/NoClassDefFoundError");
}

}  // namespace
}  // namespace mediatest
