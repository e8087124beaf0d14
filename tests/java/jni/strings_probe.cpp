// Test-only JNI library: exposes the string helpers and the exception raise to JUnit so that
// the real JVM shows what it makes of them.
#include <jni.h>

#include <cstdio>
#include <string>

#include "jni/errors.h"
#include "jni/strings.h"

namespace {

int hexValue(char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; }

// "e9e8" -> the bytes 0xE9 0xE8, zero-terminated.
std::string bytesFromHex(const char* hex) {
    std::string bytes;
    for (const char* c = hex; c[0] != '\0' && c[1] != '\0'; c += 2)
        bytes.push_back(static_cast<char>(hexValue(c[0]) * 16 + hexValue(c[1])));
    return bytes;
}

}  // namespace

extern "C" {

// The bytes of javaToAnsi's copy, terminator included, as lower-case hex.
JNIEXPORT jstring JNICALL Java_kx_test_StringsProbe_ansiBytes(JNIEnv* env, jclass, jstring value) {
    AnsiText text(env, value, "value");
    if (!requireAll(text)) return nullptr;
    std::string hex;
    char pair[3];
    const jsize length = env->GetStringLength(value);
    for (jsize i = 0; i <= length; ++i) {
        std::snprintf(pair, sizeof pair, "%02x", static_cast<unsigned char>(text.get()[i]));
        hex += pair;
    }
    return env->NewStringUTF(hex.c_str());
}

JNIEXPORT jstring JNICALL Java_kx_test_StringsProbe_fromAnsiBytes(JNIEnv* env, jclass, jstring hex) {
    AnsiText text(env, hex, "hex");
    if (!requireAll(text)) return nullptr;
    return ansiToJava(env, bytesFromHex(text).c_str());
}

JNIEXPORT jstring JNICALL Java_kx_test_StringsProbe_roundTrip(JNIEnv* env, jclass, jstring value) {
    AnsiText text(env, value, "value");
    if (!requireAll(text)) return nullptr;
    return ansiToJava(env, text);
}

JNIEXPORT void JNICALL Java_kx_test_StringsProbe_raise(JNIEnv* env, jclass, jstring hexMessage) {
    AnsiText text(env, hexMessage, "hexMessage");
    if (!requireAll(text)) return;
    throwJavaException(env, bytesFromHex(text).c_str());
}

}  // extern "C"
