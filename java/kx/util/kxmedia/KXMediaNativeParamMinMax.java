package kx.util.kxmedia;

/** Two ints reported together by the engine. */
public final class KXMediaNativeParamMinMax {
    public final int min;
    public final int max;

    public KXMediaNativeParamMinMax(int min, int max) {
        this.min = min;
        this.max = max;
    }

    @Override public String toString() { return "KXMediaNativeParamMinMax(" + min + ", " + max + ")"; }
}
