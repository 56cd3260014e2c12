// Tarv::LzmaDecoder over the LZMA SDK's LzmaDec, chosen over liblzma by bench/LzmaBench (see
// README.md): as fast, it restarts faster, and the dictionary is a buffer of ours.
#include "engine/vfs/LzmaDecoder.h"

extern "C" {
#include <lzma/LzmaDec.h>
}

#include <cstdlib>

namespace Tarv
{

namespace
{

void* Allocate(void*, size_t size)
{
    return std::malloc(size);
}

void Free(void*, void* address)
{
    std::free(address);
}

ISzAlloc s_allocator = {Allocate, Free};

} // namespace

struct LzmaDecoder::State
{
    CLzmaDec decoder;
    UInt32 dictionarySize = 0; // as the properties give it
    bool ready = false;
};

LzmaDecoder::LzmaDecoder() : m_state(new State())
{
    LzmaDec_Construct(&m_state->decoder);
}

LzmaDecoder::~LzmaDecoder()
{
    // The dictionary is the caller's buffer: only the probabilities are ours to free.
    LzmaDec_FreeProbs(&m_state->decoder, &s_allocator);
}

bool LzmaDecoder::SetProperties(const std::uint8_t* properties)
{
    m_state->ready = false;
    if (properties == nullptr)
        return false;
    if (LzmaDec_AllocateProbs(&m_state->decoder, properties, LZMA_PROPS_SIZE, &s_allocator) != SZ_OK)
        return false;
    m_state->dictionarySize = m_state->decoder.prop.dicSize;
    m_state->ready = true;
    return true;
}

void LzmaDecoder::FreeProbabilities()
{
    LzmaDec_FreeProbs(&m_state->decoder, &s_allocator);
    m_state->ready = false;
}

void LzmaDecoder::Restart(std::uint8_t* dictionary, std::size_t capacity)
{
    CLzmaDec& decoder = m_state->decoder;
    decoder.dic = dictionary;
    decoder.dicBufSize = capacity;
    // Distances are checked against what this stream has produced until the dictionary size
    // is reached; never let that size exceed the buffer the stream writes into.
    decoder.prop.dicSize = m_state->dictionarySize;
    if (decoder.prop.dicSize > capacity)
        decoder.prop.dicSize = static_cast<UInt32>(capacity);
    LzmaDec_Init(&decoder);
}

LzmaDecoder::Status LzmaDecoder::Decode(std::size_t target, const std::uint8_t* input, std::size_t& inputSize)
{
    CLzmaDec& decoder = m_state->decoder;
    if (!m_state->ready || decoder.dic == nullptr) {
        inputSize = 0;
        return Status::DAMAGED;
    }
    if (target > decoder.dicBufSize)
        target = decoder.dicBufSize;
    if (decoder.dicPos >= target) {
        inputSize = 0;
        return Status::OK;
    }
    SizeT consumed = inputSize;
    ELzmaStatus status = LZMA_STATUS_NOT_SPECIFIED;
    const SRes result = LzmaDec_DecodeToDic(&decoder, target, input, &consumed, LZMA_FINISH_ANY, &status);
    inputSize = consumed;
    if (result != SZ_OK)
        return Status::DAMAGED;
    if (status == LZMA_STATUS_FINISHED_WITH_MARK && decoder.dicPos < target)
        return Status::ENDED;
    return Status::OK;
}

LzmaDecoder::Status LzmaDecoder::DecodeInto(std::uint8_t* output, std::size_t& outputSize,
                                            const std::uint8_t* input, std::size_t& inputSize)
{
    CLzmaDec& decoder = m_state->decoder;
    if (!m_state->ready || decoder.dic == nullptr || decoder.dicBufSize == 0) {
        outputSize = inputSize = 0;
        return Status::DAMAGED;
    }
    SizeT made = outputSize;
    SizeT consumed = inputSize;
    ELzmaStatus status = LZMA_STATUS_NOT_SPECIFIED;
    const SRes result = LzmaDec_DecodeToBuf(&decoder, output, &made, input, &consumed, LZMA_FINISH_ANY, &status);
    const bool cutShort = made < outputSize;
    outputSize = made;
    inputSize = consumed;
    if (result != SZ_OK)
        return Status::DAMAGED;
    if (status == LZMA_STATUS_FINISHED_WITH_MARK && cutShort)
        return Status::ENDED;
    return Status::OK;
}

std::size_t LzmaDecoder::GetDictionarySize() const
{
    return m_state->dictionarySize;
}

std::size_t LzmaDecoder::GetProduced() const
{
    return m_state->decoder.dicPos;
}

} // namespace Tarv
