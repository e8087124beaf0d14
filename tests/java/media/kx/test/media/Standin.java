package kx.test.media;

import com.sun.jna.Library;
import com.sun.jna.Native;
import java.io.File;

/** The stand-in engine's test controls, reached through JNA in the library KXMedia loaded. */
interface Standin extends Library {
    void standinFailNext(int ordinal, int status);
    void standinSucceedSilentlyNext(int ordinal);
    void standinReset();
    int standinCallCount(int ordinal);
    int standinLastText(int ordinal, byte[] out, int capacity);
    int standinLiveMatrices();

    /** Loads KXMedia as the application does, then the very engine file it bound. */
    static Standin load() {
        System.loadLibrary("KXMedia");
        for (String dir : System.getProperty("java.library.path").split(File.pathSeparator)) {
            File engine = new File(dir, System.mapLibraryName("Ondrix"));
            if (engine.isFile()) {
                return Native.load(engine.getAbsolutePath(), Standin.class);
            }
        }
        throw new IllegalStateException("no stand-in engine on java.library.path");
    }

    /** The bytes of the text the operation last received. */
    default byte[] lastText(int ordinal) {
        byte[] out = new byte[1024];
        int length = standinLastText(ordinal, out, out.length);
        return java.util.Arrays.copyOf(out, Math.max(length, 0));
    }
}
