// Test controls of the stand-in engine, exported by name (plain C calls, so that C++ tests
// and Java through JNA reach them alike). The engine operations themselves are declared in
// media/engine.h; operations are named here by their ordinal.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

// The next call of the operation fails with this status without doing anything; an
// operation that answers with its result (3, 4, 5, 6, 9, 12) answers this value instead.
void standinFailNext(int ordinal, int status);
// The next call of the operation reports success (0) without doing anything and without
// writing its out cells or text buffer.
void standinSucceedSilentlyNext(int ordinal);
// Forgets pending controls and recorded calls. Matrices stay.
void standinReset(void);

// Calls of the operation since the last reset.
int standinCallCount(int ordinal);
// The arguments of the operation's last call, matrix reference first, as the engine received
// them: ints widened with their sign, floats as their 32-bit pattern, addresses as unsigned
// numbers. standinLastArgumentCount is -1 when the operation has not been called.
int standinLastArgumentCount(int ordinal);
long long standinLastArgument(int ordinal, int index);
// The bytes of the text argument of the operation's last call (operations 11, 35, 43, 62,
// 65), copied with a terminator into out; returns the text's length, or -1 when there is
// none. Nothing is written past capacity; a longer text is cut.
int standinLastText(int ordinal, char* out, int capacity);

// Matrices created and not yet deleted.
int standinLiveMatrices(void);

#ifdef __cplusplus
}
#endif
