// The operations of the Ondrix audio matrix engine that KXMedia calls, one per native method.
//
// Every operation uses the stdcall convention and takes 32-bit arguments only: ints, 32-bit
// floats, addresses of out cells, addresses of 8-bit text, and text buffers followed by
// their capacity. Every operation but oxCreateMatrix takes the matrix reference first.
// Operations 3, 4, 5, 6, 9 and 12 answer with their int result; all others return an
// engine status, 0 for success, after which every out cell and text buffer is written.
//
// On Windows they are imported from Ondrix.dll by ordinal only: the ordinal ends each
// declaration's line (as "// @N") and the import library's .def is generated from these
// lines, so the list exists once. On Linux they bind by name to libOndrix.so.
#pragma once

#include <cstdint>

#if defined(_WIN32)
#define KX_ENGINE_CALL __stdcall
#else
#define KX_ENGINE_CALL
#endif

using MatrixRef = std::int32_t;     // the engine's opaque value for one matrix
using EngineStatus = std::int32_t;  // 0 for success; any other value is the engine's failure code

static_assert(sizeof(float) == 4, "volumes cross the engine boundary as 32-bit floats");

// Capacity of the text buffers handed to the engine; texts it writes fit, terminator included.
constexpr std::int32_t kEngineTextCapacity = 500;

