// Tarv::LzmaDecoder: a raw LZMA stream decoder that writes straight into a caller's buffer and
// restarts cheaply at each stream start; the archive reader decodes every chunk with it.
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

    // Starts a fresh stream whose output goes to output[0 .. capacity). The dictionary is that
    // buffer, so a stream may produce at most capacity bytes; matches can't reach outside it.
    void Restart(std::uint8_t* output, std::size_t capacity);

    // Decodes until GetProduced() reaches target (at most the capacity), consuming input.
    // inputSize is in: bytes available, out: bytes consumed. OK with no input consumed and no
    // output made means the decoder needs more input than was given.
    Status Decode(std::size_t target, const std::uint8_t* input, std::size_t& inputSize);

    std::size_t GetProduced() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace Tarv
