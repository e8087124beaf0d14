// The JNI host behaves as a strict JVM: what the libraries' tests conclude depends on it.
#include "jnihost/jnihost.h"
#include "tests/jnihost/probe.h"

#include <gtest/gtest.h>

#include <cstdarg>
#include <cstddef>
#include <cstring>

using jnihost::Host;
using jnihost::Object;

namespace {

// Calls NewObjectV as the libraries do: through a variable argument list of their own.
jobject newObjectV(JNIEnv* env, jclass cls, jmethodID constructor, ...) {
    va_list args;
    va_start(args, constructor);
    jobject object = env->NewObjectV(cls, constructor, args);
    va_end(args);
    return object;
}

TEST(JniHost, UnknownOrRemovedClassLeavesNoClassDefFoundError) {
    Host host;
    JNIEnv* env = host.env();
    host.removeClass("kx/util/kxmedia/KXMediaNativeException");
    for (const char* name : {"no/such/Class", "kx/util/kxmedia/KXMediaNativeException", "java.lang.Exception"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(env->FindClass(name), nullptr);
        ASSERT_TRUE(host.pending());
        EXPECT_EQ(host.exception().className, "java/lang/NoClassDefFoundError");
        EXPECT_EQ(host.exception().message(), jnihost::widen(name));
        EXPECT_TRUE(env->ExceptionCheck());
        env->ExceptionClear();
        EXPECT_FALSE(host.pending());
    }
    EXPECT_NE(env->FindClass("java/lang/Exception"), nullptr);
}

TEST(JniHost, MissingConstructorLeavesNoSuchMethodError) {
    Host host;
    JNIEnv* env = host.env();
    host.removeConstructor("kx/util/kxmedia/KXMediaNativeParamMinMax", "(II)V");
    jclass minMax = env->FindClass("kx/util/kxmedia/KXMediaNativeParamMinMax");
    ASSERT_NE(minMax, nullptr);
    EXPECT_EQ(env->GetMethodID(minMax, "<init>", "(II)V"), nullptr);
    ASSERT_TRUE(host.pending());
    EXPECT_EQ(host.exception().className, "java/lang/NoSuchMethodError");
    host.clearPending();

    jclass exception = env->FindClass("kx/util/kxmedia/KXMediaNativeException");
    EXPECT_EQ(env->GetMethodID(exception, "<init>", "(J)V"), nullptr);
    host.clearPending();
    EXPECT_EQ(env->GetMethodID(exception, "getStatus", "()I"), nullptr);
    host.clearPending();
    jmethodID constructor = env->GetMethodID(exception, "<init>", "(I)V");
    EXPECT_NE(constructor, nullptr);
    EXPECT_EQ(env->GetMethodID(exception, "<init>", "(I)V"), constructor);
    EXPECT_FALSE(host.pending());
}

TEST(JniHost, RecordsConstructedObjectsWithTheirArguments) {
    Host host;
    JNIEnv* env = host.env();
    jclass pair = env->FindClass("kx/util/kxmedia/KXMediaNativeValueLeftRight");
    jobject made = newObjectV(env, pair, env->GetMethodID(pair, "<init>", "(II)V"), 7, -1);
    jclass error = env->FindClass("kx/util/kxmedia/KXMediaNativeException");
    newObjectV(env, error, env->GetMethodID(error, "<init>", "(I)V"), -2147483647 - 1);

    // Promotions through "...": float travels as double, boolean and short as int.
    host.defineClass("test/Mixed", {"(FJZSLjava/lang/String;D)V"});
    jclass mixed = env->FindClass("test/Mixed");
    jmethodID mixedConstructor = env->GetMethodID(mixed, "<init>", "(FJZSLjava/lang/String;D)V");
    jstring text = env->NewStringUTF("t");
    newObjectV(env, mixed, mixedConstructor, 1.5f, jlong{1} << 40, JNI_TRUE, static_cast<jshort>(-3), text, 0.25);
    const jvalue array[] = {{.f = -2.5f}, {.j = -7}, {.z = JNI_FALSE}, {.s = 9}, {.l = nullptr}, {.d = 4.0}};
    env->NewObjectA(mixed, mixedConstructor, array);

    const auto objects = host.constructed();
    ASSERT_EQ(objects.size(), 4u);
    EXPECT_EQ(&host.object(made), objects[0]);
    EXPECT_EQ(objects[0]->className, "kx/util/kxmedia/KXMediaNativeValueLeftRight");
    EXPECT_EQ(objects[0]->constructorSignature, "(II)V");
    ASSERT_EQ(objects[0]->arguments.size(), 2u);
    EXPECT_EQ(objects[0]->arguments[0].integer, 7);
    EXPECT_EQ(objects[0]->arguments[1].integer, -1);
    ASSERT_EQ(objects[1]->arguments.size(), 1u);
    EXPECT_EQ(objects[1]->arguments[0].integer, -2147483647 - 1);

    const auto& viaList = objects[2]->arguments;
    ASSERT_EQ(viaList.size(), 6u);
    EXPECT_EQ(viaList[0].type, 'F');
    EXPECT_EQ(viaList[0].real, 1.5);
    EXPECT_EQ(viaList[1].integer, jlong{1} << 40);
    EXPECT_EQ(viaList[2].integer, 1);
    EXPECT_EQ(viaList[3].integer, -3);
    ASSERT_NE(viaList[4].target, nullptr);
    EXPECT_EQ(viaList[4].target->text, u"t");
    EXPECT_EQ(viaList[5].real, 0.25);
    const auto& viaArray = objects[3]->arguments;
    EXPECT_EQ(viaArray[0].real, -2.5);
    EXPECT_EQ(viaArray[1].integer, -7);
    EXPECT_EQ(viaArray[3].integer, 9);
    EXPECT_EQ(viaArray[4].target, nullptr);
    EXPECT_EQ(viaArray[5].real, 4.0);
}

TEST(JniHost, RecordsThrownExceptions) {
    Host host;
    JNIEnv* env = host.env();
    // Throw: the object's (String) or (int) argument.
    jclass exception = env->FindClass("java/lang/Exception");
    jstring message = host.string(u"Cl\u00E9 absente");
    env->Throw(static_cast<jthrowable>(env->NewObject(exception, env->GetMethodID(exception, "<init>", "(Ljava/lang/String;)V"), message)));
    ASSERT_TRUE(host.pending());
    EXPECT_EQ(host.exception().className, "java/lang/Exception");
    EXPECT_FALSE(host.exception().thrownWithThrowNew);
    EXPECT_EQ(host.exception().message(), u"Cl\u00E9 absente");
    jthrowable occurred = env->ExceptionOccurred();
    EXPECT_EQ(&host.object(occurred), host.exception().object);
    env->ExceptionClear();

    jclass media = env->FindClass("kx/util/kxmedia/KXMediaNativeException");
    env->Throw(static_cast<jthrowable>(env->NewObject(media, env->GetMethodID(media, "<init>", "(I)V"), -42)));
    EXPECT_EQ(host.exception().className, "kx/util/kxmedia/KXMediaNativeException");
    EXPECT_EQ(host.exception().status(), -42);
    host.clearPending();

    // ThrowNew: the raw bytes, and each byte one char for message().
    EXPECT_EQ(env->ThrowNew(exception, "Cl\xE9 : Windows error : "), 0);
    EXPECT_TRUE(host.exception().thrownWithThrowNew);
    EXPECT_EQ(host.exception().throwNewBytes, "Cl\xE9 : Windows error : ");
    EXPECT_EQ(host.exception().message(), u"Cl\u00E9 : Windows error : ");
    host.clearPending();

    // A class without a (String) constructor cannot be raised by ThrowNew.
    EXPECT_LT(env->ThrowNew(media, "x"), 0);
    EXPECT_EQ(host.exception().className, "java/lang/NoSuchMethodError");
}

TEST(JniHost, StringsRoundTripEveryUnit) {
    Host host;
    JNIEnv* env = host.env();
    const std::u16string units(u"A\u00E9\u0000\u20AC\U0001F600", 6);
    jstring string = host.string(units);
    ASSERT_EQ(env->GetStringLength(string), 6);

    jboolean isCopy = JNI_FALSE;
    const jchar* chars = env->GetStringChars(string, &isCopy);
    EXPECT_TRUE(isCopy);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(chars), 6), units);
    EXPECT_EQ(host.pinnedStrings(), 1);
    const char* utf = env->GetStringUTFChars(string, nullptr);
    // Modified UTF-8: U+0000 as C0 80, each surrogate as three bytes of its own.
    EXPECT_STREQ(utf, "A\xC3\xA9\xC0\x80\xE2\x82\xAC\xED\xA0\xBD\xED\xB8\x80");
    EXPECT_EQ(env->GetStringUTFLength(string), static_cast<jsize>(std::strlen(utf)));
    EXPECT_EQ(host.pinnedStrings(), 2);
    EXPECT_EQ(host.text(env->NewStringUTF(utf)), units);
    env->ReleaseStringUTFChars(string, utf);
    env->ReleaseStringChars(string, chars);
    EXPECT_EQ(host.pinnedStrings(), 0);

