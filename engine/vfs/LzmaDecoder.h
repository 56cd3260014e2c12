// Tarv::LzmaDecoder: a raw LZMA stream decoder over a caller's dictionary buffer that restarts
// cheaply at each stream start; the archive reader decodes its table and every chunk with it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace Tarv
{

class LzmaDecoder
{
public:
    static constexpr std::size_t PROPERTIES_SIZE = 5;

    enum class Status
    {
        OK,      // the target was reached, or more input is needed to reach it
        ENDED,   // the stream ended (end mark) before the target
        DAMAGED, // the data is not a valid stream
    };

    LzmaDecoder();
    ~LzmaDecoder();
    LzmaDecoder(const LzmaDecoder&) = delete;
    LzmaDecoder& operator=(const LzmaDecoder&) = delete;

    // Takes the 5-byte properties header (lc/lp/pb byte, dictionary size). False for a first
    // byte of 225 or more or when the probability array can't be allocated.
    bool SetProperties(const std::uint8_t* properties);

    // Frees the probability array; SetProperties allocates it again.
    void FreeProbabilities();

    // Starts a fresh stream over the dictionary buffer[0 .. capacity). The dictionary size the
    // properties give is cut to the capacity, so matches can't reach outside the buffer (a
    // stream that needs a longer reach is damaged).
    void Restart(std::uint8_t* dictionary, std::size_t capacity);

    // Decodes straight into the dictionary until GetProduced() reaches target (at most the
    // capacity), consuming input. inputSize is in: bytes available, out: bytes consumed. OK
    // with no input consumed and no output made means the decoder needs more input.
    Status Decode(std::size_t target, const std::uint8_t* input, std::size_t& inputSize);

    // Decodes up to outputSize bytes into output, using the dictionary as a ring, so a stream
    // may run longer than the capacity. outputSize and inputSize are in: room and bytes
    // available, out: bytes made and consumed; the same OK rule as Decode.
    Status DecodeInto(std::uint8_t* output, std::size_t& outputSize, const std::uint8_t* input,
                      std::size_t& inputSize);

    // Bytes in the dictionary (Decode's progress; DecodeInto wraps it at the capacity).
    std::size_t GetProduced() const;
    // The dictionary size the properties give (at least 4096).
    std::size_t GetDictionarySize() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace Tarv
