package kx.util.kxmedia;

/** Two ints reported together by the engine. */
public final class KXMediaNativeAudioFileDesc {
    public final int first;
    public final int second;

    public KXMediaNativeAudioFileDesc(int first, int second) {
        this.first = first;
        this.second = second;
    }

    @Override public String toString() { return "KXMediaNativeAudioFileDesc(" + first + ", " + second + ")"; }
}
