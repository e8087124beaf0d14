// A tiny native library of the test's own, loaded through jnihost::Library as a JVM would
// load one: KX_NATIVE finds its method by the prototype below, decorated on 32-bit Windows.
#pragma once

#include <jni.h>

extern "C" {
// Raises KXMediaNativeException(status) when status is nonzero; returns scale * count.
JNIEXPORT jfloat JNICALL Java_test_Probe_scale(JNIEnv* env, jclass cls, jint status, jlong count, jfloat scale);
}

#if defined(_WIN32)
// Calls kernel32's lstrlenA through this library's own import table.
extern "C" __declspec(dllexport) int probeTextLength(const char* text);
#endif
