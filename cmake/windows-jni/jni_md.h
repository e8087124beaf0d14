/* JNI machine definitions for the Windows cross builds, found before any JDK platform folder.
 * On 32-bit Windows the exports are chosen by a .def generated from the Java declarations
 * (they need the JVM's "_name@N" spelling), so nothing is exported by attribute there. */
#ifndef KX_JNI_MD_H
#define KX_JNI_MD_H

#if defined(_WIN64)
#define JNIEXPORT __declspec(dllexport)
#else
#define JNIEXPORT
#endif
#define JNIIMPORT __declspec(dllimport)
#define JNICALL __stdcall

typedef long jint;
typedef long long jlong;
typedef signed char jbyte;

#endif
