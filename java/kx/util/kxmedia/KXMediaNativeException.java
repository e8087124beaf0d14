package kx.util.kxmedia;

/** A failed engine operation; carries the engine's status code unchanged. */
public class KXMediaNativeException extends Exception {
    private static final long serialVersionUID = 1L;
    private final int status;

    public KXMediaNativeException(int status) {
        super("engine status " + status);
        this.status = status;
    }

    public int getStatus() { return status; }
}
