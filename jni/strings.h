// Java strings <-> 8-bit text: each UTF-16 unit keeps its low byte one way, each byte is
// zero-extended the other way; no code page is applied in either direction.
#pragma once

#include <jni.h>

// New heap copy of the string (release with freeAnsi), or null when the string is null
// or the copy could not be made (then an OutOfMemoryError is pending).
char* javaToAnsi(JNIEnv* env, jstring string);
void freeAnsi(JNIEnv* env, char* text);
// New Java string, or null when the virtual machine could not make one.
jstring ansiToJava(JNIEnv* env, const char* text);

// Raises a new <className>(String) whose message is built from 8-bit text like any other
// string, so bytes 0x80..0xFF reach Java as U+0080..U+00FF. If the class or its
// constructor is missing, the virtual machine's own error is left pending.
void throwWithMessage(JNIEnv* env, const char* className, const char* message);

// Owner of the 8-bit copy of one Java string argument, released on every path.
class AnsiText {
public:
    AnsiText(JNIEnv* env, jstring string, const char* parameterName);
    ~AnsiText() { freeAnsi(env_, text_); }
    AnsiText(const AnsiText&) = delete;
    AnsiText& operator=(const AnsiText&) = delete;

    const char* get() const { return text_; }
    operator const char*() const { return text_; }

    // Present, or else raises NullPointerException naming the parameter (unless the
    // conversion itself already left an error pending).
    bool require() const;

private:
    JNIEnv* env_;
    char* text_ = nullptr;
    const char* parameterName_;
    bool javaNull_;
};

// True when every argument converted; otherwise the first missing one has raised.
template <class... Texts>
bool requireAll(const Texts&... texts) {
    return (texts.require() && ...);
}
