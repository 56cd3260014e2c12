// The factories that turn an asset path into a sound source, choosing the decoder by suffix.
#pragma once

namespace Tarv
{

class AudioSource;

// ".wav", ".ogg" or ".xm", compared exactly and case-sensitively; null for any other suffix, a
// missing file or one its decoder refuses. With buffered set the source is decoded whole into
// an AudioBuffer (null stays null). The result has a count of 0.
AudioSource* CreateAudioSource(const char* path, bool buffered);
// The file is held whole in memory and always decoded as Ogg Vorbis, on each read.
AudioSource* CreateCachedOggSource(const char* path);

} // namespace Tarv
