// The shared test helpers: import patching and the handle count.
#if defined(_WIN32)
#include "tests/support/support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

kxtest::ImportPatch* activeLength = nullptr;

int WINAPI longerLength(LPCSTR text) { return activeLength->original<decltype(lstrlenA)>()(text) + 1000; }
DWORD WINAPI frozenTicks() { return 12345; }

// Calls through this program's own import table, not inlined into the test.
__attribute__((noinline)) int ownLength(const char* text) { return lstrlenA(text); }
__attribute__((noinline)) DWORD ownTicks() { return GetTickCount(); }

TEST(ImportPatch, ReplacesAnImportOfTheProgramItselfUntilDestroyed) {
    HMODULE self = GetModuleHandleA(nullptr);
    {
        // Lower-case DLL name: the match ignores case.
        KX_PATCH_IMPORT(ticks, self, "kernel32.dll", GetTickCount, frozenTicks);
        EXPECT_EQ(ownTicks(), 12345u);
        {
            KX_PATCH_IMPORT(length, self, "KERNEL32.dll", lstrlenA, longerLength);
            activeLength = &length;
            EXPECT_EQ(ownLength("abc"), 1003);
        }
        activeLength = nullptr;
        EXPECT_EQ(ownLength("abc"), 3);
        EXPECT_EQ(ownTicks(), 12345u);
    }
    EXPECT_NE(ownTicks(), 12345u);
}

TEST(ImportPatch, ReplacesAnImportOfALoadedLibrary) {
    HMODULE probe = LoadLibraryA(KX_PROBE_LIBRARY);
    ASSERT_NE(probe, nullptr);
    auto probeLength = reinterpret_cast<int (*)(const char*)>(reinterpret_cast<void*>(GetProcAddress(probe, "probeTextLength")));
    ASSERT_NE(probeLength, nullptr);
    {
        kxtest::ImportPatch length(probe, "Kernel32.DLL", "lstrlenA", longerLength);
        activeLength = &length;
        EXPECT_EQ(probeLength("abcd"), 1004);
        EXPECT_EQ(ownLength("abcd"), 4);  // the program's own table is untouched
    }
    activeLength = nullptr;
    EXPECT_EQ(probeLength("abcd"), 4);
    FreeLibrary(probe);
}

TEST(ImportPatch, FailsLoudlyOnAnImportThatIsNotThere) {
    HMODULE self = GetModuleHandleA(nullptr);
    EXPECT_TRUE(kxtest::ImportPatch::imports(self, "KERNEL32.DLL", "GetTickCount"));
    EXPECT_FALSE(kxtest::ImportPatch::imports(self, "KERNEL32.DLL", "NoSuchFunction"));
    EXPECT_FALSE(kxtest::ImportPatch::imports(self, "NOSUCH.dll", "GetTickCount"));
    try {
        kxtest::ImportPatch patch(self, "ADVAPI32.dll", "RegCreateKeyA", frozenTicks);
        ADD_FAILURE() << "a missing import was patched";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("does not import RegCreateKeyA by name from ADVAPI32.dll"),
                  std::string::npos)
            << error.what();
    }
}

TEST(OpenHandles, CountsHandlesAsTheyOpenAndClose) {
    const int before = kxtest::countOpenHandles();
    EXPECT_GT(before, 0);
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE other = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(event, nullptr);
    EXPECT_EQ(kxtest::countOpenHandles(), before + 2);
    const auto open = kxtest::openHandles();
    EXPECT_NE(std::find(open.begin(), open.end(), event), open.end());
    CloseHandle(event);
    CloseHandle(other);
    EXPECT_EQ(kxtest::countOpenHandles(), before);
}

}  // namespace
#endif
