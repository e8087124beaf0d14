package kx.test.media;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertNotEquals;
import static org.junit.jupiter.api.Assertions.assertNotNull;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.util.LinkedHashMap;
import java.util.Map;
import kx.util.kxmedia.KXMediaNative;
import kx.util.kxmedia.KXMediaNativeAudioFileDesc;
import kx.util.kxmedia.KXMediaNativeException;
import kx.util.kxmedia.KXMediaNativeParamMinMax;
import org.junit.jupiter.api.AfterEach;
import org.junit.jupiter.api.BeforeEach;
import org.junit.jupiter.api.Test;

/** KXMedia in a real JVM, over the stand-in engine: what only a JVM can show. */
class MediaInTheJvmTest {
    private static final Standin ENGINE = Standin.load();

    /** One call of a native method on a matrix handle. */
    interface MatrixCall {
        Object call(long handle) throws KXMediaNativeException;
    }

    /** Every method that takes a handle, with arguments the stand-in accepts. */
    private static Map<String, MatrixCall> methods() {
        Map<String, MatrixCall> methods = new LinkedHashMap<>();
        methods.put("getMatrixNofInputs", h -> KXMediaNative.getMatrixNofInputs(h, -1));
        methods.put("getMatrixNofOutputs", h -> KXMediaNative.getMatrixNofOutputs(h, -1));
        methods.put("getMatrixInputType", h -> KXMediaNative.getMatrixInputType(h, 1));
        methods.put("getMatrixOutputType", h -> KXMediaNative.getMatrixOutputType(h, 1));
        methods.put("setMatrixInputConnection", h -> {
            KXMediaNative.setMatrixInputConnection(h, 1, 0, 0, 1, 64);
            return null;
        });
        methods.put("getMatrixInputConnection", h -> KXMediaNative.getMatrixInputConnection(h, 1, 0, 0, 1));
        methods.put("getMatrixNofCodecFormats", KXMediaNative::getMatrixNofCodecFormats);
        methods.put("getMatrixCodecFormatDescription", h -> KXMediaNative.getMatrixCodecFormatDescription(h, 0));
        methods.put("getMatrixAudioFileDescription", h -> KXMediaNative.getMatrixAudioFileDescription(h, "voix.au"));
        methods.put("getMatrixNofProcessors", KXMediaNative::getMatrixNofProcessors);
        methods.put("getMatrixProcessorName", h -> KXMediaNative.getMatrixProcessorName(h, 0));
        methods.put("getMatrixProcessorNofParams", h -> KXMediaNative.getMatrixProcessorNofParams(h, 1));
        methods.put("getMatrixProcessorParamName", h -> KXMediaNative.getMatrixProcessorParamName(h, 1, 0));
        methods.put("getMatrixProcessorParamMinMax", h -> KXMediaNative.getMatrixProcessorParamMinMax(h, 1, 0));
        methods.put("deleteMatrix", h -> {
            KXMediaNative.deleteMatrix(h);
            return null;
        });
        return methods;
    }

    private long matrix;

    @BeforeEach
    void createMatrix() throws KXMediaNativeException {
        ENGINE.standinReset();
        matrix = KXMediaNative.createMatrix(3, 2, 44100);
        assertNotEquals(0, matrix);
    }

    @AfterEach
    void deleteMatrix() throws KXMediaNativeException {
        ENGINE.standinReset();
        if (matrix != 0) {
            KXMediaNative.deleteMatrix(matrix);
        }
    }

    @Test
    void everyMethodIsBoundAndAnswers() throws KXMediaNativeException {
        int live = ENGINE.standinLiveMatrices();
        Map<String, Object> answers = new LinkedHashMap<>();
        for (Map.Entry<String, MatrixCall> method : methods().entrySet()) {
            answers.put(method.getKey(), method.getValue().call(matrix));
        }
        matrix = 0;  // deleted by the last call
        assertEquals(3, answers.get("getMatrixNofInputs"));
        assertEquals(2, answers.get("getMatrixNofOutputs"));
        assertEquals(1, answers.get("getMatrixInputType"));
        assertEquals(1, answers.get("getMatrixOutputType"));
        assertEquals(64, answers.get("getMatrixInputConnection"));
        assertEquals(4, answers.get("getMatrixNofCodecFormats"));
        assertEquals("PCM 16 bits 48 kHz,48000", answers.get("getMatrixCodecFormatDescription"));
        assertEquals(3, answers.get("getMatrixNofProcessors"));
        assertEquals("Gain", answers.get("getMatrixProcessorName"));
        assertEquals(2, answers.get("getMatrixProcessorNofParams"));
        assertEquals("Graves", answers.get("getMatrixProcessorParamName"));
        assertEquals(live - 1, ENGINE.standinLiveMatrices());
    }

