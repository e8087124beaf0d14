// Every method of the matrix's topology and catalogues, and each family of the frame over
// input operations (instantiated here as the input and output methods will instantiate
// them), driven through one table: success, failed statuses, an engine that succeeds
// without writing, the arguments the engine receives, the handle 0, and Java strings.
#include "tests/media/media_fixture.h"

#include "media/frame.h"

#include <cctype>
#include <climits>
#include <cstring>

namespace mediatest {
namespace {

using Ints = std::vector<jint>;
using Call = std::string (*)(jnihost::Host& host, jlong handle, const Ints& ints, jstring text);

// Families instantiated here over operations that no exported method reaches yet.
jfloat getInputVolume(JNIEnv* env, jlong handle, jint input, jint b) { return cellGetter<oxGetInputVolume>(env, handle, input, b); }
void setInputVolume(JNIEnv* env, jlong handle, jint input, jint b, jfloat value) { setter<oxSetInputVolume>(env, handle, input, b, value); }
jint getInputOscFrequency(JNIEnv* env, jlong handle, jint input) { return cellGetter<oxGetInputOscFrequency>(env, handle, input); }
jstring getInputLiveName(JNIEnv* env, jlong handle, jint input) { return textGetter<oxGetInputLiveName>(env, handle, input); }
jobject getInputMeterValue(JNIEnv* env, jlong handle, jint input) { return pairGetter<oxGetInputMeterValue, kValueLeftRightClass>(env, handle, input); }
void startInputStream(JNIEnv* env, jlong handle, jint input, jstring s, jint c) { startOperation<oxStartInputStream>(env, handle, input, s, "s", c); }

jfloat floatOf(jint bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

#define MEDIA(method) KX_NATIVE(library(), Java_kx_util_kxmedia_KXMediaNative_##method)

constexpr long long kAddress = LLONG_MIN;  // expected argument: some non-null address

enum class Family { plain, tested };

struct Case {
    const char* name;
    int ordinal;
    Family family;
    bool exported;             // an export of KXMedia; else a family instantiated in this program
    Call call;
    Ints valid;                // arguments the engine accepts
    Ints odd;                  // extreme arguments, to see them arrive unchanged
    std::vector<long long> engineArguments;  // for odd, after the matrix reference
    const char16_t* javaText;  // the Java string passed, if the method takes one
    const char* engineText;    // the 8-bit text the engine then receives
    std::string success, failure, silent;
};

const Case kCases[] = {
    {"getMatrixNofInputs", 3, Family::plain, true,
     [](jnihost::Host& h, jlong m, const Ints& i, jstring) { return describe(h, MEDIA(getMatrixNofInputs)(h.env(), h.receiver(), m, i[0])); },
     {-1}, {INT_MIN}, {INT_MIN}, nullptr, nullptr, "int 4", "", "int 0"},
    {"getMatrixNofOutputs", 4, Family::plain, true,
     [](jnihost::Host& h, jlong m, const Ints& i, jstring) { return describe(h, MEDIA(getMatrixNofOutputs)(h.env(), h.receiver(), m, i[0])); },
     {-1}, {INT_MAX}, {INT_MAX}, nullptr, nullptr, "int 2", "", "int 0"},
    {"getMatrixInputType", 5, Family::plain, true,
     [](jnihost::Host& h, jlong m, const Ints& i, jstring) { return describe(h, MEDIA(getMatrixInputType)(h.env(), h.receiver(), m, i[0])); },
     {2}, {-7}, {-7}, nullptr, nullptr, "int 2", "", "int 0"},
    {"getMatrixOutputType", 6, Family::plain, true,
     [](jnihost::Host& h, jlong m, const Ints& i, jstring) { return describe(h, MEDIA(getMatrixOutputType)(h.env(), h.receiver(), m, i[0])); },
     {1}, {0x7FFF0001}, {0x7FFF0001}, nullptr, nullptr, "int 1", "", "int 0"},
    {"setMatrixInputConnection", 7, Family::tested, true,
     [](jnihost::Host& h, jlong m, const Ints& i, jstring) {
         MEDIA(setMatrixInputConnection)(h.env(), h.receiver(), m, i[0], i[1], i[2], i[3], i[4]);
         return describeVoid();
     },
     {3, 1, 0, 1, 80}, {-1, INT_MIN, 2, INT_MAX, -80}, {-1, INT_MIN, 2, INT_MAX, -80}, nullptr, nullptr, "void", "void", "void"},
    {"getMatrixInputConnection", 8, Family::tested, true,
     [](jnihost::Host& h, jlong m, const Ints& i, jstring) {
         return describe(h, MEDIA(getMatrixInputConnection)(h.env(), h.receiver(), m, i[0], i[1], i[2], i[3]));
     },
     {3, 1, 0, 1}, {4, -3, INT_MAX, INT_MIN}, {4, -3, INT_MAX, INT_MIN, kAddress}, nullptr, nullptr, "int 0", "int 0", "int -1"},
    {"getMatrixNofCodecFormats", 9, Family::plain, true,
     [](jnihost::Host& h, jlong m, const Ints&, jstring) { return describe(h, MEDIA(getMatrixNofCodecFormats)(h.env(), h.receiver(), m)); },
     {}, {}, {}, nullptr, nullptr, "int 4", "", "int 0"},
    {"getMatrixCodecFormatDescription", 10, Family::tested, true,
     [](jnihost::Host& h, jlong m, const Ints& i, jstring) {
         return describe(h, MEDIA(getMatrixCodecFormatDescription)(h.env(), h.receiver(), m, i[0]));
     },
     {1}, {INT_MIN}, {INT_MIN, kAddress, kEngineTextCapacity, kAddress}, nullptr, nullptr,
     "string \"G.711 loi A (t\\u00E9l\\u00E9phonie),8000\"", "null", "string \",0\""},
    {"getMatrixAudioFileDescription", 11, Family::tested, true,
     [](jnihost::Host& h, jlong m, const Ints&, jstring text) {
         return describe(h, MEDIA(getMatrixAudioFileDescription)(h.env(), h.receiver(), m, text));
     },
     {}, {}, {kAddress, kAddress, kAddress}, u"caf\u00E9.wav", "caf\xE9.wav",
     "KXMediaNativeAudioFileDesc(2, 48000)", "null", "KXMediaNativeAudioFileDesc(-1, -1)"},
    {"getMatrixNofProcessors", 12, Family::plain, true,
     [](jnihost::Host& h, jlong m, const Ints&, jstring) { return describe(h, MEDIA(getMatrixNofProcessors)(h.env(), h.receiver(), m)); },
     {}, {}, {}, nullptr, nullptr, "int 3", "", "int 0"},
    {"getMatrixProcessorName", 13, Family::tested, true,
     [](jnihost::Host& h, jlong m, const Ints& i, jstring) { return describe(h, MEDIA(getMatrixProcessorName)(h.env(), h.receiver(), m, i[0])); },
     {1}, {-2}, {-2, kAddress, kEngineTextCapacity}, nullptr, nullptr, "string \"\\u00C9galiseur\"", "null", "string \"\""},
    {"getMatrixProcessorNofParams", 14, Family::tested, true,
     [](jnihost::Host& h, jlong m, const Ints& i, jstring) { return describe(h, MEDIA(getMatrixProcessorNofParams)(h.env(), h.receiver(), m, i[0])); },
     {2}, {INT_MAX}, {INT_MAX, kAddress}, nullptr, nullptr, "int 3", "int 0", "int -1"},
    {"getMatrixProcessorParamName", 15, Family::tested, true,
     [](jnihost::Host& h, jlong m, const Ints& i, jstring) {
         return describe(h, MEDIA(getMatrixProcessorParamName)(h.env(), h.receiver(), m, i[0], i[1]));
     },
     {2, 2}, {-1, INT_MIN}, {-1, INT_MIN, kAddress, kEngineTextCapacity}, nullptr, nullptr, "string \"Attaque\"", "null", "string \"\""},
    {"getMatrixProcessorParamMinMax", 16, Family::tested, true,
     [](jnihost::Host& h, jlong m, const Ints& i, jstring) {
         return describe(h, MEDIA(getMatrixProcessorParamMinMax)(h.env(), h.receiver(), m, i[0], i[1]));
     },
     {2, 1}, {INT_MIN, INT_MAX}, {INT_MIN, INT_MAX, kAddress, kAddress}, nullptr, nullptr,
     "KXMediaNativeParamMinMax(1, 20)", "null", "KXMediaNativeParamMinMax(-1, -1)"},

    // The families over input operations: float cells and values, a cell not preset, the
    // third value class and the start operation.
    {"cell getter of a float (20)", 20, Family::tested, false,
     [](jnihost::Host& h, jlong m, const Ints& i, jstring) { return describe(h, getInputVolume(h.env(), m, i[0], i[1])); },
     {0, 0}, {INT_MIN, INT_MAX}, {INT_MIN, INT_MAX, kAddress}, nullptr, nullptr, "float 1", "float 0", "float 0"},
    {"setter of a float (19)", 19, Family::tested, false,
     [](jnihost::Host& h, jlong m, const Ints& i, jstring) {
         setInputVolume(h.env(), m, i[0], i[1], floatOf(i[2]));
         return describeVoid();
     },
     // The odd float is a signalling NaN: its bits arrive untouched, not quietened.
     {0, 0, 0x3F000000}, {-1, 0, 0x7F800001}, {-1, 0, 0x7F800001}, nullptr, nullptr, "void", "void", "void"},
    {"cell getter not preset (40)", 40, Family::tested, false,
     [](jnihost::Host& h, jlong m, const Ints& i, jstring) { return describe(h, getInputOscFrequency(h.env(), m, i[0])); },
     {3}, {-4}, {-4, kAddress}, nullptr, nullptr, "int 1000", "int 0", "int 0"},
    {"text getter (34)", 34, Family::tested, false,
     [](jnihost::Host& h, jlong m, const Ints& i, jstring) { return describe(h, getInputLiveName(h.env(), m, i[0])); },
     {0}, {INT_MAX}, {INT_MAX, kAddress, kEngineTextCapacity}, nullptr, nullptr, "string \"Entr\\u00E9e 1\"", "null", "string \"\""},
    {"pair getter (23)", 23, Family::tested, false,
     [](jnihost::Host& h, jlong m, const Ints& i, jstring) { return describe(h, getInputMeterValue(h.env(), m, i[0])); },
     {1}, {-1}, {-1, kAddress, kAddress}, nullptr, nullptr,
     "KXMediaNativeValueLeftRight(-96, -96)", "null", "KXMediaNativeValueLeftRight(-1, -1)"},
    {"start operation (43)", 43, Family::tested, false,
     [](jnihost::Host& h, jlong m, const Ints& i, jstring text) {
         startInputStream(h.env(), m, i[0], text, i[1]);
         return describeVoid();
     },
     {0, 7}, {INT_MIN, -7}, {INT_MIN, kAddress, -7}, u"flux \u00E9\u20AC", "flux \xE9\xAC", "void", "void", "void"},
};

class MethodTable : public MediaTest, public ::testing::WithParamInterface<Case> {
protected:
    jstring javaText() { return GetParam().javaText ? host.string(GetParam().javaText) : nullptr; }
    std::string call(jlong handle, const Ints& ints) { return GetParam().call(host, handle, ints, javaText()); }
};

TEST_P(MethodTable, SucceedsWithTheEngineAnswer) {
    const Case& c = GetParam();
    EXPECT_EQ(call(matrix(), c.valid), c.success);
    EXPECT_EQ(takePending(), "");
    EXPECT_EQ(standinCallCount(c.ordinal), 1);
}

TEST_P(MethodTable, FailedStatusIsRaisedWithTheFailureResult) {
    const Case& c = GetParam();
    const jlong handle = matrix();
    for (jint status : {1, -1, 4711, INT_MIN, INT_MAX}) {
        SCOPED_TRACE(status);
        standinFailNext(c.ordinal, status);
        if (c.family == Family::plain) {
            // The answer is the result, whatever its sign; nothing is raised.
            EXPECT_EQ(call(handle, c.valid), describe(host, status));
            EXPECT_EQ(takePending(), "");
        } else {
            const size_t constructedBefore = host.constructed().size();
            EXPECT_EQ(call(handle, c.valid), c.failure);
            EXPECT_EQ(raisedStatus(), status);
            EXPECT_EQ(host.constructed().size(), constructedBefore + 1) << "only the exception is built";
        }
    }
}

TEST_P(MethodTable, EngineSucceedingWithoutWritingGivesThePresetCells) {
    const Case& c = GetParam();
    const jlong handle = matrix();
    standinSucceedSilentlyNext(c.ordinal);
    EXPECT_EQ(call(handle, c.valid), c.silent);
    EXPECT_EQ(takePending(), "");
}

TEST_P(MethodTable, ArgumentsReachTheEngineUnchangedAndInOrder) {
    const Case& c = GetParam();
    const jlong handle = matrix();
    call(handle, c.odd);
    host.clearPending();
    const std::vector<long long> received = argumentsOf(c.ordinal);
    ASSERT_EQ(received.size(), c.engineArguments.size() + 1);
    EXPECT_EQ(received[0], referenceOf(handle)) << "the matrix reference comes first";
    for (size_t i = 0; i < c.engineArguments.size(); ++i) {
        if (c.engineArguments[i] == kAddress) {
            EXPECT_NE(received[i + 1], 0) << "argument " << i + 1 << " is an address";
        } else {
            EXPECT_EQ(received[i + 1], c.engineArguments[i]) << "argument " << i + 1;
        }
    }
    if (c.engineText != nullptr) {
        EXPECT_EQ(textOf(c.ordinal), c.engineText);
    }
}

TEST_P(MethodTable, HandleZeroRaisesIllegalArgumentBeforeTheEngine) {
    const Case& c = GetParam();
    const std::string failure = c.family == Family::plain ? "int 0" : c.failure;
    EXPECT_EQ(call(0, c.valid), failure);
    EXPECT_EQ(takePending(), "java/lang/IllegalArgumentException");
    EXPECT_EQ(standinCallCount(c.ordinal), 0);
}

// The members that take a Java string.
using StringMethods = MethodTable;

TEST_P(StringMethods, NullStringRaisesNullPointerNamingTheParameterBeforeTheEngine) {
    const Case& c = GetParam();
    const jlong handle = matrix();
    EXPECT_EQ(c.call(host, handle, c.valid, nullptr), c.failure);
    ASSERT_TRUE(host.pending());
    EXPECT_EQ(host.exception().className, "java/lang/NullPointerException");
    const std::string message = jnihost::narrow(host.exception().message());
    EXPECT_EQ(message.substr(0, message.find(' ')), c.ordinal == 11 ? "fileName" : "s");
    host.clearPending();
    EXPECT_EQ(standinCallCount(c.ordinal), 0);
}

TEST_P(StringMethods, EightBitCopyIsReleasedOnBothPaths) {
    const Case& c = GetParam();
    if (!HeapWatch::available()) GTEST_SKIP() << "no allocation tracking in this build";
#if defined(_WIN32)
    if (!c.exported) GTEST_SKIP() << "the blocks of KXMedia.dll are the ones watched";
#endif
    const jlong handle = matrix();
    for (bool fail : {false, true}) {
        SCOPED_TRACE(fail ? "failed status" : "success");
        HeapWatch heap;
        if (fail) standinFailNext(c.ordinal, -6);
        EXPECT_EQ(call(handle, c.valid), fail ? c.failure : c.success);
        if (fail) {
            EXPECT_EQ(raisedStatus(), -6);
        }
        const std::vector<long long> received = argumentsOf(c.ordinal);
        ASSERT_GE(received.size(), 2u);
        const long long copy = c.ordinal == 11 ? received[1] : received[2];
        EXPECT_FALSE(heap.allocated(copy)) << "the 8-bit copy outlived the call";
    }
}

std::string caseName(const ::testing::TestParamInfo<Case>& info) {
    std::string name;
    for (const char* p = info.param.name; *p; ++p)
        if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
    return name;
}

std::vector<Case> stringCases() {
    std::vector<Case> cases;
    for (const Case& c : kCases)
        if (c.javaText != nullptr) cases.push_back(c);
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Media, MethodTable, ::testing::ValuesIn(kCases), caseName);
INSTANTIATE_TEST_SUITE_P(Media, StringMethods, ::testing::ValuesIn(stringCases()), caseName);

}  // namespace
}  // namespace mediatest
