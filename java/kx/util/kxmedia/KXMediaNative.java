package kx.util.kxmedia;

/**
 * The audio matrix engine for Java. A matrix handle comes from createMatrix and is passed
 * first to every other method until deleteMatrix. Implemented by the native library KXMedia.
 */
public final class KXMediaNative {
    private KXMediaNative() {}

    public static native long createMatrix(int a, int b, int c) throws KXMediaNativeException;
    public static native void deleteMatrix(long handle) throws KXMediaNativeException;
    public static native int getMatrixNofInputs(long handle, int a);
    public static native int getMatrixNofOutputs(long handle, int a);
    public static native int getMatrixInputType(long handle, int input);
    public static native int getMatrixOutputType(long handle, int output);
    public static native void setMatrixInputConnection(long handle, int a, int b, int c, int d, int value) throws KXMediaNativeException;
    public static native int getMatrixInputConnection(long handle, int a, int b, int c, int d) throws KXMediaNativeException;
    public static native int getMatrixNofCodecFormats(long handle);
    public static native String getMatrixCodecFormatDescription(long handle, int format) throws KXMediaNativeException;
    public static native KXMediaNativeAudioFileDesc getMatrixAudioFileDescription(long handle, String fileName) throws KXMediaNativeException;
    public static native int getMatrixNofProcessors(long handle);
    public static native String getMatrixProcessorName(long handle, int processor) throws KXMediaNativeException;
    public static native int getMatrixProcessorNofParams(long handle, int processor) throws KXMediaNativeException;
    public static native String getMatrixProcessorParamName(long handle, int processor, int param) throws KXMediaNativeException;
    public static native KXMediaNativeParamMinMax getMatrixProcessorParamMinMax(long handle, int processor, int param) throws KXMediaNativeException;
    public static native void setInputState(long handle, int input, int b, int value) throws KXMediaNativeException;
    public static native int getInputState(long handle, int input, int b) throws KXMediaNativeException;
    public static native void setInputVolume(long handle, int input, int b, float value) throws KXMediaNativeException;
    public static native float getInputVolume(long handle, int input, int b) throws KXMediaNativeException;
    public static native void setInputMeterPoint(long handle, int input, int value) throws KXMediaNativeException;
    public static native int getInputMeterPoint(long handle, int input) throws KXMediaNativeException;
    public static native KXMediaNativeValueLeftRight getInputMeterValue(long handle, int input) throws KXMediaNativeException;
    public static native void insertInputProcessor(long handle, int input, int b, int c) throws KXMediaNativeException;
    public static native void removeInputProcessor(long handle, int input, int b) throws KXMediaNativeException;
    public static native int getInputProcessorIndex(long handle, int input, int b) throws KXMediaNativeException;
    public static native void setInputProcessorParamValue(long handle, int input, int b, int c, int value) throws KXMediaNativeException;
    public static native int getInputProcessorParamValue(long handle, int input, int b, int c) throws KXMediaNativeException;
    public static native String getInputProcessorParamValueText(long handle, int input, int b, int c, int d) throws KXMediaNativeException;
    public static native void setInputLivePriority(long handle, int input, int value) throws KXMediaNativeException;
    public static native int getInputLivePriority(long handle, int input) throws KXMediaNativeException;
    public static native void setInputLiveMode(long handle, int input, int value) throws KXMediaNativeException;
    public static native int getInputLiveMode(long handle, int input) throws KXMediaNativeException;
    public static native String getInputLiveName(long handle, int input) throws KXMediaNativeException;
    public static native void startInputMessageFile(long handle, int input, String fileName, int c) throws KXMediaNativeException;
    public static native void stopInputMessageFile(long handle, int input) throws KXMediaNativeException;
    public static native int getInputMessagePlaybackState(long handle, int input) throws KXMediaNativeException;
    public static native void setInputOscFrequency(long handle, int input, int value) throws KXMediaNativeException;
    public static native int getInputOscFrequency(long handle, int input) throws KXMediaNativeException;
    public static native void setInputOscType(long handle, int input, int value) throws KXMediaNativeException;
    public static native int getInputOscType(long handle, int input) throws KXMediaNativeException;
    public static native void startInputStream(long handle, int input, String s, int c) throws KXMediaNativeException;
    public static native void stopInputStream(long handle, int input) throws KXMediaNativeException;
    public static native int getInputStreamState(long handle, int input) throws KXMediaNativeException;
    public static native void setInputStreamPriority(long handle, int input, int value) throws KXMediaNativeException;
    public static native int getInputStreamPriority(long handle, int input) throws KXMediaNativeException;
    public static native void setOutputState(long handle, int output, int b, int value) throws KXMediaNativeException;
    public static native int getOutputState(long handle, int output, int b) throws KXMediaNativeException;
    public static native void setOutputVolume(long handle, int output, int b, float value) throws KXMediaNativeException;
    public static native float getOutputVolume(long handle, int output, int b) throws KXMediaNativeException;
    public static native void setOutputMeterPoint(long handle, int output, int value) throws KXMediaNativeException;
    public static native int getOutputMeterPoint(long handle, int output) throws KXMediaNativeException;
    public static native KXMediaNativeValueLeftRight getOutputMeterValue(long handle, int output) throws KXMediaNativeException;
    public static native void insertOutputProcessor(long handle, int output, int b, int c) throws KXMediaNativeException;
    public static native void removeOutputProcessor(long handle, int output, int b) throws KXMediaNativeException;
    public static native int getOutputProcessorIndex(long handle, int output, int b) throws KXMediaNativeException;
    public static native void setOutputProcessorParamValue(long handle, int output, int b, int c, int value) throws KXMediaNativeException;
    public static native int getOutputProcessorParamValue(long handle, int output, int b, int c) throws KXMediaNativeException;
    public static native String getOutputProcessorParamValueText(long handle, int output, int b, int c, int d) throws KXMediaNativeException;
    public static native String getOutputLiveName(long handle, int output) throws KXMediaNativeException;
    public static native void startOutputRecordFile(long handle, int output, String fileName, int c) throws KXMediaNativeException;
    public static native void stopOutputRecordFile(long handle, int output) throws KXMediaNativeException;
    public static native int getOutputRecordState(long handle, int output) throws KXMediaNativeException;
    public static native void startOutputStream(long handle, int output, String s, int c) throws KXMediaNativeException;
    public static native void stopOutputStream(long handle, int output) throws KXMediaNativeException;
    public static native int getOutputStreamState(long handle, int output) throws KXMediaNativeException;
}