    @Test
    void valueObjectsCarryTheEngineCellsInOrder() throws KXMediaNativeException {
        KXMediaNativeParamMinMax range = KXMediaNative.getMatrixProcessorParamMinMax(matrix, 2, 1);
        assertEquals(1, range.min);
        assertEquals(20, range.max);
        KXMediaNativeAudioFileDesc file = KXMediaNative.getMatrixAudioFileDescription(matrix, "annonce.wav");
        assertEquals(2, file.first);
        assertEquals(48000, file.second);

        ENGINE.standinSucceedSilentlyNext(16);
        KXMediaNativeParamMinMax untouched = KXMediaNative.getMatrixProcessorParamMinMax(matrix, 2, 1);
        assertEquals(-1, untouched.min);
        assertEquals(-1, untouched.max);
        ENGINE.standinSucceedSilentlyNext(8);
        assertEquals(-1, KXMediaNative.getMatrixInputConnection(matrix, 0, 0, 0, 0));
    }

    @Test
    void failedStatusIsThrownWithTheEngineStatus() {
        for (int status : new int[] {-1, 7, Integer.MIN_VALUE, Integer.MAX_VALUE}) {
            ENGINE.standinFailNext(13, status);
            KXMediaNativeException e = assertThrows(KXMediaNativeException.class,
                    () -> KXMediaNative.getMatrixProcessorName(matrix, 0));
            assertEquals(status, e.getStatus());
        }
        ENGINE.standinFailNext(2, -9);
        assertEquals(-9, assertThrows(KXMediaNativeException.class, () -> KXMediaNative.deleteMatrix(matrix)).getStatus());
        assertEquals(3, KXMediaNative.getMatrixNofInputs(matrix, -1), "a refused delete keeps the matrix usable");

        int live = ENGINE.standinLiveMatrices();
        assertEquals(-3, assertThrows(KXMediaNativeException.class, () -> KXMediaNative.createMatrix(0, 1, 0)).getStatus());
        assertEquals(live, ENGINE.standinLiveMatrices());
    }

    @Test
    void plainGettersReturnNegativeAnswersWithoutThrowing() {
        ENGINE.standinFailNext(12, -5);
        assertEquals(-5, KXMediaNative.getMatrixNofProcessors(matrix));
        assertEquals(-2, KXMediaNative.getMatrixInputType(matrix, 99), "the engine's own answer for no such input");
    }

    @Test
    void stringsCrossAsLatin1BothWays() throws KXMediaNativeException {
        assertEquals("\u00c9galiseur", KXMediaNative.getMatrixProcessorName(matrix, 1));
        assertEquals("G.711 loi A (t\u00e9l\u00e9phonie),8000", KXMediaNative.getMatrixCodecFormatDescription(matrix, 1));
        String longest = KXMediaNative.getMatrixCodecFormatDescription(matrix, 3);
        assertEquals(511, longest.length());
        assertTrue(longest.endsWith(".,-2147483648"));

        KXMediaNative.getMatrixAudioFileDescription(matrix, "caf\u00e9.wav");
        assertArrayEquals(new byte[] {'c', 'a', 'f', (byte) 0xE9, '.', 'w', 'a', 'v'}, ENGINE.lastText(11));
    }

    @Test
    void nullFileNameThrowsNullPointerExceptionBeforeTheEngine() {
        NullPointerException e = assertThrows(NullPointerException.class,
                () -> KXMediaNative.getMatrixAudioFileDescription(matrix, null));
        assertNotNull(e.getMessage());
        assertTrue(e.getMessage().startsWith("fileName"), e.getMessage());
        assertEquals(0, ENGINE.standinCallCount(11));
    }

    @Test
    void handleZeroThrowsIllegalArgumentExceptionBeforeTheEngine() {
        for (Map.Entry<String, MatrixCall> method : methods().entrySet()) {
            assertThrows(IllegalArgumentException.class, () -> method.getValue().call(0), method.getKey());
        }
        for (int ordinal = 2; ordinal <= 16; ++ordinal) {
            assertEquals(0, ENGINE.standinCallCount(ordinal), "operation " + ordinal);
        }
    }
}
