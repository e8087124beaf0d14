// Stand-in for the Ondrix audio matrix engine, which this machine does not have: a small
// model of matrices (channels, connections, processor chains, settings, playback states)
// and a catalogue of codec formats and processors, enough to answer every operation
// consistently, plus the test controls of control.h. One lock guards everything, so calls
// from several threads at once, on one matrix or many, are served one after another.
#include "media/engine.h"
#include "standin/control.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace {

// This engine's status codes.
constexpr EngineStatus kOk = 0;
constexpr EngineStatus kUnknownMatrix = -1;
constexpr EngineStatus kOutOfRange = -2;
constexpr EngineStatus kInvalidValue = -3;
constexpr EngineStatus kNoSuchFile = -4;
constexpr EngineStatus kTextTooLong = -5;

constexpr std::int32_t kMaxChannels = 64;
constexpr std::int32_t kChannelSides = 2;  // left and right of a connection

// --- Catalogue -------------------------------------------------------------------------

struct Param {
    const char* name;
    std::int32_t min, max;
    const char* unit;
};
struct Processor {
    const char* name;
    std::vector<Param> params;
};
struct CodecFormat {
    std::string description;
    std::int32_t value;  // sample rate
};

const std::vector<Processor>& processors() {
    static const std::vector<Processor> catalogue = {
        {"Gain", {{"Niveau", -96, 12, " dB"}}},
        {"\xC9galiseur", {{"Graves", -12, 12, " dB"}, {"Aigus", -12, 12, " dB"}}},
        {"Compresseur", {{"Seuil", -60, 0, " dB"}, {"Taux", 1, 20, ":1"}, {"Attaque", 1, 500, " ms"}}},
    };
    return catalogue;
}

const std::vector<CodecFormat>& codecFormats() {
    static const std::vector<CodecFormat> catalogue = [] {
        std::string longest = "Format de test dont la description remplit le tampon du texte";
        longest.resize(kEngineTextCapacity - 1, '.');
        return std::vector<CodecFormat>{
            {"PCM 16 bits 48 kHz", 48000},
            {"G.711 loi A (t\xE9l\xE9phonie)", 8000},
            {"", 0},
            {longest, INT_MIN},
        };
    }();
    return catalogue;
}

// --- Model -----------------------------------------------------------------------------

struct ChainEntry {
    std::int32_t processor;
    std::vector<std::int32_t> values;  // one per parameter of the processor
};

struct Channel {
    std::vector<ChainEntry> chain;
    std::int32_t fileState = 0;    // message file playing (inputs) or recording (outputs)
    std::int32_t streamState = 0;
};

enum class Side { input, output };

struct Matrix {
    std::int32_t inputs, outputs, rate;
    std::vector<Channel> inputChannels, outputChannels;
    // Set/get pairs keep their value under the setter's ordinal and the leading parameters.
    std::map<std::array<std::int32_t, 5>, std::int32_t> settings;

    std::vector<Channel>& channels(Side side) { return side == Side::input ? inputChannels : outputChannels; }
    std::int32_t setting(std::array<std::int32_t, 5> key, std::int32_t unset) const {
        auto found = settings.find(key);
        return found == settings.end() ? unset : found->second;
    }
};

std::int32_t inputType(std::int32_t input) { return input % 3; }     // line, file player, oscillator
std::int32_t outputType(std::int32_t output) { return output % 2; }  // line, recorder

std::int32_t floatBits(float value) {
    std::int32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}