    const jchar latin[] = {0x41, 0xE9, 0x80, 0xFF};
    jstring made = env->NewString(latin, 4);
    EXPECT_EQ(host.text(made), u"A\u00E9\u0080\u00FF");
    EXPECT_EQ(jnihost::narrow(host.text(made)), "A\xE9\x80\xFF");
    EXPECT_EQ(host.text(host.latin1("\xE9\x80")), u"\u00E9\u0080");
    EXPECT_EQ(host.text(env->NewString(nullptr, 0)), u"");

    jchar region[2] = {};
    env->GetStringRegion(made, 1, 2, region);
    EXPECT_EQ(region[0], 0xE9);
    EXPECT_EQ(region[1], 0x80);
    env->GetStringRegion(made, 3, 2, region);
    ASSERT_TRUE(host.pending());
    EXPECT_EQ(host.exception().className, "java/lang/StringIndexOutOfBoundsException");
}

TEST(JniHost, CountsLocalReferencesAndCalls) {
    Host host;
    JNIEnv* env = host.env();
    jstring argument = host.string(u"argument");  // made by the caller: not counted
    EXPECT_EQ(host.localReferences(), 0);
    EXPECT_NE(env->FindClass("java/lang/Exception"), nullptr);
    jstring made = env->NewStringUTF("x");
    EXPECT_EQ(host.localReferences(), 2);
    EXPECT_TRUE(env->IsSameObject(env->NewLocalRef(made), made));
    EXPECT_EQ(host.localReferences(), 3);
    env->DeleteLocalRef(made);
    env->DeleteLocalRef(argument);
    EXPECT_EQ(host.localReferences(), 2);

    ASSERT_EQ(env->PushLocalFrame(4), 0);
    jclass inner = env->GetObjectClass(env->NewStringUTF("y"));
    EXPECT_EQ(host.localReferences(), 4);
    auto kept = static_cast<jclass>(env->PopLocalFrame(inner));
    EXPECT_EQ(host.localReferences(), 3);
    EXPECT_TRUE(env->IsSameObject(kept, env->FindClass("java/lang/String")));
    EXPECT_TRUE(env->IsInstanceOf(env->NewStringUTF("z"), kept));
    EXPECT_FALSE(env->IsInstanceOf(kept, kept));
    EXPECT_EQ(env->EnsureLocalCapacity(16), 0);

    host.resetLocalReferences();
    EXPECT_EQ(host.localReferences(), 0);
    EXPECT_EQ(host.text(made), u"x");  // the test may still look at what native code had
    EXPECT_EQ(host.calls("FindClass"), 2);
    EXPECT_EQ(host.calls("PopLocalFrame"), 1);
    EXPECT_EQ(host.calls("GetStaticFieldID"), 0);
    EXPECT_EQ(env->GetVersion(), JNI_VERSION_1_8);
}

