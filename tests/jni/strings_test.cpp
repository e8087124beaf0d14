// String marshalling and exception raising, driven through the JNI host as a JVM would.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "jni/errors.h"
#include "jni/strings.h"
#include "jnihost/jnihost.h"

namespace {

struct Conversion {
    const char* name;
    std::u16string java;
    std::string ansi;       // javaToAnsi's bytes, without the terminator
    std::u16string back;    // ansiToJava of those bytes
};

class Strings : public ::testing::Test {
protected:
    jnihost::Host host;
    JNIEnv* env = host.env();
};

TEST_F(Strings, ConversionsKeepTheLowByteAndZeroExtendBack) {
    const Conversion table[] = {
        {"empty", u"", std::string(), u""},
        {"e acute", u"caf\u00e9", "caf\xE9", u"caf\u00e9"},
        {"euro loses its high byte", u"\u20ac", "\xAC", u"\u00ac"},
        {"L stroke loses its high byte", u"\u0141", "\x41", u"A"},
        {"0x80 is not a code page euro", u"\u0080", "\x80", u"\u0080"},
        {"0xFF", u"\u00ff", "\xFF", u"\u00ff"},
    };
    for (const Conversion& c : table) {
        SCOPED_TRACE(c.name);
        char* text = javaToAnsi(env, host.string(c.java));
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(std::string(text), c.ansi);
        EXPECT_EQ(text[c.ansi.size()], '\0');
        EXPECT_EQ(host.text(ansiToJava(env, text)), c.back);
        freeAnsi(env, text);
        EXPECT_EQ(host.pinnedStrings(), 0);
    }
}

TEST_F(Strings, EmbeddedNulEndsTheTextButTheBlockHoldsEveryUnit) {
    char* text = javaToAnsi(env, host.string(std::u16string(u"ab\0cd", 5)));
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "ab");
    EXPECT_EQ(std::memcmp(text, "ab\0cd\0", 6), 0);
    freeAnsi(env, text);
}

TEST_F(Strings, LongTextsConvertWhole) {
    const std::u16string java(100000, u'\u00e8');
    char* text = javaToAnsi(env, host.string(java));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::strlen(text), java.size());
    EXPECT_EQ(host.text(ansiToJava(env, text)), java);
    freeAnsi(env, text);
}

TEST_F(Strings, NullArgumentRaisesNullPointerExceptionNamingTheFirstNullParameter) {
    AnsiText present(env, host.string(u"x"), "keyPath");
    AnsiText missing(env, nullptr, "valueName");
    AnsiText alsoMissing(env, nullptr, "value");
    EXPECT_FALSE(requireAll(present, missing, alsoMissing));
    ASSERT_TRUE(host.pending());
    EXPECT_EQ(host.exception().className, "java/lang/NullPointerException");
    EXPECT_EQ(host.exception().message(), u"valueName is null");
}

TEST_F(Strings, AnsiTextReleasesItsCopy) {
    {
        AnsiText a(env, host.string(u"abc"), "a");
        ASSERT_TRUE(requireAll(a));
        EXPECT_STREQ(a, "abc");
    }
    EXPECT_EQ(host.pinnedStrings(), 0);
    EXPECT_FALSE(host.pending());
}

TEST_F(Strings, ExceptionMessageIsBuiltFromLatin1NotModifiedUtf8) {
    // Windows-1252 "é" followed by bytes that would also read as a UTF-8 sequence.
    throwJavaException(env, "ERREUR : cl\xE9 \xE9\xA9\xA9 \xC3\xA9");
    ASSERT_TRUE(host.pending());
    EXPECT_EQ(host.exception().className, "java/lang/Exception");
    EXPECT_FALSE(host.exception().thrownWithThrowNew);
    EXPECT_EQ(host.exception().message(), u"ERREUR : cl\u00e9 \u00e9\u00a9\u00a9 \u00c3\u00a9");
}

TEST_F(Strings, MissingExceptionClassLeavesTheVirtualMachinesError) {
    host.removeClass("java/lang/Exception");
    throwJavaException(env, "message");
    ASSERT_TRUE(host.pending());
    EXPECT_EQ(host.exception().className, "java/lang/NoClassDefFoundError");
}

}  // namespace