float bitsFloat(std::int32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

EngineStatus putText(char* area, std::int32_t capacity, const std::string& text) {
    if (capacity < 1 || text.size() + 1 > static_cast<size_t>(capacity)) return kTextTooLong;
    std::memcpy(area, text.c_str(), text.size() + 1);
    return kOk;
}

// --- Controls and records ----------------------------------------------------------------

struct Record {
    int calls = 0;
    std::vector<long long> arguments;
    bool hasText = false;
    std::string text;
};

struct Control {
    enum Kind { none, fail, silent } kind = none;
    std::int32_t status = 0;
};

std::mutex engineLock;
std::map<MatrixRef, Matrix> matrices;
// References are opaque to the bridge; these start negative, as an int, to show it.
MatrixRef nextReference = INT_MIN + 0x101;
std::map<int, Record> records;
std::map<int, Control> controls;

long long word(std::int32_t value) { return value; }
long long word(float value) { return static_cast<std::uint32_t>(floatBits(value)); }
long long word(const void* address) { return static_cast<long long>(reinterpret_cast<std::uintptr_t>(address)); }

// Records the call, applies a pending control, or else lets the model answer, all under the lock.
template <class Body>
std::int32_t serve(int ordinal, std::initializer_list<long long> arguments, const char* text, Body body) {
    std::lock_guard<std::mutex> lock(engineLock);
    Record& record = records[ordinal];
    ++record.calls;
    record.arguments.assign(arguments);
    record.hasText = text != nullptr;
    record.text = text != nullptr ? text : "";
    const Control control = std::exchange(controls[ordinal], Control{});
    if (control.kind == Control::fail) return control.status;
    if (control.kind == Control::silent) return kOk;
    return body();
}

template <class Body>
std::int32_t onMatrix(MatrixRef reference, Body body) {
    auto found = matrices.find(reference);
    return found == matrices.end() ? kUnknownMatrix : body(found->second);
}

template <class Body>
std::int32_t onChannel(MatrixRef reference, Side side, std::int32_t index, Body body) {
    return onMatrix(reference, [&](Matrix& matrix) {
        auto& channels = matrix.channels(side);
        if (index < 0 || static_cast<size_t>(index) >= channels.size()) return kOutOfRange;
        return body(matrix, channels[static_cast<size_t>(index)]);
    });
}

template <class Body>
std::int32_t onChainEntry(MatrixRef reference, Side side, std::int32_t index, std::int32_t position, Body body) {
    return onChannel(reference, side, index, [&](Matrix&, Channel& channel) {
        if (position < 0 || static_cast<size_t>(position) >= channel.chain.size()) return kOutOfRange;
        return body(channel.chain[static_cast<size_t>(position)]);
    });
}

template <class Body>
std::int32_t onParam(MatrixRef reference, Side side, std::int32_t index, std::int32_t position, std::int32_t param, Body body) {
    return onChainEntry(reference, side, index, position, [&](ChainEntry& entry) {
        const auto& params = processors()[static_cast<size_t>(entry.processor)].params;
        if (param < 0 || static_cast<size_t>(param) >= params.size()) return kOutOfRange;
        return body(params[static_cast<size_t>(param)], entry.values[static_cast<size_t>(param)]);
    });
}

template <class Body>
std::int32_t onCatalogueParam(MatrixRef reference, std::int32_t processor, std::int32_t param, Body body) {
    return onMatrix(reference, [&](Matrix&) {
        const auto& catalogue = processors();
        if (processor < 0 || static_cast<size_t>(processor) >= catalogue.size()) return kOutOfRange;
        const auto& params = catalogue[static_cast<size_t>(processor)].params;
        if (param < 0 || static_cast<size_t>(param) >= params.size()) return kOutOfRange;
        return body(params[static_cast<size_t>(param)]);
    });
}

// The set/get pairs of one channel: the setter's ordinal names the quantity.
EngineStatus store(int setter, MatrixRef m, Side side, std::int32_t index, std::int32_t b, std::int32_t value) {
    return onChannel(m, side, index, [&](Matrix& matrix, Channel&) {
        matrix.settings[{setter, static_cast<std::int32_t>(side), index, b, 0}] = value;
        return kOk;
    });
}
EngineStatus fetch(int setter, MatrixRef m, Side side, std::int32_t index, std::int32_t b, std::int32_t unset, std::int32_t* value) {
    return onChannel(m, side, index, [&](Matrix& matrix, Channel&) {
        *value = matrix.setting({setter, static_cast<std::int32_t>(side), index, b, 0}, unset);
        return kOk;
    });
}

EngineStatus meterValue(int stateSetter, MatrixRef m, Side side, std::int32_t index, std::int32_t* left, std::int32_t* right) {
    return onChannel(m, side, index, [&](Matrix& matrix, Channel&) {
        const bool running = matrix.setting({stateSetter, static_cast<std::int32_t>(side), index, 0, 0}, 0) != 0;
        *left = running ? -20 - index : -96;
        *right = running ? -21 - index : -96;
        return kOk;
    });
}

EngineStatus processorIndex(MatrixRef m, Side side, std::int32_t index, std::int32_t position, std::int32_t* value) {
    return onChainEntry(m, side, index, position, [&](ChainEntry& entry) {
        *value = entry.processor;
        return kOk;
    });
}

EngineStatus insertProcessor(MatrixRef m, Side side, std::int32_t index, std::int32_t position, std::int32_t processor) {
    return onChannel(m, side, index, [&](Matrix&, Channel& channel) {
        const auto& catalogue = processors();
        if (position < 0 || static_cast<size_t>(position) > channel.chain.size()) return kOutOfRange;
        if (processor < 0 || static_cast<size_t>(processor) >= catalogue.size()) return kInvalidValue;
        ChainEntry entry{processor, {}};
        for (const Param& param : catalogue[static_cast<size_t>(processor)].params) entry.values.push_back(param.min);
        channel.chain.insert(channel.chain.begin() + position, std::move(entry));
        return kOk;
    });
}

EngineStatus removeProcessor(MatrixRef m, Side side, std::int32_t index, std::int32_t position) {
    return onChannel(m, side, index, [&](Matrix&, Channel& channel) {
        if (position < 0 || static_cast<size_t>(position) >= channel.chain.size()) return kOutOfRange;
        channel.chain.erase(channel.chain.begin() + position);
        return kOk;
    });
}

EngineStatus setParamValue(MatrixRef m, Side side, std::int32_t index, std::int32_t position, std::int32_t param, std::int32_t value) {
    return onParam(m, side, index, position, param, [&](const Param& range, std::int32_t& stored) {
        if (value < range.min || value > range.max) return kInvalidValue;
        stored = value;
        return kOk;
    });
}

EngineStatus getParamValue(MatrixRef m, Side side, std::int32_t index, std::int32_t position, std::int32_t param, std::int32_t* value) {
    return onParam(m, side, index, position, param, [&](const Param&, std::int32_t& stored) {
        *value = stored;
        return kOk;
    });
}

EngineStatus paramValueText(MatrixRef m, Side side, std::int32_t index, std::int32_t position, std::int32_t param, std::int32_t d, char* text, std::int32_t capacity) {
    return onParam(m, side, index, position, param, [&](const Param& range, std::int32_t&) {
        if (d < range.min || d > range.max) return kInvalidValue;
        return putText(text, capacity, std::to_string(d) + range.unit);
    });
}

EngineStatus liveName(MatrixRef m, Side side, std::int32_t index, char* text, std::int32_t capacity) {
    return onChannel(m, side, index, [&](Matrix&, Channel&) {
        return putText(text, capacity, (side == Side::input ? "Entr\xE9" "e " : "Sortie ") + std::to_string(index + 1));
    });
}

// Message files, recordings and streams: a start needs a name, the state is 1 until the stop.
EngineStatus start(MatrixRef m, Side side, std::int32_t index, const char* name, std::int32_t Channel::*state) {
    return onChannel(m, side, index, [&](Matrix&, Channel& channel) {
        if (name == nullptr || *name == '\0') return kNoSuchFile;
        channel.*state = 1;
        return kOk;
    });
}
EngineStatus stop(MatrixRef m, Side side, std::int32_t index, std::int32_t Channel::*state) {
    return onChannel(m, side, index, [&](Matrix&, Channel& channel) {
        channel.*state = 0;
        return kOk;
    });
}
EngineStatus state(MatrixRef m, Side side, std::int32_t index, std::int32_t Channel::*state, std::int32_t* value) {
    return onChannel(m, side, index, [&](Matrix&, Channel& channel) {
        *value = channel.*state;
        return kOk;
    });
}

bool endsWith(const std::string& text, const char* suffix) {
    const size_t length = std::strlen(suffix);
    return text.size() > length && text.compare(text.size() - length, length, suffix) == 0;
}

constexpr Side kInput = Side::input;
constexpr Side kOutput = Side::output;
constexpr std::int32_t kDefaultOscFrequency = 1000;
const std::int32_t kUnitVolume = floatBits(1.0f);

}  // namespace

