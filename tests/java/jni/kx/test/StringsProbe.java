package kx.test;

/** The string helpers and the exception raise, exposed by the test library KXStringsProbe. */
final class StringsProbe {
    static { System.loadLibrary("KXStringsProbe"); }

    private StringsProbe() {}

    static native String ansiBytes(String value);
    static native String fromAnsiBytes(String hex);
    static native String roundTrip(String value);
    static native void raise(String hexMessage) throws Exception;
}