TEST(JniHost, ExceptionObjectsAreInstancesOfTheirSuperclasses) {
    Host host;
    JNIEnv* env = host.env();
    jclass media = env->FindClass("kx/util/kxmedia/KXMediaNativeException");
    jobject thrown = env->NewObject(media, env->GetMethodID(media, "<init>", "(I)V"), 1);
    EXPECT_TRUE(env->IsInstanceOf(thrown, env->FindClass("java/lang/Exception")));
    EXPECT_TRUE(env->IsInstanceOf(thrown, env->FindClass("java/lang/Object")));
    EXPECT_FALSE(env->IsInstanceOf(thrown, env->FindClass("java/lang/NullPointerException")));
    EXPECT_TRUE(env->IsInstanceOf(nullptr, media));
}

TEST(JniHost, NamesEverySlotFromJniH) {
    EXPECT_EQ(jnihost::slotCount() * sizeof(void*), sizeof(JNINativeInterface_));
    EXPECT_STREQ(jnihost::slotName(0), "reserved0");
    EXPECT_STREQ(jnihost::slotName(4), "GetVersion");
    EXPECT_STREQ(jnihost::slotName(6), "FindClass");
    EXPECT_EQ(jnihost::slotName(jnihost::slotCount()), nullptr);
    const int getStaticFieldID = static_cast<int>(offsetof(JNINativeInterface_, GetStaticFieldID) / sizeof(void*));
    EXPECT_EQ(jnihost::unprovidedMessage(getStaticFieldID), "jnihost: JNI function GetStaticFieldID is not provided");
}

