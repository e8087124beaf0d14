// Windows error texts and java.lang.Exception raising for KXWindows.
#pragma once

#include <jni.h>

// Capacity of every system text area and of the error text buffers of the native methods.
constexpr int kSystemTextCapacity = 512;
constexpr int kErrorTextCapacity = 400;

// Raises java.lang.Exception(message); the message's bytes become chars one for one.
void throwJavaException(JNIEnv* env, const char* message);

#if defined(_WIN32)
#include <windows.h>

// The system's text for a code exactly as FormatMessageA gives it in the user's default
// language (final CR LF included), released with LocalFree; the empty text when it has none.
class SystemText {
public:
    explicit SystemText(DWORD code);
    ~SystemText();
    SystemText(const SystemText&) = delete;
    SystemText& operator=(const SystemText&) = delete;

    const char* get() const { return text_ != nullptr ? text_ : ""; }
    // The count FormatMessageA returned: 0 when there is no text.
    DWORD length() const { return length_; }

private:
    char* text_ = nullptr;
    DWORD length_ = 0;
};

// "<system text> (<code>=0x<CODE>)" on one line, or the empty text when the system has no
// text for the code or the area cannot hold it whole. Never writes past capacity.
char* formatWindowsError(DWORD code, char* out, int capacity);
// The same for the calling thread's last error; call it right after the failing call.
char* formatLastError(char* out, int capacity);

// Raises java.lang.Exception("<context> : Windows error : <text of the last error>").
void throwWindowsError(JNIEnv* env, const char* context);
#endif
