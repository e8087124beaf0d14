// Windows error texts: real Wine texts, and FormatMessageA substituted where a text of a
// chosen length or shape is needed.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "jni/errors.h"
#include "jnihost/jnihost.h"
#include "tests/support/support.h"

namespace {

// The text the substituted FormatMessageA hands out; empty means "no text".
std::string g_systemText;

DWORD WINAPI fakeFormatMessageA(DWORD, LPCVOID, DWORD, DWORD, LPSTR buffer, DWORD, va_list*) {
    if (g_systemText.empty()) return 0;
    char* block = static_cast<char*>(LocalAlloc(LMEM_FIXED, g_systemText.size() + 1));
    std::memcpy(block, g_systemText.c_str(), g_systemText.size() + 1);
    *reinterpret_cast<char**>(buffer) = block;
    return static_cast<DWORD>(g_systemText.size());
}

class SubstitutedSystemText : public ::testing::Test {
protected:
    kxtest::ImportPatch patch{GetModuleHandleA(nullptr), "KERNEL32.dll", "FormatMessageA",
                              static_cast<decltype(&FormatMessageA)>(fakeFormatMessageA)};
    void TearDown() override { g_systemText.clear(); }
};

std::string format(DWORD code, int capacity = kSystemTextCapacity) {
    char area[kSystemTextCapacity];
    return formatWindowsError(code, area, capacity);
}

TEST(WindowsErrorText, RealSystemTexts) {
    EXPECT_EQ(format(5), "Access denied. (5=0x5)");
    EXPECT_EQ(format(2), "File not found. (2=0x2)");
    EXPECT_EQ(format(12345), "") << "a code without text gives the empty text";
}

TEST(WindowsErrorText, LastErrorOfTheCallingThread) {
    char area[kSystemTextCapacity];
    SetLastError(ERROR_ACCESS_DENIED);
    EXPECT_STREQ(formatLastError(area, sizeof area), "Access denied. (5=0x5)");
}

TEST_F(SubstitutedSystemText, HighCodesAreNegativeInDecimalAndEightDigitsInHex) {
    g_systemText = "Catastrophe.\r\n";
    EXPECT_EQ(format(0xFFFFFFFF), "Catastrophe. (-1=0xFFFFFFFF)");
    EXPECT_EQ(format(0x80070005), "Catastrophe. (-2147024891=0x80070005)");
}

TEST_F(SubstitutedSystemText, LineBreaksBecomeBlanksAndTheFinalOneGoes) {
    g_systemText = "First line.\r\nSecond\rline.\nEnd.\r\n";
    EXPECT_EQ(format(87), "First line.  Second line. End. (87=0x57)");
    g_systemText = "x";
    EXPECT_EQ(format(1), " (1=0x1)") << "a text shorter than its CR LF becomes empty";
}

TEST_F(SubstitutedSystemText, TextMustFitWithFourteenBytesToSpare) {
    g_systemText = std::string(496, 'a') + "\r\n";  // n = 498: 498 + 14 = 512
    const std::string formatted = format(5);
    EXPECT_EQ(formatted, std::string(496, 'a') + " (5=0x5)");
    g_systemText = std::string(497, 'a') + "\r\n";  // n = 499
    EXPECT_EQ(format(5), "");
}

TEST_F(SubstitutedSystemText, DigitsBeyondTheReserveAreCutNotOverrun) {
    g_systemText = std::string(40, 't') + "\r\n";  // n = 42, capacity exactly n + 14
    char area[64];
    std::memset(area, '#', sizeof area);
    formatWindowsError(0xFFFFFFFF, area, 56);  // its ten digits need 57 bytes
    EXPECT_EQ(std::strlen(area), 55u);
    for (size_t i = 56; i < sizeof area; ++i) EXPECT_EQ(area[i], '#') << "byte " << i << " written";
}

TEST_F(SubstitutedSystemText, WindowsErrorMessageIsCutAtItsArea) {
    jnihost::Host host;
    g_systemText = std::string(480, 's') + "\r\n";
    SetLastError(5);
    throwWindowsError(host.env(), std::string(300, 'c').c_str());
    ASSERT_TRUE(host.pending());
    const std::u16string message = host.exception().message();
    EXPECT_EQ(message.size(), static_cast<size_t>(kErrorTextCapacity - 1));
    EXPECT_EQ(message.substr(300, 19), u" : Windows error : ");
}

TEST_F(SubstitutedSystemText, WindowsErrorMessageEndsWithTheSeparatorWhenThereIsNoText) {
    jnihost::Host host;
    SetLastError(12345);
    throwWindowsError(host.env(), "Error getting windows directory");
    EXPECT_EQ(host.exception().message(), u"Error getting windows directory : Windows error : ");
}

}  // namespace