extern "C" {

// --- Matrix topology and catalogues ------------------------------------------------------

EngineStatus KX_ENGINE_CALL oxCreateMatrix(std::int32_t a, std::int32_t b, std::int32_t c, MatrixRef* cell) {
    return serve(1, {word(a), word(b), word(c), word(cell)}, nullptr, [&] {
        if (a < 1 || a > kMaxChannels || b < 1 || b > kMaxChannels) return kInvalidValue;
        const MatrixRef reference = nextReference++;
        matrices[reference] = Matrix{a, b, c, std::vector<Channel>(static_cast<size_t>(a)), std::vector<Channel>(static_cast<size_t>(b)), {}};
        *cell = reference;
        return kOk;
    });
}

EngineStatus KX_ENGINE_CALL oxDeleteMatrix(MatrixRef m) {
    return serve(2, {word(m)}, nullptr, [&] { return matrices.erase(m) == 1 ? kOk : kUnknownMatrix; });
}

std::int32_t KX_ENGINE_CALL oxGetMatrixNofInputs(MatrixRef m, std::int32_t a) {
    // a selects an input type; a negative a counts every input.
    return serve(3, {word(m), word(a)}, nullptr, [&] {
        return onMatrix(m, [&](Matrix& matrix) {
            std::int32_t count = 0;
            for (std::int32_t i = 0; i < matrix.inputs; ++i) count += a < 0 || inputType(i) == a;
            return count;
        });
    });
}

std::int32_t KX_ENGINE_CALL oxGetMatrixNofOutputs(MatrixRef m, std::int32_t a) {
    return serve(4, {word(m), word(a)}, nullptr, [&] {
        return onMatrix(m, [&](Matrix& matrix) {
            std::int32_t count = 0;
            for (std::int32_t i = 0; i < matrix.outputs; ++i) count += a < 0 || outputType(i) == a;
            return count;
        });
    });
}

std::int32_t KX_ENGINE_CALL oxGetMatrixInputType(MatrixRef m, std::int32_t input) {
    return serve(5, {word(m), word(input)}, nullptr, [&] {
        return onChannel(m, kInput, input, [&](Matrix&, Channel&) { return inputType(input); });
    });
}

std::int32_t KX_ENGINE_CALL oxGetMatrixOutputType(MatrixRef m, std::int32_t output) {
    return serve(6, {word(m), word(output)}, nullptr, [&] {
        return onChannel(m, kOutput, output, [&](Matrix&, Channel&) { return outputType(output); });
    });
}

// A connection routes side c of input a to side d of output b; value is its level.
EngineStatus KX_ENGINE_CALL oxSetMatrixInputConnection(MatrixRef m, std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d, std::int32_t value) {
    return serve(7, {word(m), word(a), word(b), word(c), word(d), word(value)}, nullptr, [&] {
        return onMatrix(m, [&](Matrix& matrix) {
            if (a < 0 || a >= matrix.inputs || b < 0 || b >= matrix.outputs) return kOutOfRange;
            if (c < 0 || c >= kChannelSides || d < 0 || d >= kChannelSides) return kOutOfRange;
            matrix.settings[{7, a, b, c, d}] = value;
            return kOk;
        });
    });
}

EngineStatus KX_ENGINE_CALL oxGetMatrixInputConnection(MatrixRef m, std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d, std::int32_t* value) {
    return serve(8, {word(m), word(a), word(b), word(c), word(d), word(value)}, nullptr, [&] {
        return onMatrix(m, [&](Matrix& matrix) {
            if (a < 0 || a >= matrix.inputs || b < 0 || b >= matrix.outputs) return kOutOfRange;
            if (c < 0 || c >= kChannelSides || d < 0 || d >= kChannelSides) return kOutOfRange;
            *value = matrix.setting({7, a, b, c, d}, 0);
            return kOk;
        });
    });
}

std::int32_t KX_ENGINE_CALL oxGetMatrixNofCodecFormats(MatrixRef m) {
    return serve(9, {word(m)}, nullptr, [&] {
        return onMatrix(m, [&](Matrix&) { return static_cast<std::int32_t>(codecFormats().size()); });
    });
}

EngineStatus KX_ENGINE_CALL oxGetMatrixCodecFormatDescription(MatrixRef m, std::int32_t format, char* text, std::int32_t capacity, std::int32_t* value) {
    return serve(10, {word(m), word(format), word(text), word(capacity), word(value)}, nullptr, [&] {
        return onMatrix(m, [&](Matrix&) {
            const auto& catalogue = codecFormats();
            if (format < 0 || static_cast<size_t>(format) >= catalogue.size()) return kOutOfRange;
            const CodecFormat& entry = catalogue[static_cast<size_t>(format)];
            if (EngineStatus status = putText(text, capacity, entry.description)) return status;
            *value = entry.value;
            return kOk;
        });
    });
}

// Channels and sample rate of an audio file, told from its name.
EngineStatus KX_ENGINE_CALL oxGetMatrixAudioFileDescription(MatrixRef m, const char* fileName, std::int32_t* first, std::int32_t* second) {
    return serve(11, {word(m), word(fileName), word(first), word(second)}, fileName, [&] {
        return onMatrix(m, [&](Matrix&) {
            const std::string name = fileName != nullptr ? fileName : "";
            if (endsWith(name, ".wav")) {
                *first = 2;
                *second = 48000;
            } else if (endsWith(name, ".au")) {
                *first = 1;
                *second = 8000;
            } else {
                return kNoSuchFile;
            }
            return kOk;
        });
    });
}

std::int32_t KX_ENGINE_CALL oxGetMatrixNofProcessors(MatrixRef m) {
    return serve(12, {word(m)}, nullptr, [&] {
        return onMatrix(m, [&](Matrix&) { return static_cast<std::int32_t>(processors().size()); });
    });
}

EngineStatus KX_ENGINE_CALL oxGetMatrixProcessorName(MatrixRef m, std::int32_t processor, char* text, std::int32_t capacity) {
    return serve(13, {word(m), word(processor), word(text), word(capacity)}, nullptr, [&] {
        return onMatrix(m, [&](Matrix&) {
            const auto& catalogue = processors();
            if (processor < 0 || static_cast<size_t>(processor) >= catalogue.size()) return kOutOfRange;
            return putText(text, capacity, catalogue[static_cast<size_t>(processor)].name);
        });
    });
}

EngineStatus KX_ENGINE_CALL oxGetMatrixProcessorNofParams(MatrixRef m, std::int32_t processor, std::int32_t* count) {
    return serve(14, {word(m), word(processor), word(count)}, nullptr, [&] {
        return onMatrix(m, [&](Matrix&) {
            const auto& catalogue = processors();
            if (processor < 0 || static_cast<size_t>(processor) >= catalogue.size()) return kOutOfRange;
            *count = static_cast<std::int32_t>(catalogue[static_cast<size_t>(processor)].params.size());
            return kOk;
        });
    });
}

EngineStatus KX_ENGINE_CALL oxGetMatrixProcessorParamName(MatrixRef m, std::int32_t processor, std::int32_t param, char* text, std::int32_t capacity) {
    return serve(15, {word(m), word(processor), word(param), word(text), word(capacity)}, nullptr, [&] {
        return onCatalogueParam(m, processor, param, [&](const Param& entry) { return putText(text, capacity, entry.name); });
    });
}

EngineStatus KX_ENGINE_CALL oxGetMatrixProcessorParamMinMax(MatrixRef m, std::int32_t processor, std::int32_t param, std::int32_t* min, std::int32_t* max) {
    return serve(16, {word(m), word(processor), word(param), word(min), word(max)}, nullptr, [&] {
        return onCatalogueParam(m, processor, param, [&](const Param& entry) {
            *min = entry.min;
            *max = entry.max;
            return kOk;
        });
    });
}

// --- Inputs ------------------------------------------------------------------------------

EngineStatus KX_ENGINE_CALL oxSetInputState(MatrixRef m, std::int32_t input, std::int32_t b, std::int32_t value) {
    return serve(17, {word(m), word(input), word(b), word(value)}, nullptr, [&] { return store(17, m, kInput, input, b, value); });
}
EngineStatus KX_ENGINE_CALL oxGetInputState(MatrixRef m, std::int32_t input, std::int32_t b, std::int32_t* value) {
    return serve(18, {word(m), word(input), word(b), word(value)}, nullptr, [&] { return fetch(17, m, kInput, input, b, 0, value); });
}
EngineStatus KX_ENGINE_CALL oxSetInputVolume(MatrixRef m, std::int32_t input, std::int32_t b, float value) {
    return serve(19, {word(m), word(input), word(b), word(value)}, nullptr, [&] { return store(19, m, kInput, input, b, floatBits(value)); });
}
EngineStatus KX_ENGINE_CALL oxGetInputVolume(MatrixRef m, std::int32_t input, std::int32_t b, float* value) {
    return serve(20, {word(m), word(input), word(b), word(value)}, nullptr, [&] {
        std::int32_t bits = 0;
        const EngineStatus status = fetch(19, m, kInput, input, b, kUnitVolume, &bits);
        if (status == kOk) *value = bitsFloat(bits);
        return status;
    });
}
EngineStatus KX_ENGINE_CALL oxSetInputMeterPoint(MatrixRef m, std::int32_t input, std::int32_t value) {
    return serve(21, {word(m), word(input), word(value)}, nullptr, [&] { return store(21, m, kInput, input, 0, value); });
}
EngineStatus KX_ENGINE_CALL oxGetInputMeterPoint(MatrixRef m, std::int32_t input, std::int32_t* value) {
    return serve(22, {word(m), word(input), word(value)}, nullptr, [&] { return fetch(21, m, kInput, input, 0, 0, value); });
}
EngineStatus KX_ENGINE_CALL oxGetInputMeterValue(MatrixRef m, std::int32_t input, std::int32_t* left, std::int32_t* right) {
    return serve(23, {word(m), word(input), word(left), word(right)}, nullptr, [&] { return meterValue(17, m, kInput, input, left, right); });
}
EngineStatus KX_ENGINE_CALL oxGetInputProcessorIndex(MatrixRef m, std::int32_t input, std::int32_t b, std::int32_t* value) {
    return serve(24, {word(m), word(input), word(b), word(value)}, nullptr, [&] { return processorIndex(m, kInput, input, b, value); });
}
EngineStatus KX_ENGINE_CALL oxInsertInputProcessor(MatrixRef m, std::int32_t input, std::int32_t b, std::int32_t c) {
    return serve(25, {word(m), word(input), word(b), word(c)}, nullptr, [&] { return insertProcessor(m, kInput, input, b, c); });
}
EngineStatus KX_ENGINE_CALL oxRemoveInputProcessor(MatrixRef m, std::int32_t input, std::int32_t b) {
    return serve(26, {word(m), word(input), word(b)}, nullptr, [&] { return removeProcessor(m, kInput, input, b); });
}
EngineStatus KX_ENGINE_CALL oxSetInputProcessorParamValue(MatrixRef m, std::int32_t input, std::int32_t b, std::int32_t c, std::int32_t value) {
    return serve(27, {word(m), word(input), word(b), word(c), word(value)}, nullptr, [&] { return setParamValue(m, kInput, input, b, c, value); });
}
EngineStatus KX_ENGINE_CALL oxGetInputProcessorParamValue(MatrixRef m, std::int32_t input, std::int32_t b, std::int32_t c, std::int32_t* value) {
    return serve(28, {word(m), word(input), word(b), word(c), word(value)}, nullptr, [&] { return getParamValue(m, kInput, input, b, c, value); });
}
EngineStatus KX_ENGINE_CALL oxGetInputProcessorParamValueText(MatrixRef m, std::int32_t input, std::int32_t b, std::int32_t c, std::int32_t d, char* text, std::int32_t capacity) {
    return serve(29, {word(m), word(input), word(b), word(c), word(d), word(text), word(capacity)}, nullptr,
                 [&] { return paramValueText(m, kInput, input, b, c, d, text, capacity); });
}
EngineStatus KX_ENGINE_CALL oxSetInputLivePriority(MatrixRef m, std::int32_t input, std::int32_t value) {
    return serve(30, {word(m), word(input), word(value)}, nullptr, [&] { return store(30, m, kInput, input, 0, value); });
}
EngineStatus KX_ENGINE_CALL oxGetInputLivePriority(MatrixRef m, std::int32_t input, std::int32_t* value) {
    return serve(31, {word(m), word(input), word(value)}, nullptr, [&] { return fetch(30, m, kInput, input, 0, 0, value); });
}
EngineStatus KX_ENGINE_CALL oxSetInputLiveMode(MatrixRef m, std::int32_t input, std::int32_t value) {
    return serve(32, {word(m), word(input), word(value)}, nullptr, [&] { return store(32, m, kInput, input, 0, value); });
}
EngineStatus KX_ENGINE_CALL oxGetInputLiveMode(MatrixRef m, std::int32_t input, std::int32_t* value) {
    return serve(33, {word(m), word(input), word(value)}, nullptr, [&] { return fetch(32, m, kInput, input, 0, 0, value); });
}
EngineStatus KX_ENGINE_CALL oxGetInputLiveName(MatrixRef m, std::int32_t input, char* text, std::int32_t capacity) {
    return serve(34, {word(m), word(input), word(text), word(capacity)}, nullptr, [&] { return liveName(m, kInput, input, text, capacity); });
}
EngineStatus KX_ENGINE_CALL oxStartInputMessageFile(MatrixRef m, std::int32_t input, const char* fileName, std::int32_t c) {
    return serve(35, {word(m), word(input), word(fileName), word(c)}, fileName, [&] { return start(m, kInput, input, fileName, &Channel::fileState); });
}
EngineStatus KX_ENGINE_CALL oxStopInputMessageFile(MatrixRef m, std::int32_t input) {
    return serve(36, {word(m), word(input)}, nullptr, [&] { return stop(m, kInput, input, &Channel::fileState); });
}
EngineStatus KX_ENGINE_CALL oxGetInputMessagePlaybackState(MatrixRef m, std::int32_t input, std::int32_t* value) {
    return serve(37, {word(m), word(input), word(value)}, nullptr, [&] { return state(m, kInput, input, &Channel::fileState, value); });
}
EngineStatus KX_ENGINE_CALL oxSetInputOscFrequency(MatrixRef m, std::int32_t input, std::int32_t value) {
    return serve(39, {word(m), word(input), word(value)}, nullptr, [&] { return store(39, m, kInput, input, 0, value); });
}
EngineStatus KX_ENGINE_CALL oxGetInputOscFrequency(MatrixRef m, std::int32_t input, std::int32_t* value) {
    return serve(40, {word(m), word(input), word(value)}, nullptr, [&] { return fetch(39, m, kInput, input, 0, kDefaultOscFrequency, value); });
}
EngineStatus KX_ENGINE_CALL oxSetInputOscType(MatrixRef m, std::int32_t input, std::int32_t value) {
    return serve(41, {word(m), word(input), word(value)}, nullptr, [&] { return store(41, m, kInput, input, 0, value); });
}
EngineStatus KX_ENGINE_CALL oxGetInputOscType(MatrixRef m, std::int32_t input, std::int32_t* value) {
    return serve(42, {word(m), word(input), word(value)}, nullptr, [&] { return fetch(41, m, kInput, input, 0, 0, value); });
}
EngineStatus KX_ENGINE_CALL oxStartInputStream(MatrixRef m, std::int32_t input, const char* s, std::int32_t c) {
    return serve(43, {word(m), word(input), word(s), word(c)}, s, [&] { return start(m, kInput, input, s, &Channel::streamState); });
}
EngineStatus KX_ENGINE_CALL oxStopInputStream(MatrixRef m, std::int32_t input) {
    return serve(44, {word(m), word(input)}, nullptr, [&] { return stop(m, kInput, input, &Channel::streamState); });
}
EngineStatus KX_ENGINE_CALL oxGetInputStreamState(MatrixRef m, std::int32_t input, std::int32_t* value) {
    return serve(45, {word(m), word(input), word(value)}, nullptr, [&] { return state(m, kInput, input, &Channel::streamState, value); });
}
EngineStatus KX_ENGINE_CALL oxSetInputStreamPriority(MatrixRef m, std::int32_t input, std::int32_t value) {
    return serve(46, {word(m), word(input), word(value)}, nullptr, [&] { return store(46, m, kInput, input, 0, value); });
}
EngineStatus KX_ENGINE_CALL oxGetInputStreamPriority(MatrixRef m, std::int32_t input, std::int32_t* value) {
    return serve(47, {word(m), word(input), word(value)}, nullptr, [&] { return fetch(46, m, kInput, input, 0, 0, value); });
}

// --- Outputs -----------------------------------------------------------------------------

EngineStatus KX_ENGINE_CALL oxSetOutputState(MatrixRef m, std::int32_t output, std::int32_t b, std::int32_t value) {
    return serve(48, {word(m), word(output), word(b), word(value)}, nullptr, [&] { return store(48, m, kOutput, output, b, value); });
}
EngineStatus KX_ENGINE_CALL oxGetOutputState(MatrixRef m, std::int32_t output, std::int32_t b, std::int32_t* value) {
    return serve(49, {word(m), word(output), word(b), word(value)}, nullptr, [&] { return fetch(48, m, kOutput, output, b, 0, value); });
}
EngineStatus KX_ENGINE_CALL oxSetOutputVolume(MatrixRef m, std::int32_t output, std::int32_t b, float value) {
    return serve(50, {word(m), word(output), word(b), word(value)}, nullptr, [&] { return store(50, m, kOutput, output, b, floatBits(value)); });
}
EngineStatus KX_ENGINE_CALL oxGetOutputVolume(MatrixRef m, std::int32_t output, std::int32_t b, float* value) {
    return serve(51, {word(m), word(output), word(b), word(value)}, nullptr, [&] {
        std::int32_t bits = 0;
        const EngineStatus status = fetch(50, m, kOutput, output, b, kUnitVolume, &bits);
        if (status == kOk) *value = bitsFloat(bits);
        return status;
    });
}
EngineStatus KX_ENGINE_CALL oxSetOutputMeterPoint(MatrixRef m, std::int32_t output, std::int32_t value) {
    return serve(52, {word(m), word(output), word(value)}, nullptr, [&] { return store(52, m, kOutput, output, 0, value); });
}
EngineStatus KX_ENGINE_CALL oxGetOutputMeterPoint(MatrixRef m, std::int32_t output, std::int32_t* value) {
    return serve(53, {word(m), word(output), word(value)}, nullptr, [&] { return fetch(52, m, kOutput, output, 0, 0, value); });
}
EngineStatus KX_ENGINE_CALL oxGetOutputMeterValue(MatrixRef m, std::int32_t output, std::int32_t* left, std::int32_t* right) {
    return serve(54, {word(m), word(output), word(left), word(right)}, nullptr, [&] { return meterValue(48, m, kOutput, output, left, right); });
}
EngineStatus KX_ENGINE_CALL oxGetOutputProcessorIndex(MatrixRef m, std::int32_t output, std::int32_t b, std::int32_t* value) {
    return serve(55, {word(m), word(output), word(b), word(value)}, nullptr, [&] { return processorIndex(m, kOutput, output, b, value); });
}
EngineStatus KX_ENGINE_CALL oxInsertOutputProcessor(MatrixRef m, std::int32_t output, std::int32_t b, std::int32_t c) {
    return serve(56, {word(m), word(output), word(b), word(c)}, nullptr, [&] { return insertProcessor(m, kOutput, output, b, c); });
}
EngineStatus KX_ENGINE_CALL oxRemoveOutputProcessor(MatrixRef m, std::int32_t output, std::int32_t b) {
    return serve(57, {word(m), word(output), word(b)}, nullptr, [&] { return removeProcessor(m, kOutput, output, b); });
}
EngineStatus KX_ENGINE_CALL oxSetOutputProcessorParamValue(MatrixRef m, std::int32_t output, std::int32_t b, std::int32_t c, std::int32_t value) {
    return serve(58, {word(m), word(output), word(b), word(c), word(value)}, nullptr, [&] { return setParamValue(m, kOutput, output, b, c, value); });
}
EngineStatus KX_ENGINE_CALL oxGetOutputProcessorParamValue(MatrixRef m, std::int32_t output, std::int32_t b, std::int32_t c, std::int32_t* value) {
    return serve(59, {word(m), word(output), word(b), word(c), word(value)}, nullptr, [&] { return getParamValue(m, kOutput, output, b, c, value); });
}
EngineStatus KX_ENGINE_CALL oxGetOutputProcessorParamValueText(MatrixRef m, std::int32_t output, std::int32_t b, std::int32_t c, std::int32_t d, char* text, std::int32_t capacity) {
    return serve(60, {word(m), word(output), word(b), word(c), word(d), word(text), word(capacity)}, nullptr,
                 [&] { return paramValueText(m, kOutput, output, b, c, d, text, capacity); });
}
EngineStatus KX_ENGINE_CALL oxGetOutputLiveName(MatrixRef m, std::int32_t output, char* text, std::int32_t capacity) {
    return serve(61, {word(m), word(output), word(text), word(capacity)}, nullptr, [&] { return liveName(m, kOutput, output, text, capacity); });
}
EngineStatus KX_ENGINE_CALL oxStartOutputRecordFile(MatrixRef m, std::int32_t output, const char* fileName, std::int32_t c) {
    return serve(62, {word(m), word(output), word(fileName), word(c)}, fileName, [&] { return start(m, kOutput, output, fileName, &Channel::fileState); });
}
EngineStatus KX_ENGINE_CALL oxStopOutputRecordFile(MatrixRef m, std::int32_t output) {
    return serve(63, {word(m), word(output)}, nullptr, [&] { return stop(m, kOutput, output, &Channel::fileState); });
}
EngineStatus KX_ENGINE_CALL oxGetOutputRecordState(MatrixRef m, std::int32_t output, std::int32_t* value) {
    return serve(64, {word(m), word(output), word(value)}, nullptr, [&] { return state(m, kOutput, output, &Channel::fileState, value); });
}
EngineStatus KX_ENGINE_CALL oxStartOutputStream(MatrixRef m, std::int32_t output, const char* s, std::int32_t c) {
    return serve(65, {word(m), word(output), word(s), word(c)}, s, [&] { return start(m, kOutput, output, s, &Channel::streamState); });
}
EngineStatus KX_ENGINE_CALL oxStopOutputStream(MatrixRef m, std::int32_t output) {
    return serve(66, {word(m), word(output)}, nullptr, [&] { return stop(m, kOutput, output, &Channel::streamState); });
}
EngineStatus KX_ENGINE_CALL oxGetOutputStreamState(MatrixRef m, std::int32_t output, std::int32_t* value) {
    return serve(67, {word(m), word(output), word(value)}, nullptr, [&] { return state(m, kOutput, output, &Channel::streamState, value); });
}

// --- Test controls -----------------------------------------------------------------------

void standinFailNext(int ordinal, int status) {
    std::lock_guard<std::mutex> lock(engineLock);
    controls[ordinal] = Control{Control::fail, status};
}

void standinSucceedSilentlyNext(int ordinal) {
    std::lock_guard<std::mutex> lock(engineLock);
    controls[ordinal] = Control{Control::silent, 0};
}

void standinReset(void) {
    std::lock_guard<std::mutex> lock(engineLock);
    controls.clear();
    records.clear();
}

int standinCallCount(int ordinal) {
    std::lock_guard<std::mutex> lock(engineLock);
    auto found = records.find(ordinal);
    return found == records.end() ? 0 : found->second.calls;
}

int standinLastArgumentCount(int ordinal) {
    std::lock_guard<std::mutex> lock(engineLock);
    auto found = records.find(ordinal);
    return found == records.end() ? -1 : static_cast<int>(found->second.arguments.size());
}

long long standinLastArgument(int ordinal, int index) {
    std::lock_guard<std::mutex> lock(engineLock);
    auto found = records.find(ordinal);
    if (found == records.end() || index < 0 || static_cast<size_t>(index) >= found->second.arguments.size()) return 0;
    return found->second.arguments[static_cast<size_t>(index)];
}

int standinLastText(int ordinal, char* out, int capacity) {
    std::lock_guard<std::mutex> lock(engineLock);
    auto found = records.find(ordinal);
    if (found == records.end() || !found->second.hasText || capacity < 1) return -1;
    const std::string& text = found->second.text;
    const size_t copied = std::min(text.size(), static_cast<size_t>(capacity) - 1);
    std::memcpy(out, text.data(), copied);
    out[copied] = '\0';
    return static_cast<int>(text.size());
}

int standinLiveMatrices(void) {
    std::lock_guard<std::mutex> lock(engineLock);
    return static_cast<int>(matrices.size());
}

}  // extern "C"
