package kx.util.kxmedia;

/** Two ints reported together by the engine. */
public final class KXMediaNativeValueLeftRight {
    public final int left;
    public final int right;

    public KXMediaNativeValueLeftRight(int left, int right) {
        this.left = left;
        this.right = right;
    }

    @Override public String toString() { return "KXMediaNativeValueLeftRight(" + left + ", " + right + ")"; }
}
