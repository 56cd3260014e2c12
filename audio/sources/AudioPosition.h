// Tarv::AudioPosition: a private cursor over a shared source, so several channels can play one
// loaded sound at different points. All positions over one source are read on one thread.
#pragma once

#include "audio/sources/AudioSource.h"
#include "engine/core/SmartPtr.h"

namespace Tarv
{

class AudioPosition : public AudioSource
{
public:
    // source may be null: the position then reads nothing.
    explicit AudioPosition(AudioSource* source);

    unsigned Read(void* buffer, unsigned bytes) override;
    void Rewind() override { m_position = 0; }
    unsigned GetLength() override;
    void Seek(unsigned offset) override { m_position = offset; }
    unsigned Tell() override { return m_position; }

private:
    SmartPtr<AudioSource> m_source;
    unsigned m_position = 0;
};

} // namespace Tarv
