// What the media tests share: KXMedia loaded as a JVM loads it, the JNI host, the stand-in
// engine's controls, a matrix per test, and watchers for the diagnostics and the heap blocks
// the bridge allocates.
#pragma once

#include "jnihost/jnihost.h"
#include "kx_util_kxmedia_KXMediaNative.h"
#include "media/engine.h"
#include "standin/control.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace mediatest {

// KXMedia as the JVM finds it (loaded once per program; the stand-in engine comes with it).
jnihost::Library& library();

// The engine's record of one call, matrix reference first.
std::vector<long long> argumentsOf(int ordinal);
std::string textOf(int ordinal);

// A Java result written out for comparison: "void", "null", "int -1", "float 0.5",
// "string \"Gain\"" (units above 0x7E as \uXXXX), "KXMediaNativeParamMinMax(-96, 12)".
std::string describe(jnihost::Host& host, jint value);
std::string describe(jnihost::Host& host, jfloat value);
std::string describe(jnihost::Host& host, jobject value);
std::string describeVoid();

// The diagnostics shown while it lives: on Windows the message boxes of KXMedia.dll and of
// the test program (their MessageBoxA imports are patched, so nothing is really shown); on
// Linux the lines written to standard error.
class DiagnosticWatch {
public:
    DiagnosticWatch();
    ~DiagnosticWatch();
    struct Box {
        std::string text, caption;
        unsigned style;
    };
    std::vector<Box> boxes();

private:
    struct Patches;
    std::unique_ptr<Patches> patches_;
};

// Heap blocks of the bridge (KXMedia.dll and the test program's own copy of the frame):
// whether the block at an address is still allocated. On Windows their malloc and free
// imports are tracked while it lives; on Linux AddressSanitizer knows.
class HeapWatch {
public:
    HeapWatch();
    ~HeapWatch();
    static bool available();
    bool allocated(long long address);

private:
    struct Patches;
    std::unique_ptr<Patches> patches_;
};

class MediaTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    JNIEnv* env() { return host.env(); }
    jclass cls() { return host.receiver(); }
    // A matrix of 4 inputs and 2 outputs, deleted after the test.
    jlong matrix();
    MatrixRef referenceOf(jlong handle);

    // The pending KXMediaNativeException's status; fails the test when another exception
    // or none is pending. Clears it.
    jint raisedStatus();
    // The pending exception's class, "" when none; clears it.
    std::string takePending();

    jnihost::Host host;
    std::vector<jlong> matrices;
};

}  // namespace mediatest
