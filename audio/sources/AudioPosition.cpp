// Seeks the shared source to this cursor before each read.
#include "audio/sources/AudioPosition.h"

namespace Tarv
{

AudioPosition::AudioPosition(AudioSource* source) : m_source(source)
{
    if (source != nullptr) {
        m_channels = source->GetChannels();
        m_rate = source->GetRate();
    }
}

unsigned AudioPosition::Read(void* buffer, unsigned bytes)
{
    if (!m_source)
        return 0;
    m_source->Seek(m_position);
    const unsigned got = m_source->Read(buffer, bytes);
    m_position += got;
    return got;
}

unsigned AudioPosition::GetLength()
{
    return m_source ? m_source->GetLength() : 0;
}

} // namespace Tarv
