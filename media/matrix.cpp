// The matrix itself, its topology and its catalogues.
#include "kx_util_kxmedia_KXMediaNative.h"

#include <cstdlib>
#include <memory>

#include "jni/format.h"
#include "media/frame.h"

namespace {

struct CellRelease {
    void operator()(MatrixRef* cell) const { std::free(cell); }
};

jlong createMatrix(JNIEnv* env, jint a, jint b, jint c) {
    std::unique_ptr<MatrixRef, CellRelease> cell(static_cast<MatrixRef*>(std::malloc(sizeof(MatrixRef))));
    if (!cell) {
        throwWithMessage(env, "java/lang/OutOfMemoryError", "matrix cell");
        return 0;
    }
    *cell = 0;
    if (!engineSucceeded(oxCreateMatrix(a, b, c, cell.get()), env)) return 0;  // the guard releases the cell
    return handleOfCell(cell.release());
}

void deleteMatrix(JNIEnv* env, jlong handle) {
    // A matrix that the engine refuses to delete keeps its cell, so the handle stays usable.
    if (callEngine<oxDeleteMatrix>(env, handle)) std::free(cellOfHandle(handle));
}

// The engine's text and its out cell joined by "%s,%d", composed whole: 499 characters of
// text, the comma, up to 11 of the number and the terminator always fit.
jstring codecFormatDescription(JNIEnv* env, jlong handle, jint format) {
    char text[kEngineTextCapacity] = "";
    std::int32_t value = 0;
    if (!callEngine<oxGetMatrixCodecFormatDescription>(env, handle, format, text, kEngineTextCapacity, &value)) return nullptr;
    text[kEngineTextCapacity - 1] = '\0';
    char description[kEngineTextCapacity + 1 + 11 + 1];
    return ansiToJava(env, formatInto(description, sizeof description, "%s,%d", text, static_cast<int>(value)));
}

jobject audioFileDescription(JNIEnv* env, jlong handle, jstring fileName) {
    AnsiText name(env, fileName, "fileName");
    return requireAll(name) ? pairGetter<oxGetMatrixAudioFileDescription, kAudioFileDescClass>(env, handle, name.get()) : nullptr;
}

}  // namespace

extern "C" {

JNIEXPORT jlong JNICALL Java_kx_util_kxmedia_KXMediaNative_createMatrix(JNIEnv* env, jclass, jint a, jint b, jint c) {
    return createMatrix(env, a, b, c);
}
JNIEXPORT void JNICALL Java_kx_util_kxmedia_KXMediaNative_deleteMatrix(JNIEnv* env, jclass, jlong handle) {
    deleteMatrix(env, handle);
}
JNIEXPORT jint JNICALL Java_kx_util_kxmedia_KXMediaNative_getMatrixNofInputs(JNIEnv* env, jclass, jlong handle, jint a) {
    return plainGetter<oxGetMatrixNofInputs>(env, handle, a);
}
JNIEXPORT jint JNICALL Java_kx_util_kxmedia_KXMediaNative_getMatrixNofOutputs(JNIEnv* env, jclass, jlong handle, jint a) {
    return plainGetter<oxGetMatrixNofOutputs>(env, handle, a);
}
JNIEXPORT jint JNICALL Java_kx_util_kxmedia_KXMediaNative_getMatrixInputType(JNIEnv* env, jclass, jlong handle, jint input) {
    return plainGetter<oxGetMatrixInputType>(env, handle, input);
}
JNIEXPORT jint JNICALL Java_kx_util_kxmedia_KXMediaNative_getMatrixOutputType(JNIEnv* env, jclass, jlong handle, jint output) {
    return plainGetter<oxGetMatrixOutputType>(env, handle, output);
}
JNIEXPORT void JNICALL Java_kx_util_kxmedia_KXMediaNative_setMatrixInputConnection(JNIEnv* env, jclass, jlong handle, jint a, jint b, jint c, jint d, jint value) {
    setter<oxSetMatrixInputConnection>(env, handle, a, b, c, d, value);
}
JNIEXPORT jint JNICALL Java_kx_util_kxmedia_KXMediaNative_getMatrixInputConnection(JNIEnv* env, jclass, jlong handle, jint a, jint b, jint c, jint d) {
    return cellGetter<oxGetMatrixInputConnection, Preset::minusOne>(env, handle, a, b, c, d);
}
JNIEXPORT jint JNICALL Java_kx_util_kxmedia_KXMediaNative_getMatrixNofCodecFormats(JNIEnv* env, jclass, jlong handle) {
    return plainGetter<oxGetMatrixNofCodecFormats>(env, handle);
}
JNIEXPORT jstring JNICALL Java_kx_util_kxmedia_KXMediaNative_getMatrixCodecFormatDescription(JNIEnv* env, jclass, jlong handle, jint format) {
    return codecFormatDescription(env, handle, format);
}
JNIEXPORT jobject JNICALL Java_kx_util_kxmedia_KXMediaNative_getMatrixAudioFileDescription(JNIEnv* env, jclass, jlong handle, jstring fileName) {
    return audioFileDescription(env, handle, fileName);
}
JNIEXPORT jint JNICALL Java_kx_util_kxmedia_KXMediaNative_getMatrixNofProcessors(JNIEnv* env, jclass, jlong handle) {
    return plainGetter<oxGetMatrixNofProcessors>(env, handle);
}
JNIEXPORT jstring JNICALL Java_kx_util_kxmedia_KXMediaNative_getMatrixProcessorName(JNIEnv* env, jclass, jlong handle, jint processor) {
    return textGetter<oxGetMatrixProcessorName>(env, handle, processor);
}
JNIEXPORT jint JNICALL Java_kx_util_kxmedia_KXMediaNative_getMatrixProcessorNofParams(JNIEnv* env, jclass, jlong handle, jint processor) {
    return cellGetter<oxGetMatrixProcessorNofParams, Preset::minusOne>(env, handle, processor);
}
JNIEXPORT jstring JNICALL Java_kx_util_kxmedia_KXMediaNative_getMatrixProcessorParamName(JNIEnv* env, jclass, jlong handle, jint processor, jint param) {
    return textGetter<oxGetMatrixProcessorParamName>(env, handle, processor, param);
}
JNIEXPORT jobject JNICALL Java_kx_util_kxmedia_KXMediaNative_getMatrixProcessorParamMinMax(JNIEnv* env, jclass, jlong handle, jint processor, jint param) {
    return pairGetter<oxGetMatrixProcessorParamMinMax, kParamMinMaxClass>(env, handle, processor, param);
}

}  // extern "C"
