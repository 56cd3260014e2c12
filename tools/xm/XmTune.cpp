// The ".tune" reader and the instrument synthesiser behind it.
#include "tools/xm/XmTune.h"

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <sstream>
#include <vector>

namespace Tarv
{

namespace
{

constexpr double PI = 3.14159265358979323846;
// Samples are made one octave low (a 64-sample cycle is C-3 at 8363 Hz) and lifted by a
// relative note of 12, which gives looped cycles enough points to sound clean.
constexpr int CYCLE = 64;
constexpr double SAMPLE_RATE = 8363.0 * 2.0;
constexpr double PEAK = 0.45 * 32767.0;
// The module player tunes notes about 37 cents flat of the usual XM table; +47/128 semitone
// brings the songs back to concert pitch.
constexpr std::int8_t FINETUNE = 47;
// What the game's module loader takes.
constexpr int MAX_CHANNELS = 32;
constexpr std::size_t MAX_PATTERNS = 256;
constexpr int MAX_INSTRUMENTS = 128;

struct Rng
{
    std::uint32_t state = 0x2545F491u;
    double Next()
    {
        state = state * 1664525u + 1013904223u;
        return static_cast<double>(state >> 8) / static_cast<double>(1u << 24) * 2.0 - 1.0;
    }
};

std::int16_t Clamp(double value)
{
    return static_cast<std::int16_t>(std::lround(std::fmax(-32767.0, std::fmin(32767.0, value))));
}

double Wave(const std::string& wave, double phase, double duty)
{
    if (wave == "sine")
        return std::sin(2.0 * PI * phase);
    if (wave == "triangle")
        return phase < 0.5 ? 4.0 * phase - 1.0 : 3.0 - 4.0 * phase;
    if (wave == "square")
        return phase < duty ? 0.8 : -0.8;
    return 2.0 * phase - 1.0; // saw
}

bool MakeInstrument(const std::string& wave, double decay, double duty, bool sustain, XmInstrumentDesc& out)
{
    XmSampleDesc sample;
    sample.relativeNote = 12;
    sample.finetune = FINETUNE;
    sample.name = wave;
    Rng rng;
    const int length = static_cast<int>(SAMPLE_RATE * decay);
    if (wave == "sine" || wave == "triangle" || wave == "square" || wave == "saw") {
        for (int i = 0; i < CYCLE; ++i)
            sample.data.push_back(Clamp(PEAK * Wave(wave, static_cast<double>(i) / CYCLE, duty)));
        sample.loopStart = 0;
        sample.loopLength = CYCLE;
        sample.loopType = 1;
    } else if (wave == "pluck") {
        // Karplus-Strong: a noise burst in a delay line of one cycle, averaged as it goes round.
        std::vector<double> line(CYCLE);
        for (double& value : line)
            value = rng.Next();
        for (int i = 0; i < length; ++i) {
            const std::size_t at = static_cast<std::size_t>(i % CYCLE);
            const double value = line[at];
            line[at] = 0.5 * (value + line[(at + 1) % CYCLE]) * 0.998;
            sample.data.push_back(Clamp(PEAK * 1.6 * value * (1.0 - static_cast<double>(i) / length)));
        }
    } else if (wave == "noise" || wave == "kick" || wave == "snare") {
        double phase = 0.0;
        for (int i = 0; i < length; ++i) {
            const double t = static_cast<double>(i) / SAMPLE_RATE;
            const double envelope = std::exp(-5.0 * t / decay);
            double value = rng.Next();
            if (wave == "kick") {
                phase += (45.0 + 110.0 * std::exp(-t * 25.0)) / SAMPLE_RATE;
                value = std::sin(2.0 * PI * phase);
            } else if (wave == "snare") {
                phase += 180.0 / SAMPLE_RATE;
                value = 0.6 * value + 0.4 * std::sin(2.0 * PI * phase);
            }
            sample.data.push_back(Clamp(PEAK * envelope * value));
        }
    } else {
        return false;
    }
    if (sample.data.empty())
        return false;
    out.name = wave;
    out.samples.push_back(sample);
    if (sustain) {
        out.volumeEnvelope = {{0, 64}, {8, 48}, {30, 0}};
        out.volumeSustain = 1;
        out.volumeType = 3;
    }
    return true;
}

struct Reader
{
    Reader(XmModuleDesc& song, std::string& message) : module(song), error(message) {}

    XmModuleDesc& module;
    std::string& error;
    int line = 0;
    int rows = 64;
    std::map<std::string, std::size_t> patterns;
    std::vector<std::vector<XmCell>> channels; // of the pattern being read
    std::string patternName;

    bool Fail(const std::string& text)
    {
        error = "line " + std::to_string(line) + ": " + text;
        return false;
    }

    bool ReadChannel(std::istringstream& words, int instrument)
    {
        int volume = -1;
        if (!(words >> volume) || volume < 0 || volume > 64)
            return Fail("a channel line starts with an instrument and a volume of 0 to 64");
        if (instrument < 1 || instrument > static_cast<int>(module.instruments.size()))
            return Fail("no instrument " + std::to_string(instrument));
        std::vector<std::string> tokens;
        for (std::string token; words >> token;)
            tokens.push_back(token);
        int repeat = 1;
        if (!tokens.empty() && tokens.back().size() > 1 && tokens.back()[0] == 'x') {
            repeat = std::atoi(tokens.back().c_str() + 1);
            tokens.pop_back();
            if (repeat < 1 || repeat > rows || tokens.empty())
                return Fail("bad repeat count");
        }
        std::vector<XmCell> cells;
        for (int pass = 0; pass < repeat; ++pass) {
            for (const std::string& token : tokens) {
                const std::size_t colon = token.find(':');
                const std::string what = token.substr(0, colon);
                const int length = colon == std::string::npos ? 1 : std::atoi(token.c_str() + colon + 1);
                if (length < 1 || length > rows)
                    return Fail("bad length in '" + token + "'");
                XmCell cell;
                if (what == "^") {
                    cell.note = 97;
                } else if (what != ".") {
                    cell.note = XmNote(what.c_str());
                    if (cell.note == 0)
                        return Fail("bad note '" + token + "'");
                    cell.instrument = static_cast<std::uint8_t>(instrument);
                    cell.volume = static_cast<std::uint8_t>(0x10 + volume);
                }
                cells.push_back(cell);
                cells.resize(cells.size() + static_cast<std::size_t>(length - 1));
                if (static_cast<int>(cells.size()) > rows)
                    return Fail("the line has more rows than the pattern's " + std::to_string(rows));
            }
        }
        if (static_cast<int>(cells.size()) != rows)
            return Fail("the line has " + std::to_string(cells.size()) + " rows, patterns have " + std::to_string(rows));
        channels.push_back(cells);
        return true;
    }

