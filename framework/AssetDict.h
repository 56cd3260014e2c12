// Tarv::AssetDict: the one dictionary of loaded assets (images, fonts, sounds) by asset name.
// Assets are remembered weakly and shared while anybody holds them; names requested with the
// hold flag are kept alive until ReleaseHeld or the end of the dictionary.
#pragma once

#include "engine/core/Any.h"
#include "engine/core/NarrowString.h"
#include "engine/core/RefCounter.h"
#include "engine/core/SmartPtr.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <shared_mutex>
#include <thread>
#include <vector>

namespace Tarv
{

class Atlas;
class AudioSource;
class FontEx;
class Surface;

// Threads: every operation may run on the main and the loader thread at once. One reader-writer
// lock guards the maps and is never held while a file is loaded: a request that finds its
// asset live (and, with hold, already held) shares it with other readers; anything that
// changes the maps takes it alone. A name being loaded is marked in flight, so a second thread
// asking for it waits for that load instead of loading it again.
class AssetDict : public RefCounter
{
public:
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

    // Installs the dictionary's get-or-load as the fetcher of atlas pages, animation frames
    // and font images (a fetch with no dictionary reads the file directly).
    AssetDict();
    // Releases the registered atlases and the held assets, then forgets the weak entries.
    ~AssetDict() override;
    AssetDict(const AssetDict&) = delete;
    AssetDict& operator=(const AssetDict&) = delete;

    // Get-or-load on Instance: the live asset under the key, else a new one loaded from the key
    // (and remembered weakly). With hold, the first such request of the key enters what it got
    // in the held map, which keeps it alive: after a failed load that entry holds nothing, and a
    // later success under the key is not held while it stays. Null when there is
    // no dictionary, the load fails, or the key names a live asset of another kind (a failed or
    // expired entry of another kind is loaded again as this kind). A loader's exception passes
    // through, and the threads waiting for the name then load it themselves.
    static SmartPtr<AudioSource> GetAudio(const NarrowString& key, bool hold);
    static SmartPtr<Surface> GetSurface(const NarrowString& key, bool hold);
    static SmartPtr<FontEx> GetFont(const NarrowString& key, bool hold);

    // The same on this dictionary.
    SmartPtr<AudioSource> GetOrLoadAudio(const NarrowString& key, bool hold);
    SmartPtr<Surface> GetOrLoadSurface(const NarrowString& key, bool hold);
    SmartPtr<FontEx> GetOrLoadFont(const NarrowString& key, bool hold);

    // A new sound source for the key, stored nowhere: "path@cache" keeps the compressed file
    // in memory, "path@buffer" decodes it whole, any other option or none streams the path.
    // Null when the file can't be read or decoded.
    SmartPtr<AudioSource> LoadAudio(const NarrowString& key);
    // A new surface for an image name, stored nowhere: the path before the last "@" read by
    // the image layer, then the options "ck" and "linear" applied. Null on failure.
    SmartPtr<Surface> LoadSurface(const NarrowString& key);
    // A new font for a font key ("fonts/menu.xml", optionally "@" and the options of its
    // image "fonts/menu.png"), stored nowhere. Null when the path does not end in ".xml", the
    // description yields no glyph, or the image can't be had: a broken font is never shared.
    SmartPtr<FontEx> LoadFont(const NarrowString& key);

    // Registers the atlas of the key ("menu.xml@linear": description, "@", the option its
    // page and region names carry) on Instance: the atlas is kept, and every region is found
    // by its name ("id@linear") in place of any file of that name. Registering a key again
    // only counts: the atlas and its entries stay as they are. False when the description's
    // page can't be named, or no dictionary exists.
    static bool RegisterAtlas(const NarrowString& key);
    // Undoes one registration; the last one releases the atlas, whose region entries expire
    // once nobody else holds them. False for a key that is not registered.
    static bool UnregisterAtlas(const NarrowString& key);
    // The same on this dictionary.
    bool AddAtlas(const NarrowString& key);
    bool RemoveAtlas(const NarrowString& key);
    // Registrations standing for the key (0 when not registered).
    int GetAtlasCount(const NarrowString& key) const;

    // The image fetcher of atlases, animations and fonts: a shared surface from Instance, not
    // held; without a dictionary, the name opened as a plain file path ("@" and options
    // included) and read with loader argument 5.
    static SmartPtr<Surface> FetchSurface(const NarrowString& name);

    // Drops every held asset, then every registered atlas; weak entries stay and read as
    // expired once nobody else holds their assets.
    void ReleaseHeld();

    // Every weak entry in key order, whether it is held and whether its asset is alive.
    std::vector<EntryInfo> ListEntries() const;
    bool IsHeld(const NarrowString& key) const;
    // Loads started since construction (tests count them to prove sharing).
    std::uint32_t GetLoadCount() const;
    // Requests refused because the key named a live asset of another kind.
    std::uint32_t GetKindConflictCount() const;

private:
    struct AtlasEntry
    {
        SmartPtr<Atlas> atlas;
        int registrations = 0;
    };

    template <class T, class Loader>
    SmartPtr<T> GetOrLoad(const NarrowString& key, bool hold, Loader load);
    template <class T>
    void HoldLocked(const NarrowString& key, const SmartPtr<T>& asset);

    template <class T>
    SmartPtr<T> FindShared(const NarrowString& key, bool hold, bool& conflict);

    mutable std::shared_mutex m_mutex;
    std::condition_variable_any m_loadEnded;
    std::map<NarrowString, Any> m_names;
    std::map<NarrowString, Any> m_held;
    std::map<NarrowString, AtlasEntry> m_atlases;
    // Names being loaded, with the thread loading each.
    std::map<NarrowString, std::thread::id> m_loading;
    std::uint32_t m_loadCount = 0;
    std::atomic<std::uint32_t> m_kindConflicts{0};
};

} // namespace Tarv
