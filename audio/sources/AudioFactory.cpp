// Suffix dispatch for sound files: WAV, Ogg Vorbis and XM modules.
#include "audio/sources/AudioFactory.h"

#include "audio/sources/AudioBuffer.h"
#include "audio/sources/AudioOgg.h"
#include "audio/sources/AudioWave.h"
#include "audio/sources/AudioXM.h"
#include "engine/core/SmartPtr.h"
#include "engine/vfs/CachedFile.h"
#include "engine/vfs/Vfs.h"

#include <cstring>

namespace Tarv
{

namespace
{

using Opener = AudioSource* (*)(const char* path);

AudioSource* OpenWave(const char* path)
{
    return AudioWave::Open(path);
}

AudioSource* OpenOgg(const char* path)
{
    return AudioOgg::OpenFile(path);
}

AudioSource* OpenModule(const char* path)
{
    return AudioXM::Open(path);
}

struct Decoder
{
    const char* suffix;
    Opener open;
};

const Decoder DECODERS[] = {
    {".wav", &OpenWave},
    {".ogg", &OpenOgg},
    {".xm", &OpenModule},
};

bool HasSuffix(const char* path, const char* suffix)
{
    const std::size_t length = std::strlen(path);
    const std::size_t suffixLength = std::strlen(suffix);
    return length >= suffixLength && std::strcmp(path + length - suffixLength, suffix) == 0;
}

} // namespace

AudioSource* CreateAudioSource(const char* path, bool buffered)
{
    if (path == nullptr)
        return nullptr;
    for (const Decoder& decoder : DECODERS) {
        if (!HasSuffix(path, decoder.suffix))
            continue;
        AudioSource* source = decoder.open(path);
        // A sound too long to hold decoded is streamed instead.
        if (source == nullptr || !buffered || source->GetLength() > AudioBuffer::MAX_BYTES)
            return source;
        return AudioBuffer::Create(source);
    }
    return nullptr;
}

AudioSource* CreateCachedOggSource(const char* path)
{
    if (path == nullptr)
        return nullptr;
    SmartPtr<CachedFile> file(VfsOpenCached(path));
    if (!file || !file->IsOpen())
        return nullptr;
    return AudioOgg::Create(file.Get());
}

} // namespace Tarv
