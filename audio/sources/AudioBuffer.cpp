// Decodes a source once and serves copies of the decoded bytes.
#include "audio/sources/AudioBuffer.h"

#include "engine/core/SmartPtr.h"

#include <cstring>

namespace Tarv
{

AudioBuffer* AudioBuffer::Create(AudioSource* source)
{
    SmartPtr<AudioSource> hold(source);
    if (!hold)
        return nullptr;
    const unsigned length = source->GetLength();
    if (length > MAX_BYTES)
        return nullptr;

    AudioBuffer* buffer = new AudioBuffer();
    buffer->m_data.resize(length);
    unsigned got = 0;
    // Decoders may deliver less per call than asked without being at their end.
    while (got < length) {
        const unsigned n = source->Read(buffer->m_data.data() + got, length - got);
        if (n == 0 || n > length - got)
            break;
        got += n;
    }
    buffer->m_data.resize(got);
    buffer->m_channels = source->GetChannels();
    buffer->m_rate = source->GetRate();
    return buffer;
}

unsigned AudioBuffer::Read(void* buffer, unsigned bytes)
{
    const unsigned size = GetLength();
    if (m_position >= size || buffer == nullptr)
        return 0;
    const unsigned n = bytes < size - m_position ? bytes : size - m_position;
    std::memcpy(buffer, m_data.data() + m_position, n);
    m_position += n;
    return n;
}

} // namespace Tarv
