// The asset dictionary: one get-or-load rule for every asset kind, with an in-flight mark per
// name so that concurrent requests share one load, and the loaders of sounds and images.
#include "framework/AssetDict.h"

#include "audio/sources/AudioFactory.h"
#include "audio/sources/AudioSource.h"
#include "engine/core/WeakPtr.h"
#include "graphics/image/AnimImageLoader.h"
#include "graphics/image/Atlas.h"
#include "graphics/image/ImageLoader.h"
#include "graphics/image/ImageSurface.h"
#include "graphics/render/Surface.h"
#include "graphics/text/FontEx.h"

#include <mutex>
#include <thread>
#include <utility>

namespace Tarv
{

SmartPtr<AssetDict> AssetDict::Instance;

AssetDict::AssetDict()
{
    AnimImageLoader::SetFrameFetcher(&FetchSurface);
    FontEx::SetImageProvider(&FetchSurface);
}

AssetDict::~AssetDict()
{
    // Atlases and held assets go first, while the weak entries that name them still exist.
    m_atlases.clear();
    m_held.clear();
    m_names.clear();
}

SmartPtr<Surface> AssetDict::FetchSurface(const NarrowString& name)
{
    SmartPtr<AssetDict> dict = Instance;
    return dict ? dict->GetOrLoadSurface(name, false) : ImageLoader::LoadFromFile(name, 5);
}

SmartPtr<AudioSource> AssetDict::GetAudio(const NarrowString& key, bool hold)
{
    SmartPtr<AssetDict> dict = Instance;
    return dict ? dict->GetOrLoadAudio(key, hold) : SmartPtr<AudioSource>();
}

SmartPtr<Surface> AssetDict::GetSurface(const NarrowString& key, bool hold)
{
    SmartPtr<AssetDict> dict = Instance;
    return dict ? dict->GetOrLoadSurface(key, hold) : SmartPtr<Surface>();
}

SmartPtr<FontEx> AssetDict::GetFont(const NarrowString& key, bool hold)
{
    SmartPtr<AssetDict> dict = Instance;
    return dict ? dict->GetOrLoadFont(key, hold) : SmartPtr<FontEx>();
}

SmartPtr<FontEx> AssetDict::GetOrLoadFont(const NarrowString& key, bool hold)
{
    return GetOrLoad<FontEx>(key, hold, [this](const NarrowString& k) { return LoadFont(k); });
}

SmartPtr<AudioSource> AssetDict::GetOrLoadAudio(const NarrowString& key, bool hold)
{
    return GetOrLoad<AudioSource>(key, hold, [this](const NarrowString& k) { return LoadAudio(k); });
}

SmartPtr<Surface> AssetDict::GetOrLoadSurface(const NarrowString& key, bool hold)
{
    return GetOrLoad<Surface>(key, hold, [this](const NarrowString& k) { return LoadSurface(k); });
}

namespace
{

// Whether an entry of any kind still reaches its asset.
bool IsLive(const Any& entry)
{
    if (const auto* surface = entry.Get<WeakPtr<Surface>>())
        return !surface->IsExpired();
    if (const auto* sound = entry.Get<WeakPtr<AudioSource>>())
        return !sound->IsExpired();
    if (const auto* font = entry.Get<WeakPtr<FontEx>>())
        return !font->IsExpired();
    return false;
}

} // namespace

template <class T>
SmartPtr<T> AssetDict::FindShared(const NarrowString& key, bool hold, bool& conflict)
{
    std::shared_lock<std::shared_mutex> lock(m_mutex);
    const auto found = m_names.find(key);
    if (found == m_names.end())
        return SmartPtr<T>();
    const WeakPtr<T>* weak = found->second.template Get<WeakPtr<T>>();
    // Another kind under the key: a conflict while that asset lives; an expired one is
    // replaced on the exclusive path.
    if (weak == nullptr) {
        conflict = IsLive(found->second);
        return SmartPtr<T>();
    }
    SmartPtr<T> live = weak->Lock();
    if (!live || !hold)
        return live;
    // With hold, only a name that holding would not change is served here: one already in the
    // held map, whatever that entry holds.
    return m_held.count(key) != 0 ? live : SmartPtr<T>();
}

template <class T, class Loader>
SmartPtr<T> AssetDict::GetOrLoad(const NarrowString& key, bool hold, Loader load)
{
    // The common case, a live asset, is found without blocking other readers.
    bool conflict = false;
    if (SmartPtr<T> live = FindShared<T>(key, hold, conflict))
        return live;
    if (conflict) {
        ++m_kindConflicts;
        return SmartPtr<T>();
    }
    std::unique_lock<std::shared_mutex> lock(m_mutex);
    while (true) {
        const auto found = m_names.find(key);
        if (found != m_names.end()) {
            const WeakPtr<T>* weak = found->second.template Get<WeakPtr<T>>();
            SmartPtr<T> live = weak != nullptr ? weak->Lock() : SmartPtr<T>();
            if (live) {
                if (hold)
                    HoldLocked(key, live);
                return live;
            }
            // The key names a live asset of another kind: a miss, and the other entry stays.
            // An expired or failed entry of any kind is loaded again below.
            if (weak == nullptr && IsLive(found->second)) {
                ++m_kindConflicts;
                return SmartPtr<T>();
            }
        }
        const auto loading = m_loading.find(key);
        if (loading == m_loading.end())
            break;
        // A loader that asks for its own name again would wait for itself forever.
        if (loading->second == std::this_thread::get_id())
            return SmartPtr<T>();
        m_loadEnded.wait(lock);
    }

    // Missing or expired (a failed load included): load it again, outside the lock.
    m_names.erase(key);
    m_loading.emplace(key, std::this_thread::get_id());
    ++m_loadCount;
    lock.unlock();
    SmartPtr<T> asset;
    {
        // However the load ends, a thrown exception included, the name leaves the in-flight
        // set and the threads waiting for it look again.
        struct LoadEnd
        {
            AssetDict& dict;
            std::unique_lock<std::shared_mutex>& lock;
            const NarrowString& key;
            ~LoadEnd()
            {
                if (!lock.owns_lock())
                    lock.lock();
                dict.m_loading.erase(key);
                dict.m_loadEnded.notify_all();
            }
        } end{*this, lock, key};
        asset = load(key);
    }
    // An atlas registered meanwhile may have entered a region under this name: it wins. A
    // live asset of another kind entered meanwhile stays too.
    Any& entry = m_names[key];
    const WeakPtr<T>* entered = entry.template Get<WeakPtr<T>>();
    if (SmartPtr<T> region = entered != nullptr ? entered->Lock() : SmartPtr<T>())
        asset = region;
    else if (entered != nullptr || !IsLive(entry))
        entry = Any(WeakPtr<T>(asset));
    if (hold)
        HoldLocked(key, asset);
    return asset;
}

template <class T>
void AssetDict::HoldLocked(const NarrowString& key, const SmartPtr<T>& asset)
{
    // The first request with hold decides the entry, a failed load's null included; a held
    // entry is never replaced, so a later success under the key is not held until ReleaseHeld.
    m_held.emplace(key, Any(asset));
}

SmartPtr<AudioSource> AssetDict::LoadAudio(const NarrowString& key)
{
    const std::size_t at = key.rfind('@');
    if (at == NarrowString::npos)
        return CreateAudioSource(key.c_str(), false);
    const NarrowString path = key.substr(0, at);
    const NarrowString option = key.substr(at + 1);
    // A module is held whole as its song already and is no Ogg stream: "cache" opens it as
    // a module, or it could never play through the sound dictionary.
    const bool module = path.size() >= 3 && path.compare(path.size() - 3, 3, ".xm") == 0;
    if (option == "cache" && !module)
        return CreateCachedOggSource(path.c_str());
    return CreateAudioSource(path.c_str(), option == "buffer");
}

SmartPtr<Surface> AssetDict::LoadSurface(const NarrowString& key)
{
    return Tarv::LoadSurface(key);
}

SmartPtr<FontEx> AssetDict::LoadFont(const NarrowString& key)
{
    NarrowString xmlPath;
    NarrowString imageKey;
    if (!FontEx::SplitFontKey(key, xmlPath, imageKey))
        return SmartPtr<FontEx>();
    SmartPtr<FontEx> font = MakeSmart<FontEx>(xmlPath, imageKey);
    if (font->GetGlyphCount() == 0 || font->GetImage() == nullptr)
        return SmartPtr<FontEx>();
    return font;
}

bool AssetDict::RegisterAtlas(const NarrowString& key)
{
    SmartPtr<AssetDict> dict = Instance;
    return dict && dict->AddAtlas(key);
}

bool AssetDict::UnregisterAtlas(const NarrowString& key)
{
    SmartPtr<AssetDict> dict = Instance;
    return dict && dict->RemoveAtlas(key);
}

bool AssetDict::AddAtlas(const NarrowString& key)
{
    {
        std::lock_guard<std::shared_mutex> lock(m_mutex);
        const auto found = m_atlases.find(key);
        if (found != m_atlases.end()) {
            ++found->second.registrations;
            return true;
        }
    }
    // Built outside the lock: the page is fetched through this dictionary.
    const SmartPtr<Atlas> atlas = Atlas::Load(key, &FetchSurface);
    if (!atlas)
        return false;
    std::lock_guard<std::shared_mutex> lock(m_mutex);
    AtlasEntry& entry = m_atlases[key];
    ++entry.registrations;
    // Another thread registered the same key while this one built: keep the first atlas.
    if (entry.atlas)
        return true;
    entry.atlas = atlas;
    for (const auto& [name, region] : atlas->GetRegions())
        m_names[name] = Any(WeakPtr<Surface>(static_cast<Surface*>(region.Get())));
    return true;
}

bool AssetDict::RemoveAtlas(const NarrowString& key)
{
    SmartPtr<Atlas> released;
    {
        std::lock_guard<std::shared_mutex> lock(m_mutex);
        const auto found = m_atlases.find(key);
        if (found == m_atlases.end())
            return false;
        if (--found->second.registrations > 0)
            return true;
        released = found->second.atlas;
        m_atlases.erase(found);
    }
    // The atlas and its regions die here, outside the lock, unless somebody still holds them.
    return true;
}

int AssetDict::GetAtlasCount(const NarrowString& key) const
{
    std::shared_lock<std::shared_mutex> lock(m_mutex);
    const auto found = m_atlases.find(key);
    return found == m_atlases.end() ? 0 : found->second.registrations;
}

void AssetDict::ReleaseHeld()
{
    std::map<NarrowString, Any> held;
    std::map<NarrowString, AtlasEntry> atlases;
    {
        std::lock_guard<std::shared_mutex> lock(m_mutex);
        held.swap(m_held);
        atlases.swap(m_atlases);
    }
    held.clear();
    // The atlases and held assets are released here, outside the lock.
}

std::vector<AssetDict::EntryInfo> AssetDict::ListEntries() const
{
    std::shared_lock<std::shared_mutex> lock(m_mutex);
    std::vector<EntryInfo> entries;
    entries.reserve(m_names.size());
    for (const auto& [key, value] : m_names)
        entries.push_back({key, m_held.count(key) != 0, IsLive(value)});
    return entries;
}

bool AssetDict::IsHeld(const NarrowString& key) const
{
    std::shared_lock<std::shared_mutex> lock(m_mutex);
    return m_held.count(key) != 0;
}

std::uint32_t AssetDict::GetLoadCount() const
{
    std::shared_lock<std::shared_mutex> lock(m_mutex);
    return m_loadCount;
}

std::uint32_t AssetDict::GetKindConflictCount() const
{
    return m_kindConflicts.load();
}

} // namespace Tarv
