package kx.bench;

/** Times, side by side in one JVM, the raise and conversion paths of the libraries. */
public final class RaiseBench {
    static native void raiseThroughConstructor(int i) throws Exception;
    static native void raiseWithThrowNew(int i) throws Exception;
    static native int copyLowBytes(String value);
    static native int copyUtf(String value);

    interface Body { long run(int i) throws Exception; }

    static double nanosPerCall(Body body, int calls) throws Exception {
        long sink = 0;
        for (int round = 0; round < 3; round++) {  // warm-up rounds, then the measured one
            long start = System.nanoTime();
            for (int i = 0; i < calls; i++) sink += body.run(i);
            long elapsed = System.nanoTime() - start;
            if (round == 2) {
                if (sink == 42) System.out.print("");
                return (double) elapsed / calls;
            }
        }
        throw new AssertionError();
    }

    static long raise(boolean constructor, int i) {
        try {
            if (constructor) raiseThroughConstructor(i); else raiseWithThrowNew(i);
        } catch (Exception e) {
            return e.getMessage().length();
        }
        throw new AssertionError("nothing raised");
    }

    static void report(String what, double ours, double shortcut) {
        System.out.printf("%-48s %9.1f ns %9.1f ns   ratio %.2f%n", what, ours, shortcut, ours / shortcut);
    }

    public static void main(String[] args) throws Exception {
        System.loadLibrary("KXBench");
        int calls = args.length > 0 ? Integer.parseInt(args[0]) : 200_000;
        String text = "HKEY_CURRENT_USER\\Software\\Example\\" + "x".repeat(200);
        System.out.printf("%-48s %12s %12s%n", "", "ours", "shortcut");
        report("raise: (String) constructor vs ThrowNew", nanosPerCall(i -> raise(true, i), calls),
               nanosPerCall(i -> raise(false, i), calls));
        report("string in: low bytes vs GetStringUTFChars", nanosPerCall(i -> copyLowBytes(text), calls),
               nanosPerCall(i -> copyUtf(text), calls));
    }
}