// Each fault aborts the test program naming what went wrong (run in a child process).
TEST(JniHostDeathTest, UnprovidedSlotAbortsNamingIt) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    Host host;
    JNIEnv* env = host.env();
    EXPECT_DEATH(env->GetStaticFieldID(env->FindClass("java/lang/Exception"), "x", "I"),
                 "jnihost: JNI function GetStaticFieldID is not provided");
}

// Not on 32-bit Windows: the same host code as on 64-bit, and each death test costs a
// program start there (slow under qemu).
#if !defined(_WIN32) || defined(_WIN64)
TEST(JniHostDeathTest, FaultsAbortNamingTheSlot) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    Host host;
    JNIEnv* env = host.env();
    EXPECT_DEATH(env->MonitorEnter(nullptr), "jnihost: JNI function MonitorEnter is not provided");
    EXPECT_DEATH(
        {
            env->FindClass("missing/Class");
            env->NewStringUTF("x");
        },
        "jnihost: JNI function NewStringUTF called while an exception is pending \\(java/lang/NoClassDefFoundError\\)");
    EXPECT_DEATH(
        {
            jstring s = env->NewStringUTF("x");
            env->DeleteLocalRef(s);
            env->GetStringLength(s);
        },
        "GetStringLength was passed a string that was already deleted");
    int notAReference = 0;
    EXPECT_DEATH(env->GetStringLength(reinterpret_cast<jstring>(&notAReference)),
                 "GetStringLength was passed a string the host never made");
    EXPECT_DEATH(
        {
            jstring s = env->NewStringUTF("x");
            const char* utf = env->GetStringUTFChars(s, nullptr);
            env->ReleaseStringChars(s, reinterpret_cast<const jchar*>(utf));
        },
        "ReleaseStringChars was passed a buffer that was not lent for this string");
}
#endif

TEST(JniHost, CallsALibraryExportAsTheJvmDoes) {
#if defined(_WIN32)
    jnihost::Library library(KX_PROBE_LIBRARY);
#else
    jnihost::Library library(std::string("./") + KX_PROBE_LIBRARY);
#endif
    auto scale = KX_NATIVE(library, Java_test_Probe_scale);
    Host host;
    EXPECT_EQ(scale(host.env(), host.receiver(), 0, 3, 1.5f), 4.5f);
    EXPECT_FALSE(host.pending());
    EXPECT_EQ(scale(host.env(), host.receiver(), -7, 3, 1.5f), 0.0f);
    ASSERT_TRUE(host.pending());
    EXPECT_EQ(host.exception().className, "kx/util/kxmedia/KXMediaNativeException");
    EXPECT_EQ(host.exception().status(), -7);
    EXPECT_EQ(host.localReferences(), 2);  // the class and the exception object
    EXPECT_EQ(library.nativeMethod("Java_test_Probe_missing", 8), nullptr);
}

}  // namespace
