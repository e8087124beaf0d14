// The main of every test program.
#include <gtest/gtest.h>

#if defined(_WIN32) && !defined(_WIN64)
#include <optional>

#include "tests/support/support.h"

namespace {
// gtest also sends every failure and skip report to OutputDebugStringA, which raises an SEH
// exception; 32-bit Wine under qemu-user does not survive that exception while winpthread's
// vectored handler is installed. The reports on standard output stay.
void WINAPI noDebugOutput(LPCSTR) {}
}  // namespace
#endif

int main(int argc, char** argv) {
#if defined(_WIN32) && !defined(_WIN64)
    const HMODULE program = GetModuleHandleA(nullptr);
    std::optional<kxtest::ImportPatch> quietDebugOutput;
    if (kxtest::ImportPatch::imports(program, "KERNEL32.dll", "OutputDebugStringA"))
        quietDebugOutput.emplace(program, "KERNEL32.dll", "OutputDebugStringA", &noDebugOutput);
#endif
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
