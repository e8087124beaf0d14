#include "media/frame.h"

#include "jni/format.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <cstdio>
#endif

namespace {

constexpr const char kDiagnosticPrefix[] = "C_KX_MEDIA -- ";
constexpr size_t kDiagnosticCapacity = 500;

void showClassNotFound(const char* className) {
    char text[kDiagnosticCapacity];
    showDiagnostic(formatInto(text, sizeof text, "%s FindClass sur %s retourne null", kDiagnosticPrefix, className));
}

}  // namespace

bool requireHandle(JNIEnv* env, jlong handle) {
    if (handle != 0) return true;
    throwWithMessage(env, "java/lang/IllegalArgumentException", "matrix handle 0 designates no matrix");
    return false;
}

void throwMediaException(jint status, JNIEnv* env) {
    jclass cls = env->FindClass(kExceptionClass);
    if (cls == nullptr) {
        showClassNotFound(kExceptionClass);
        return;
    }
    jmethodID constructor = env->GetMethodID(cls, "<init>", "(I)V");
    if (constructor == nullptr) {
        char text[kDiagnosticCapacity];
        showDiagnostic(formatInto(text, sizeof text, "%s GetMethodID sur constructeur de %s avec la signature '(I)V' retourne 0",
                                  kDiagnosticPrefix, kExceptionClass));
        return;
    }
    // A null object means the virtual machine could not build it and has its own error pending.
    if (auto exception = static_cast<jthrowable>(env->NewObject(cls, constructor, status))) env->Throw(exception);
}

jobject newValueObject(const char* className, jint first, jint second, JNIEnv* env) {
    jclass cls = env->FindClass(className);
    if (cls == nullptr) {
        showClassNotFound(className);
        return nullptr;
    }
    jmethodID constructor = nullptr;
    if (!lookupMethod(&constructor, cls, className, "<init>", "(II)V", env)) return nullptr;
    return env->NewObject(cls, constructor, first, second);
}

int lookupMethod(jmethodID* place, jclass cls, const char* className, const char* methodName, const char* signature,
                 JNIEnv* env) {
    *place = env->GetMethodID(cls, methodName, signature);
    if (*place != nullptr) return 1;
    char text[kDiagnosticCapacity];
    // "Méthode " in Windows-1252; its blank and the format's make two before the name.
    showDiagnostic(formatInto(text, sizeof text, "%s %s avec la signature %s de %s non trouv\xE9" "e", "M\xE9thode ",
                              methodName, signature, className));
    return 0;
}

void showDiagnostic(const char* text) {
#if defined(_WIN32)
    MessageBoxA(nullptr, text, "Error", MB_ICONINFORMATION);
#else
    std::fprintf(stderr, "%s\n", text);
#endif
}
