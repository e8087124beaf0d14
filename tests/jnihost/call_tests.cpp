// callNative reaches natives of every shape our methods have, on each calling convention.
#include "jnihost/nativecall.h"

#include <jni.h>

#include <gtest/gtest.h>

#include <cstring>

using jnihost::Argument;
using jnihost::callNative;

namespace {

struct Seen {
    JNIEnv* env;
    jclass receiver;
    jlong handle;
    jint ints[5];
    jfloat real;
    jobject object;
    jboolean flag;
} seen;

// Shapes of the libraries' methods, the float last as in setInputVolume.
extern "C" {
void JNICALL setVolume(JNIEnv* env, jclass receiver, jlong handle, jint a, jint b, jfloat value) {
    seen = {env, receiver, handle, {a, b, 0, 0, 0}, value, nullptr, 0};
}
jfloat JNICALL getVolume(JNIEnv*, jclass, jlong handle, jint a, jint b) {
    return static_cast<jfloat>(handle) + static_cast<jfloat>(a) / static_cast<jfloat>(b);
}
jlong JNICALL create(JNIEnv*, jclass, jint a, jint b, jint c) { return jlong{a} * (jlong{1} << 40) - jlong{b} * (jlong{1} << 20) + c; }
jint JNICALL connection(JNIEnv*, jclass, jlong handle, jint a, jint b, jint c, jint d, jint e) {
    seen.handle = handle;
    seen.ints[0] = a, seen.ints[1] = b, seen.ints[2] = c, seen.ints[3] = d, seen.ints[4] = e;
    return -a - b - c - d - e;
}
jboolean JNICALL flagged(JNIEnv*, jclass, jobject text, jboolean flag) {
    seen.object = text;
    seen.flag = flag;
    return flag ? JNI_FALSE : JNI_TRUE;
}
jobject JNICALL same(JNIEnv*, jclass, jobject object) { return object; }
}

template <class F>
void* address(F* function) {
    return reinterpret_cast<void*>(function);
}

Argument pointer(const void* p) { return {'L', reinterpret_cast<std::uintptr_t>(p)}; }
Argument integer(jint v) { return {'I', static_cast<std::uint64_t>(static_cast<std::int64_t>(v))}; }
Argument longValue(jlong v) { return {'J', static_cast<std::uint64_t>(v)}; }
Argument real(float v) {
    std::uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return {'F', bits};
}

TEST(CallNative, PassesEveryKindOfArgumentAndResult) {
    int envStandIn = 0, receiverStandIn = 0;
    const Argument env = pointer(&envStandIn), receiver = pointer(&receiverStandIn);
    const jlong handle = -(jlong{1} << 35) - 3;

    callNative<std::uint64_t>(address(setVolume), {env, receiver, longValue(handle), integer(-1), integer(2), real(0.75f)});
    EXPECT_EQ(seen.env, reinterpret_cast<JNIEnv*>(&envStandIn));
    EXPECT_EQ(seen.receiver, reinterpret_cast<jclass>(&receiverStandIn));
    EXPECT_EQ(seen.handle, handle);
    EXPECT_EQ(seen.ints[0], -1);
    EXPECT_EQ(seen.ints[1], 2);
    EXPECT_EQ(seen.real, 0.75f);

    EXPECT_EQ(callNative<float>(address(getVolume), {env, receiver, longValue(7), integer(1), integer(4)}), 7.25f);
    EXPECT_EQ(static_cast<jlong>(callNative<std::uint64_t>(address(create), {env, receiver, integer(-3), integer(5), integer(9)})),
              create(nullptr, nullptr, -3, 5, 9));

    // Eight arguments: the last ones on the stack everywhere.
    const auto sum = callNative<std::uint64_t>(
        address(connection), {env, receiver, longValue(handle), integer(1), integer(2), integer(3), integer(4), integer(-50)});
    EXPECT_EQ(static_cast<jint>(sum), 40);
    EXPECT_EQ(seen.handle, handle);
    EXPECT_EQ(seen.ints[3], 4);
    EXPECT_EQ(seen.ints[4], -50);

    const auto flag = callNative<std::uint64_t>(address(flagged), {env, receiver, pointer(&seen), {'Z', 1}});
    EXPECT_EQ(flag & 0xFF, JNI_FALSE);
    EXPECT_EQ(seen.object, reinterpret_cast<jobject>(&seen));
    EXPECT_EQ(seen.flag, JNI_TRUE);
    EXPECT_EQ(static_cast<std::uintptr_t>(callNative<std::uint64_t>(address(same), {env, receiver, pointer(&seen)})),
              reinterpret_cast<std::uintptr_t>(&seen));
}

}  // namespace