extern "C" {

// Matrix topology and catalogues.
EngineStatus KX_ENGINE_CALL oxCreateMatrix(std::int32_t a, std::int32_t b, std::int32_t c, MatrixRef* cell);  // @1
EngineStatus KX_ENGINE_CALL oxDeleteMatrix(MatrixRef matrix);  // @2
std::int32_t KX_ENGINE_CALL oxGetMatrixNofInputs(MatrixRef matrix, std::int32_t a);  // @3
std::int32_t KX_ENGINE_CALL oxGetMatrixNofOutputs(MatrixRef matrix, std::int32_t a);  // @4
std::int32_t KX_ENGINE_CALL oxGetMatrixInputType(MatrixRef matrix, std::int32_t input);  // @5
std::int32_t KX_ENGINE_CALL oxGetMatrixOutputType(MatrixRef matrix, std::int32_t output);  // @6
EngineStatus KX_ENGINE_CALL oxSetMatrixInputConnection(MatrixRef matrix, std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d, std::int32_t value);  // @7
EngineStatus KX_ENGINE_CALL oxGetMatrixInputConnection(MatrixRef matrix, std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d, std::int32_t* value);  // @8
std::int32_t KX_ENGINE_CALL oxGetMatrixNofCodecFormats(MatrixRef matrix);  // @9
EngineStatus KX_ENGINE_CALL oxGetMatrixCodecFormatDescription(MatrixRef matrix, std::int32_t format, char* text, std::int32_t capacity, std::int32_t* value);  // @10
EngineStatus KX_ENGINE_CALL oxGetMatrixAudioFileDescription(MatrixRef matrix, const char* fileName, std::int32_t* first, std::int32_t* second);  // @11
std::int32_t KX_ENGINE_CALL oxGetMatrixNofProcessors(MatrixRef matrix);  // @12
EngineStatus KX_ENGINE_CALL oxGetMatrixProcessorName(MatrixRef matrix, std::int32_t processor, char* text, std::int32_t capacity);  // @13
EngineStatus KX_ENGINE_CALL oxGetMatrixProcessorNofParams(MatrixRef matrix, std::int32_t processor, std::int32_t* count);  // @14
EngineStatus KX_ENGINE_CALL oxGetMatrixProcessorParamName(MatrixRef matrix, std::int32_t processor, std::int32_t param, char* text, std::int32_t capacity);  // @15
EngineStatus KX_ENGINE_CALL oxGetMatrixProcessorParamMinMax(MatrixRef matrix, std::int32_t processor, std::int32_t param, std::int32_t* min, std::int32_t* max);  // @16

// Inputs.
EngineStatus KX_ENGINE_CALL oxSetInputState(MatrixRef matrix, std::int32_t input, std::int32_t b, std::int32_t value);  // @17
EngineStatus KX_ENGINE_CALL oxGetInputState(MatrixRef matrix, std::int32_t input, std::int32_t b, std::int32_t* value);  // @18
EngineStatus KX_ENGINE_CALL oxSetInputVolume(MatrixRef matrix, std::int32_t input, std::int32_t b, float value);  // @19
EngineStatus KX_ENGINE_CALL oxGetInputVolume(MatrixRef matrix, std::int32_t input, std::int32_t b, float* value);  // @20
EngineStatus KX_ENGINE_CALL oxSetInputMeterPoint(MatrixRef matrix, std::int32_t input, std::int32_t value);  // @21
EngineStatus KX_ENGINE_CALL oxGetInputMeterPoint(MatrixRef matrix, std::int32_t input, std::int32_t* value);  // @22
EngineStatus KX_ENGINE_CALL oxGetInputMeterValue(MatrixRef matrix, std::int32_t input, std::int32_t* left, std::int32_t* right);  // @23
EngineStatus KX_ENGINE_CALL oxGetInputProcessorIndex(MatrixRef matrix, std::int32_t input, std::int32_t b, std::int32_t* value);  // @24
EngineStatus KX_ENGINE_CALL oxInsertInputProcessor(MatrixRef matrix, std::int32_t input, std::int32_t b, std::int32_t c);  // @25
EngineStatus KX_ENGINE_CALL oxRemoveInputProcessor(MatrixRef matrix, std::int32_t input, std::int32_t b);  // @26
EngineStatus KX_ENGINE_CALL oxSetInputProcessorParamValue(MatrixRef matrix, std::int32_t input, std::int32_t b, std::int32_t c, std::int32_t value);  // @27
EngineStatus KX_ENGINE_CALL oxGetInputProcessorParamValue(MatrixRef matrix, std::int32_t input, std::int32_t b, std::int32_t c, std::int32_t* value);  // @28
EngineStatus KX_ENGINE_CALL oxGetInputProcessorParamValueText(MatrixRef matrix, std::int32_t input, std::int32_t b, std::int32_t c, std::int32_t d, char* text, std::int32_t capacity);  // @29
EngineStatus KX_ENGINE_CALL oxSetInputLivePriority(MatrixRef matrix, std::int32_t input, std::int32_t value);  // @30
EngineStatus KX_ENGINE_CALL oxGetInputLivePriority(MatrixRef matrix, std::int32_t input, std::int32_t* value);  // @31
EngineStatus KX_ENGINE_CALL oxSetInputLiveMode(MatrixRef matrix, std::int32_t input, std::int32_t value);  // @32
EngineStatus KX_ENGINE_CALL oxGetInputLiveMode(MatrixRef matrix, std::int32_t input, std::int32_t* value);  // @33
EngineStatus KX_ENGINE_CALL oxGetInputLiveName(MatrixRef matrix, std::int32_t input, char* text, std::int32_t capacity);  // @34
EngineStatus KX_ENGINE_CALL oxStartInputMessageFile(MatrixRef matrix, std::int32_t input, const char* fileName, std::int32_t c);  // @35
EngineStatus KX_ENGINE_CALL oxStopInputMessageFile(MatrixRef matrix, std::int32_t input);  // @36
EngineStatus KX_ENGINE_CALL oxGetInputMessagePlaybackState(MatrixRef matrix, std::int32_t input, std::int32_t* value);  // @37
EngineStatus KX_ENGINE_CALL oxSetInputOscFrequency(MatrixRef matrix, std::int32_t input, std::int32_t value);  // @39
EngineStatus KX_ENGINE_CALL oxGetInputOscFrequency(MatrixRef matrix, std::int32_t input, std::int32_t* value);  // @40
EngineStatus KX_ENGINE_CALL oxSetInputOscType(MatrixRef matrix, std::int32_t input, std::int32_t value);  // @41
EngineStatus KX_ENGINE_CALL oxGetInputOscType(MatrixRef matrix, std::int32_t input, std::int32_t* value);  // @42
EngineStatus KX_ENGINE_CALL oxStartInputStream(MatrixRef matrix, std::int32_t input, const char* s, std::int32_t c);  // @43
EngineStatus KX_ENGINE_CALL oxStopInputStream(MatrixRef matrix, std::int32_t input);  // @44
EngineStatus KX_ENGINE_CALL oxGetInputStreamState(MatrixRef matrix, std::int32_t input, std::int32_t* value);  // @45
EngineStatus KX_ENGINE_CALL oxSetInputStreamPriority(MatrixRef matrix, std::int32_t input, std::int32_t value);  // @46
EngineStatus KX_ENGINE_CALL oxGetInputStreamPriority(MatrixRef matrix, std::int32_t input, std::int32_t* value);  // @47

// Outputs.
EngineStatus KX_ENGINE_CALL oxSetOutputState(MatrixRef matrix, std::int32_t output, std::int32_t b, std::int32_t value);  // @48
EngineStatus KX_ENGINE_CALL oxGetOutputState(MatrixRef matrix, std::int32_t output, std::int32_t b, std::int32_t* value);  // @49
EngineStatus KX_ENGINE_CALL oxSetOutputVolume(MatrixRef matrix, std::int32_t output, std::int32_t b, float value);  // @50
EngineStatus KX_ENGINE_CALL oxGetOutputVolume(MatrixRef matrix, std::int32_t output, std::int32_t b, float* value);  // @51
EngineStatus KX_ENGINE_CALL oxSetOutputMeterPoint(MatrixRef matrix, std::int32_t output, std::int32_t value);  // @52
EngineStatus KX_ENGINE_CALL oxGetOutputMeterPoint(MatrixRef matrix, std::int32_t output, std::int32_t* value);  // @53
EngineStatus KX_ENGINE_CALL oxGetOutputMeterValue(MatrixRef matrix, std::int32_t output, std::int32_t* left, std::int32_t* right);  // @54
EngineStatus KX_ENGINE_CALL oxGetOutputProcessorIndex(MatrixRef matrix, std::int32_t output, std::int32_t b, std::int32_t* value);  // @55
EngineStatus KX_ENGINE_CALL oxInsertOutputProcessor(MatrixRef matrix, std::int32_t output, std::int32_t b, std::int32_t c);  // @56
EngineStatus KX_ENGINE_CALL oxRemoveOutputProcessor(MatrixRef matrix, std::int32_t output, std::int32_t b);  // @57
EngineStatus KX_ENGINE_CALL oxSetOutputProcessorParamValue(MatrixRef matrix, std::int32_t output, std::int32_t b, std::int32_t c, std::int32_t value);  // @58
EngineStatus KX_ENGINE_CALL oxGetOutputProcessorParamValue(MatrixRef matrix, std::int32_t output, std::int32_t b, std::int32_t c, std::int32_t* value);  // @59
EngineStatus KX_ENGINE_CALL oxGetOutputProcessorParamValueText(MatrixRef matrix, std::int32_t output, std::int32_t b, std::int32_t c, std::int32_t d, char* text, std::int32_t capacity);  // @60
EngineStatus KX_ENGINE_CALL oxGetOutputLiveName(MatrixRef matrix, std::int32_t output, char* text, std::int32_t capacity);  // @61
EngineStatus KX_ENGINE_CALL oxStartOutputRecordFile(MatrixRef matrix, std::int32_t output, const char* fileName, std::int32_t c);  // @62
EngineStatus KX_ENGINE_CALL oxStopOutputRecordFile(MatrixRef matrix, std::int32_t output);  // @63
EngineStatus KX_ENGINE_CALL oxGetOutputRecordState(MatrixRef matrix, std::int32_t output, std::int32_t* value);  // @64
EngineStatus KX_ENGINE_CALL oxStartOutputStream(MatrixRef matrix, std::int32_t output, const char* s, std::int32_t c);  // @65
EngineStatus KX_ENGINE_CALL oxStopOutputStream(MatrixRef matrix, std::int32_t output);  // @66
EngineStatus KX_ENGINE_CALL oxGetOutputStreamState(MatrixRef matrix, std::int32_t output, std::int32_t* value);  // @67

}  // extern "C"
