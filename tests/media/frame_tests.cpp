// The matrix handle and cell, creating and deleting a matrix, the codec format description,
// and the diagnostics shown when a Java class or constructor is missing.
#include "tests/media/media_fixture.h"

#include "media/frame.h"

#include <climits>
#include <cstdint>
#include <functional>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace mediatest {
namespace {

#define MEDIA(method) KX_NATIVE(library(), Java_kx_util_kxmedia_KXMediaNative_##method)

TEST(MatrixHandle, IsTheCellAddressAsASignedNumber) {
    MatrixRef cell = 0;
    EXPECT_EQ(cellOfHandle(handleOfCell(&cell)), &cell);
    if (sizeof(void*) == 4) {
        // An address at or above 2 GB widens with its sign and converts back to itself.
        auto* high = reinterpret_cast<MatrixRef*>(std::uintptr_t{0x80000010u});
        EXPECT_EQ(handleOfCell(high), -2147483632LL);
        EXPECT_EQ(cellOfHandle(-2147483632LL), high);
        auto* top = reinterpret_cast<MatrixRef*>(std::uintptr_t{0xFFFFFFFCu});
        EXPECT_EQ(handleOfCell(top), -4);
        EXPECT_EQ(cellOfHandle(-4), top);
    }
}

using MatrixMethods = MediaTest;

#if defined(_WIN32) && !defined(_WIN64)
TEST_F(MatrixMethods, NegativeHandleDesignatesTheCellAboveTwoGigabytes) {
    // This program is large-address aware, so top-down memory lies above 2 GB.
    void* page = VirtualAlloc(nullptr, 4096, MEM_RESERVE | MEM_COMMIT | MEM_TOP_DOWN, PAGE_READWRITE);
    ASSERT_NE(page, nullptr);
    if (reinterpret_cast<std::uintptr_t>(page) < 0x80000000u) {
        VirtualFree(page, 0, MEM_RELEASE);
        GTEST_SKIP() << "no memory above 2 GB here";
    }
    auto* cell = static_cast<MatrixRef*>(page);
    *cell = referenceOf(matrix());
    const jlong handle = handleOfCell(cell);
    EXPECT_LT(handle, 0);
    EXPECT_EQ(MEDIA(getMatrixNofInputs)(env(), cls(), handle, -1), 4);
    EXPECT_EQ(standinLastArgument(3, 0), *cell);
    VirtualFree(page, 0, MEM_RELEASE);
}
#endif

TEST_F(MatrixMethods, CreateHandsTheEngineItsArgumentsAndTheCell) {
    const jlong handle = MEDIA(createMatrix)(env(), cls(), 3, 64, INT_MIN);
    ASSERT_EQ(takePending(), "");
    matrices.push_back(handle);
    const std::vector<long long> received = argumentsOf(1);
    ASSERT_EQ(received.size(), 4u);
    EXPECT_EQ(received[0], 3);
    EXPECT_EQ(received[1], 64);
    EXPECT_EQ(received[2], INT_MIN);
    EXPECT_EQ(reinterpret_cast<MatrixRef*>(static_cast<std::uintptr_t>(received[3])), cellOfHandle(handle));
    EXPECT_EQ(standinLiveMatrices(), static_cast<int>(matrices.size()));
}

TEST_F(MatrixMethods, FailedCreateRaisesAndLeavesNoCell) {
    HeapWatch heap;
    const int live = standinLiveMatrices();
    // A refusal of the model (no inputs) and injected statuses, negative included.
    struct Attempt {
        jint inputs;
        jint injected;
        jint status;
    };
    for (const Attempt& attempt : {Attempt{0, 0, -3}, Attempt{4, -1, -1}, Attempt{4, 99, 99}, Attempt{4, INT_MIN, INT_MIN}}) {
        SCOPED_TRACE(attempt.status);
        if (attempt.injected != 0) standinFailNext(1, attempt.injected);
        EXPECT_EQ(MEDIA(createMatrix)(env(), cls(), attempt.inputs, 2, 0), 0);
        EXPECT_EQ(raisedStatus(), attempt.status);
        if (HeapWatch::available()) {
            EXPECT_FALSE(heap.allocated(standinLastArgument(1, 3))) << "the cell outlived the failure";
        }
    }
    EXPECT_EQ(standinLiveMatrices(), live);
}

TEST_F(MatrixMethods, CreateThenDeleteLeavesNothingAllocated) {
    HeapWatch heap;
    const int live = standinLiveMatrices();
    const jlong handle = MEDIA(createMatrix)(env(), cls(), 1, 1, 8000);
    ASSERT_EQ(takePending(), "");
    const long long cell = standinLastArgument(1, 3);
    if (HeapWatch::available()) {
        EXPECT_TRUE(heap.allocated(cell));
    }
    const MatrixRef reference = referenceOf(handle);

    MEDIA(deleteMatrix)(env(), cls(), handle);
    EXPECT_EQ(takePending(), "");
    EXPECT_EQ(argumentsOf(2), std::vector<long long>{reference});
    EXPECT_EQ(standinLiveMatrices(), live);
    if (HeapWatch::available()) {
        EXPECT_FALSE(heap.allocated(cell));
    }
}

TEST_F(MatrixMethods, RefusedDeleteKeepsTheCellAndTheHandle) {
    HeapWatch heap;
    const jlong handle = MEDIA(createMatrix)(env(), cls(), 2, 2, 0);
    ASSERT_EQ(takePending(), "");
    for (jint status : {-9, 3}) {
        standinFailNext(2, status);
        MEDIA(deleteMatrix)(env(), cls(), handle);
        EXPECT_EQ(raisedStatus(), status);
        if (HeapWatch::available()) {
            EXPECT_TRUE(heap.allocated(standinLastArgument(1, 3)));
        }
        EXPECT_EQ(MEDIA(getMatrixNofInputs)(env(), cls(), handle, -1), 2) << "the handle still designates the matrix";
    }
    MEDIA(deleteMatrix)(env(), cls(), handle);
    EXPECT_EQ(takePending(), "");
    if (HeapWatch::available()) {
        EXPECT_FALSE(heap.allocated(standinLastArgument(1, 3)));
    }
}

TEST_F(MatrixMethods, DeleteOfHandleZeroRaisesBeforeTheEngine) {
    MEDIA(deleteMatrix)(env(), cls(), 0);
    EXPECT_EQ(takePending(), "java/lang/IllegalArgumentException");
    EXPECT_EQ(standinCallCount(2), 0);
}

TEST_F(MatrixMethods, CodecFormatDescriptionJoinsTextAndCellWhole) {
    const jlong handle = matrix();
    auto description = [&](jint format) { return host.text(MEDIA(getMatrixCodecFormatDescription)(env(), cls(), handle, format)); };
    EXPECT_EQ(description(0), u"PCM 16 bits 48 kHz,48000");
    EXPECT_EQ(description(2), u",0") << "an empty text and the cell 0";
    // 499 characters of text and the longest number: 511 characters, nothing cut.
    const std::u16string longest = description(3);
    ASSERT_EQ(longest.size(), 511u);
    EXPECT_EQ(longest.substr(0, 14), u"Format de test");
    EXPECT_EQ(longest.substr(499), u",-2147483648");
    EXPECT_EQ(takePending(), "");
}

// --- Diagnostics -----------------------------------------------------------------------------

jobject meterValue(JNIEnv* env, jlong handle) { return pairGetter<oxGetInputMeterValue, kValueLeftRightClass>(env, handle, 0); }

struct DiagnosticCase {
    const char* name;
    std::function<void(jnihost::Host&)> breakClasses;
    int failingOrdinal;  // 0: the operation succeeds
    std::function<std::string(jnihost::Host&, jlong)> call;
    std::string result;
    const char* text;
    const char* vmError;
};

const std::string kMissingException = "C_KX_MEDIA --  FindClass sur kx/util/kxmedia/KXMediaNativeException retourne null";

const DiagnosticCase kDiagnostics[] = {
    {"exception class missing, setter", [](jnihost::Host& h) { h.removeClass(kExceptionClass); }, 7,
     [](jnihost::Host& h, jlong m) {
         MEDIA(setMatrixInputConnection)(h.env(), h.receiver(), m, 0, 0, 0, 0, 1);
         return describeVoid();
     },
     "void", kMissingException.c_str(), "java/lang/NoClassDefFoundError"},
    {"exception class missing, text getter", [](jnihost::Host& h) { h.removeClass(kExceptionClass); }, 13,
     [](jnihost::Host& h, jlong m) { return describe(h, MEDIA(getMatrixProcessorName)(h.env(), h.receiver(), m, 0)); }, "null",
     kMissingException.c_str(), "java/lang/NoClassDefFoundError"},
    {"exception constructor missing", [](jnihost::Host& h) { h.removeConstructor(kExceptionClass, "(I)V"); }, 14,
     [](jnihost::Host& h, jlong m) { return describe(h, MEDIA(getMatrixProcessorNofParams)(h.env(), h.receiver(), m, 0)); }, "int 0",
     "C_KX_MEDIA --  GetMethodID sur constructeur de kx/util/kxmedia/KXMediaNativeException avec la signature '(I)V' retourne 0",
     "java/lang/NoSuchMethodError"},
    {"exception class missing, failed create", [](jnihost::Host& h) { h.removeClass(kExceptionClass); }, 1,
     [](jnihost::Host& h, jlong) { return describe(h, static_cast<jint>(MEDIA(createMatrix)(h.env(), h.receiver(), 1, 1, 0))); }, "int 0",
     kMissingException.c_str(), "java/lang/NoClassDefFoundError"},
    {"ParamMinMax class missing", [](jnihost::Host& h) { h.removeClass(kParamMinMaxClass); }, 0,
     [](jnihost::Host& h, jlong m) { return describe(h, MEDIA(getMatrixProcessorParamMinMax)(h.env(), h.receiver(), m, 0, 0)); }, "null",
     "C_KX_MEDIA --  FindClass sur kx/util/kxmedia/KXMediaNativeParamMinMax retourne null", "java/lang/NoClassDefFoundError"},
    {"AudioFileDesc class missing", [](jnihost::Host& h) { h.removeClass(kAudioFileDescClass); }, 0,
     [](jnihost::Host& h, jlong m) { return describe(h, MEDIA(getMatrixAudioFileDescription)(h.env(), h.receiver(), m, h.latin1("a.wav"))); },
     "null", "C_KX_MEDIA --  FindClass sur kx/util/kxmedia/KXMediaNativeAudioFileDesc retourne null", "java/lang/NoClassDefFoundError"},
    {"ValueLeftRight class missing", [](jnihost::Host& h) { h.removeClass(kValueLeftRightClass); }, 0,
     [](jnihost::Host& h, jlong m) { return describe(h, meterValue(h.env(), m)); }, "null",
     "C_KX_MEDIA --  FindClass sur kx/util/kxmedia/KXMediaNativeValueLeftRight retourne null", "java/lang/NoClassDefFoundError"},
    {"ParamMinMax constructor missing", [](jnihost::Host& h) { h.removeConstructor(kParamMinMaxClass, "(II)V"); }, 0,
     [](jnihost::Host& h, jlong m) { return describe(h, MEDIA(getMatrixProcessorParamMinMax)(h.env(), h.receiver(), m, 0, 0)); }, "null",
     "M\xE9thode  <init> avec la signature (II)V de kx/util/kxmedia/KXMediaNativeParamMinMax non trouv\xE9" "e",
     "java/lang/NoSuchMethodError"},
    {"AudioFileDesc constructor missing", [](jnihost::Host& h) { h.removeConstructor(kAudioFileDescClass, "(II)V"); }, 0,
     [](jnihost::Host& h, jlong m) { return describe(h, MEDIA(getMatrixAudioFileDescription)(h.env(), h.receiver(), m, h.latin1("a.au"))); },
     "null", "M\xE9thode  <init> avec la signature (II)V de kx/util/kxmedia/KXMediaNativeAudioFileDesc non trouv\xE9" "e",
     "java/lang/NoSuchMethodError"},
    {"ValueLeftRight constructor missing", [](jnihost::Host& h) { h.removeConstructor(kValueLeftRightClass, "(II)V"); }, 0,
     [](jnihost::Host& h, jlong m) { return describe(h, meterValue(h.env(), m)); }, "null",
     "M\xE9thode  <init> avec la signature (II)V de kx/util/kxmedia/KXMediaNativeValueLeftRight non trouv\xE9" "e",
     "java/lang/NoSuchMethodError"},
};

class Diagnostics : public MediaTest, public ::testing::WithParamInterface<DiagnosticCase> {};

TEST_P(Diagnostics, ShowTheirTextOnceAndRaiseNothingOfTheirOwn) {
    const DiagnosticCase& c = GetParam();
    const jlong handle = matrix();
    const size_t constructedBefore = host.constructed().size();
    c.breakClasses(host);
    if (c.failingOrdinal != 0) standinFailNext(c.failingOrdinal, -12);
    DiagnosticWatch watch;
    EXPECT_EQ(c.call(host, handle), c.result);
    const std::vector<DiagnosticWatch::Box> boxes = watch.boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, c.text);
#if defined(_WIN32)
    EXPECT_EQ(boxes[0].caption, "Error");
    EXPECT_EQ(boxes[0].style, 0x40u);
#endif
    EXPECT_EQ(takePending(), c.vmError) << "the virtual machine's own error is what Java sees";
    EXPECT_EQ(host.constructed().size(), constructedBefore) << "nothing built by the bridge";
}

INSTANTIATE_TEST_SUITE_P(Media, Diagnostics, ::testing::ValuesIn(kDiagnostics), [](const auto& info) {
    std::string name;
    for (const char* p = info.param.name; *p; ++p)
        if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
    return name;
});

}  // namespace
}  // namespace mediatest
