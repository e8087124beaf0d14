#include "jni/strings.h"

#include "jni/format.h"

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

struct FreeDeleter {
    void operator()(void* block) const { std::free(block); }
};

struct PinnedChars {
    JNIEnv* env;
    jstring string;
    const jchar* units;
    ~PinnedChars() {
        if (units != nullptr) env->ReleaseStringChars(string, units);
    }
};

// ThrowNew, not throwWithMessage: the message is ASCII, and building a Java string for it
// would need the very allocation that just failed.
void throwOutOfMemory(JNIEnv* env) {
    if (jclass cls = env->FindClass("java/lang/OutOfMemoryError")) env->ThrowNew(cls, "8-bit text copy");
}

}  // namespace

char* javaToAnsi(JNIEnv* env, jstring string) {
    if (string == nullptr) return nullptr;
    PinnedChars pinned{env, string, env->GetStringChars(string, nullptr)};
    if (pinned.units == nullptr) return nullptr;  // the VM has raised OutOfMemoryError
    const jsize length = env->GetStringLength(string);
    char* text = static_cast<char*>(std::malloc(static_cast<size_t>(length) + 1));
    if (text == nullptr) {
        throwOutOfMemory(env);
        return nullptr;
    }
    for (jsize i = 0; i < length; ++i) text[i] = static_cast<char>(pinned.units[i] & 0xFF);
    text[length] = '\0';
    return text;
}

void freeAnsi(JNIEnv*, char* text) { std::free(text); }

jstring ansiToJava(JNIEnv* env, const char* text) {
    const size_t length = std::strlen(text);
    std::unique_ptr<jchar, FreeDeleter> units(static_cast<jchar*>(std::malloc((length + 1) * sizeof(jchar))));
    if (!units) {
        throwOutOfMemory(env);
        return nullptr;
    }
    for (size_t i = 0; i < length; ++i) units.get()[i] = static_cast<unsigned char>(text[i]);
    return env->NewString(units.get(), static_cast<jsize>(length));
}

void throwWithMessage(JNIEnv* env, const char* className, const char* message) {
    jclass cls = env->FindClass(className);
    if (cls == nullptr) return;
    jmethodID constructor = env->GetMethodID(cls, "<init>", "(Ljava/lang/String;)V");
    if (constructor == nullptr) return;
    jstring text = ansiToJava(env, message);
    if (text == nullptr) return;
    if (auto exception = static_cast<jthrowable>(env->NewObject(cls, constructor, text))) env->Throw(exception);
}

AnsiText::AnsiText(JNIEnv* env, jstring string, const char* parameterName)
    : env_(env), parameterName_(parameterName), javaNull_(string == nullptr) {
    if (!javaNull_ && !env->ExceptionCheck()) text_ = javaToAnsi(env, string);
}

bool AnsiText::require() const {
    if (text_ != nullptr) return true;
    if (javaNull_ && !env_->ExceptionCheck()) {
        char message[128];
        throwWithMessage(env_, "java/lang/NullPointerException",
                         formatInto(message, sizeof message, "%s is null", parameterName_));
    }
    return false;
}
