#include "tests/jnihost/probe.h"

extern "C" JNIEXPORT jfloat JNICALL Java_test_Probe_scale(JNIEnv* env, jclass, jint status, jlong count, jfloat scale) {
    if (status != 0) {
        jclass cls = env->FindClass("kx/util/kxmedia/KXMediaNativeException");
        if (cls == nullptr) return 0;
        jmethodID constructor = env->GetMethodID(cls, "<init>", "(I)V");
        if (constructor == nullptr) return 0;
        env->Throw(static_cast<jthrowable>(env->NewObject(cls, constructor, status)));
        return 0;
    }
    return scale * static_cast<jfloat>(count);
}

#if defined(_WIN32)
#include <windows.h>

extern "C" __declspec(dllexport) int probeTextLength(const char* text) { return lstrlenA(text); }
#endif
