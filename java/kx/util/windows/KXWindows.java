package kx.util.windows;

/**
 * Windows facilities for Java: registry, system clock, CPU usage, disks and memory,
 * services, administrator check, shell shortcuts and console break.
 * Implemented by the native library KXWindows.
 */
public final class KXWindows {
    private KXWindows() {}

    // Registry; a key path is "ROOT\sub\key", ROOT one of the seven HKEY_* names.
    public static native String readRegisterKeyValue(String keyPath, String valueName) throws Exception;
    public static native boolean writeRegisterKeyValue(String keyPath, String valueName, String value) throws Exception;
    public static native boolean writeRegisterKeyValue(String keyPath, String valueName, int value) throws Exception;
    public static native boolean deleteRegisterKey(String keyPath) throws Exception;
    public static native boolean deleteRegisterKeyValue(String keyPath, String valueName) throws Exception;

    // System clock.
    public static native boolean setSystemTime(long javaTime);
    public static native void adjustSystemTime(long shiftMillis) throws Exception;

    // CPU usage over a sampling interval, in percent.
    public static native int getCpuUsage(int intervalMillis) throws Exception;

    // Directories, drives, disk space and memory.
    public static native String getWindowsDirectory() throws Exception;
    public static native String getSystemDirectory() throws Exception;
    public static native String GetLogicalDriveStrings() throws Exception;
    public static native int getDriveType(String rootPath);
    public static native long getFreeDiskSpace(String directory) throws Exception;
    public static native int getTotalPhysicalMemorySize();
    public static native int getAvailablePhysicalMemorySize();

    // Services, addressed by display name.
    public static native void startService(String displayName) throws Exception;
    public static native void stopService(String displayName) throws Exception;
    public static native int getServiceStatus(String displayName) throws Exception;
    public static native String getServicesList(boolean activeOnly) throws Exception;

    // Administrator check.
    public static native boolean isAdministratorNT();

    // Shell shortcuts and console.
    public static native boolean createLink(String target, String workingDirectory, String arguments,
                                            String linkFile, String iconFile, String description);
    public static native boolean sendCtrlBreak();
    public static native void changeStdStream(int stream, int handle) throws Exception;
}
