// Tarv::AssetDict: the one dictionary of loaded assets (images, fonts, sounds) by asset name.
// Assets are remembered weakly and shared while anybody holds them; names requested with the
// hold flag are kept alive until ReleaseHeld or the end of the dictionary.
#pragma once

#include "engine/core/Any.h"
#include "engine/core/NarrowString.h"
#include "engine/core/RefCounter.h"
#include "engine/core/SmartPtr.h"

#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace Tarv
{

class AudioSource;
class Surface;

// Threads: every operation may run on the main and the loader thread at once. One lock guards
// the maps and is never held while a file is loaded; a name being loaded is marked in flight,
// so a second thread asking for it waits for that load instead of loading it again.
class AssetDict : public RefCounter
{
public:
    // Makes a surface from an image file's path (options already removed); count 0, or null
    // when the file cannot be read. Must make no GL call: it runs on the loader thread.
    using SurfaceLoader = Surface* (*)(const NarrowString& path);

    // One line of the console's listing.
    struct EntryInfo
    {
        NarrowString key;
        bool held;
        bool live;
    };

    // The engine-wide dictionary; the application sets it at construction and clears it when
    // it ends. Set before a loader thread starts, cleared after the last one has ended.
    static SmartPtr<AssetDict> Instance;

    AssetDict() = default;
    // Releases the held assets, then forgets the weak entries.
    ~AssetDict() override;
    AssetDict(const AssetDict&) = delete;
    AssetDict& operator=(const AssetDict&) = delete;

    // Get-or-load on Instance: the live asset under the key, else a new one loaded from the key
    // (and remembered weakly). With hold, the dictionary also keeps it alive. Null when there is
    // no dictionary, the load fails, or the key already names an asset of another kind.
    static SmartPtr<AudioSource> GetAudio(const NarrowString& key, bool hold);
    static SmartPtr<Surface> GetSurface(const NarrowString& key, bool hold);

    // The same on this dictionary.
    SmartPtr<AudioSource> GetOrLoadAudio(const NarrowString& key, bool hold);
    SmartPtr<Surface> GetOrLoadSurface(const NarrowString& key, bool hold);

    // A new sound source for the key (count 0), stored nowhere: "path@cache" keeps the
    // compressed file in memory, "path@buffer" decodes it whole, any other option or none
    // streams the path. Null when the file can't be read or decoded.
    AudioSource* LoadAudio(const NarrowString& key);
    // A new surface for an image name (count 0): the path before the last "@" loaded through
    // the surface loader, then the options "ck" and "linear" applied. Null on failure.
    Surface* LoadSurface(const NarrowString& key);

    // The image reader the dictionary loads surfaces with (null: images fail to load). Set
    // at start-up, before any loader thread runs.
    static void SetSurfaceLoader(SurfaceLoader loader);
    static SurfaceLoader GetSurfaceLoader();

    // Drops every held asset; weak entries stay and read as expired once nobody else holds
    // their assets.
    void ReleaseHeld();

    // Every weak entry in key order, whether it is held and whether its asset is alive.
    std::vector<EntryInfo> ListEntries() const;
    bool IsHeld(const NarrowString& key) const;
    // Loads started since construction (tests count them to prove sharing).
    std::uint32_t GetLoadCount() const;
    // Requests refused because the key named an asset of another kind.
    std::uint32_t GetKindConflictCount() const;

private:
    template <class T, class Loader>
    SmartPtr<T> GetOrLoad(const NarrowString& key, bool hold, Loader load);
    template <class T>
    void HoldLocked(const NarrowString& key, const SmartPtr<T>& asset);

    mutable std::mutex m_mutex;
    std::condition_variable m_loadEnded;
    std::map<NarrowString, Any> m_names;
    std::map<NarrowString, Any> m_held;
    // Names being loaded, with the thread loading each.
    std::map<NarrowString, std::thread::id> m_loading;
    std::uint32_t m_loadCount = 0;
    std::uint32_t m_kindConflicts = 0;
};

} // namespace Tarv
