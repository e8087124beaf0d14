// Benchmark library: the libraries' way of raising and converting next to the JNI shortcuts
// they avoid, so one run can show what the sound behaviour costs.
#include <jni.h>

#include "jni/errors.h"
#include "jni/strings.h"

extern "C" {

JNIEXPORT void JNICALL Java_kx_bench_RaiseBench_raiseThroughConstructor(JNIEnv* env, jclass, jint) {
    throwJavaException(env, "ERREUR : cl\xE9 non-valide : HKEY_LOCAL_MACHINE");
}

JNIEXPORT void JNICALL Java_kx_bench_RaiseBench_raiseWithThrowNew(JNIEnv* env, jclass, jint) {
    if (jclass cls = env->FindClass("java/lang/Exception")) env->ThrowNew(cls, "ERREUR : cl\xE9 non-valide : HKEY_LOCAL_MACHINE");
}

JNIEXPORT jint JNICALL Java_kx_bench_RaiseBench_copyLowBytes(JNIEnv* env, jclass, jstring value) {
    char* text = javaToAnsi(env, value);
    const jint first = static_cast<unsigned char>(text[0]);
    freeAnsi(env, text);
    return first;
}

JNIEXPORT jint JNICALL Java_kx_bench_RaiseBench_copyUtf(JNIEnv* env, jclass, jstring value) {
    const char* text = env->GetStringUTFChars(value, nullptr);
    const jint first = static_cast<unsigned char>(text[0]);
    env->ReleaseStringUTFChars(value, text);
    return first;
}

}  // extern "C"
