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

// "<system text> (<code>=0x<CODE>)" on one line, or the empty text when the system has no
// text for the code or the area cannot hold it whole. Never writes past capacity.
char* formatWindowsError(DWORD code, char* out, int capacity);
// The same for the calling thread's last error; call it right after the failing call.
char* formatLastError(char* out, int capacity);

// Raises java.lang.Exception("<context> : Windows error : <text of the last error>").
void throwWindowsError(JNIEnv* env, const char* context);
#endif