    bool EndPattern()
    {
        if (patternName.empty())
            return true;
        if (channels.empty())
            return Fail("pattern " + patternName + " has no channel");
        const int count = static_cast<int>(channels.size());
        if (count > MAX_CHANNELS || module.patterns.size() >= MAX_PATTERNS)
            return Fail("a song holds at most 32 channels and 256 patterns");
        // A "rows" line inside a pattern changes the length its earlier channels were read for.
        for (const std::vector<XmCell>& cells : channels)
            if (static_cast<int>(cells.size()) != rows)
                return Fail("pattern " + patternName + " changes its rows after a channel");
        if (count > module.channelCount)
            module.channelCount = static_cast<std::uint16_t>(count);
        XmPatternDesc pattern(rows, count);
        for (int channel = 0; channel < count; ++channel)
            for (int row = 0; row < rows; ++row)
                pattern.At(row, channel) = channels[static_cast<std::size_t>(channel)][static_cast<std::size_t>(row)];
        patterns[patternName] = module.patterns.size();
        module.patterns.push_back(pattern);
        channels.clear();
        patternName.clear();
        return true;
    }

    bool ReadInstrument(std::istringstream& words)
    {
        int number = 0;
        std::string wave;
        words >> number >> wave;
        if (number != static_cast<int>(module.instruments.size()) + 1 || number > MAX_INSTRUMENTS)
            return Fail("instruments are numbered 1, 2, ... in order, at most 128");
        double decay = 0.5, duty = 0.5;
        bool sustain = false;
        for (std::string word; words >> word;) {
            if (word == "decay" && words >> decay && decay > 0.0 && decay < 10.0)
                continue;
            if (word == "duty" && words >> duty && duty > 0.0 && duty < 100.0) {
                duty /= 100.0;
                continue;
            }
            if (word == "sustain") {
                sustain = true;
                continue;
            }
            return Fail("cannot read the instrument's '" + word + "'");
        }
        XmInstrumentDesc instrument;
        if (!MakeInstrument(wave, decay, duty, sustain, instrument))
            return Fail("unknown wave '" + wave + "'");
        module.instruments.push_back(instrument);
        return true;
    }

    bool ReadLine(const std::string& text)
    {
        std::istringstream words(text);
        std::string key;
        if (!(words >> key) || key[0] == '#')
            return true;
        int number = 0;
        if (key == "song")
            return static_cast<bool>(words >> module.name) || Fail("song needs a name");
        if (key == "bpm" || key == "speed" || key == "rows") {
            if (!(words >> number) || (key == "bpm" && (number < 32 || number > 255))
                || (key == "speed" && (number < 1 || number > 31)) || (key == "rows" && (number < 1 || number > 256)))
                return Fail(key + " is out of range");
            if (key == "rows")
                rows = number;
            if (key == "bpm")
                module.defaultBpm = static_cast<std::uint16_t>(number);
            if (key == "speed")
                module.defaultTempo = static_cast<std::uint16_t>(number);
            return true;
        }
        if (key == "instrument")
            return EndPattern() && ReadInstrument(words);
        if (key == "pattern") {
            if (!EndPattern())
                return false;
            if (!(words >> patternName) || patterns.count(patternName) != 0)
                return Fail("a pattern needs a new name");
            return true;
        }
        if (key == "order") {
            if (!EndPattern())
                return false;
            for (std::string name; words >> name;) {
                if (patterns.count(name) == 0)
                    return Fail("no pattern " + name);
                module.orders.push_back(static_cast<std::uint8_t>(patterns[name]));
            }
            return true;
        }
        if (!patternName.empty() && std::isdigit(static_cast<unsigned char>(key[0])))
            return ReadChannel(words, std::atoi(key.c_str()));
        return Fail("cannot read '" + key + "'");
    }
};

} // namespace

bool ComposeTune(const std::string& text, XmModuleDesc& module, std::string& error)
{
    module = XmModuleDesc();
    module.channelCount = 0;
    Reader reader(module, error);
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        ++reader.line;
        if (!reader.ReadLine(line))
            return false;
    }
    if (!reader.EndPattern())
        return false;
    if (module.orders.empty() || module.orders.size() > 256)
        return reader.Fail("the song needs an order list of 1 to 256 patterns");
    // Channels of shorter patterns are padded with empty cells.
    for (XmPatternDesc& pattern : module.patterns) {
        if (pattern.channels == module.channelCount)
            continue;
        XmPatternDesc wide(pattern.rows, module.channelCount);
        for (int row = 0; row < pattern.rows; ++row)
            for (int channel = 0; channel < pattern.channels; ++channel)
                wide.At(row, channel) = pattern.At(row, channel);
        pattern = wide;
    }
    return true;
}

} // namespace Tarv
