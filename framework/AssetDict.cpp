// The asset dictionary: one get-or-load rule for every asset kind, with an in-flight mark per
// name so that concurrent requests share one load, and the loaders of sounds and images.
#include "framework/AssetDict.h"

#include "audio/sources/AudioFactory.h"
#include "audio/sources/AudioSource.h"
#include "engine/core/WeakPtr.h"
#include "graphics/image/ImageAssetName.h"
#include "graphics/render/Surface.h"
#include "graphics/render/Texture.h"

#include <atomic>
#include <thread>
#include <utility>

namespace Tarv
{

SmartPtr<AssetDict> AssetDict::Instance;

namespace
{

std::atomic<AssetDict::SurfaceLoader> s_surfaceLoader{nullptr};

} // namespace

AssetDict::~AssetDict()
{
    // Held assets go first, while the weak entries that name them still exist.
    std::map<NarrowString, Any> held;
    held.swap(m_held);
    held.clear();
    m_names.clear();
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

SmartPtr<AudioSource> AssetDict::GetOrLoadAudio(const NarrowString& key, bool hold)
{
    return GetOrLoad<AudioSource>(key, hold, [this](const NarrowString& k) { return LoadAudio(k); });
}

SmartPtr<Surface> AssetDict::GetOrLoadSurface(const NarrowString& key, bool hold)
{
    return GetOrLoad<Surface>(key, hold, [this](const NarrowString& k) { return LoadSurface(k); });
}

template <class T, class Loader>
SmartPtr<T> AssetDict::GetOrLoad(const NarrowString& key, bool hold, Loader load)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    while (true) {
        const auto found = m_names.find(key);
        if (found != m_names.end()) {
            const WeakPtr<T>* weak = found->second.template Get<WeakPtr<T>>();
            // The key names another kind of asset: a miss, and the other entry stays.
            if (weak == nullptr) {
                ++m_kindConflicts;
                return SmartPtr<T>();
            }
            SmartPtr<T> live = weak->Lock();
            if (live) {
                if (hold)
                    HoldLocked(key, live);
                return live;
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
    SmartPtr<T> asset(load(key));
    lock.lock();
    m_loading.erase(key);
    m_names[key] = Any(WeakPtr<T>(asset));
    if (hold)
        HoldLocked(key, asset);
    lock.unlock();
    m_loadEnded.notify_all();
    return asset;
}

template <class T>
void AssetDict::HoldLocked(const NarrowString& key, const SmartPtr<T>& asset)
{
    // Nothing to keep for a failed load: the next request with hold tries again and holds
    // what it gets.
    if (!asset)
        return;
    Any& entry = m_held[key];
    const SmartPtr<T>* current = entry.template Get<SmartPtr<T>>();
    if (entry.IsEmpty() || (current != nullptr && !*current))
        entry = Any(asset);
}

AudioSource* AssetDict::LoadAudio(const NarrowString& key)
{
    const std::size_t at = key.rfind('@');
    if (at == NarrowString::npos)
        return CreateAudioSource(key.c_str(), false);
    const NarrowString path = key.substr(0, at);
    const NarrowString option = key.substr(at + 1);
    if (option == "cache")
        return CreateCachedOggSource(path.c_str());
    return CreateAudioSource(path.c_str(), option == "buffer");
}

Surface* AssetDict::LoadSurface(const NarrowString& key)
{
    const SurfaceLoader loader = GetSurfaceLoader();
    if (loader == nullptr)
        return nullptr;
    const ImageAssetName name = ImageAssetName::Parse(key);
    Surface* surface = loader(name.path);
    if (surface == nullptr)
        return nullptr;
    if (name.colorKey && surface->GetPixelData() != nullptr)
        surface->GetPixelData()->SetColorKey(255, 0, 255);
    surface->SetFlags(surface->GetFlags(0xffffffffu) | name.flags);
    return surface;
}

void AssetDict::SetSurfaceLoader(SurfaceLoader loader)
{
    s_surfaceLoader.store(loader);
}

AssetDict::SurfaceLoader AssetDict::GetSurfaceLoader()
{
    return s_surfaceLoader.load();
}

void AssetDict::ReleaseHeld()
{
    std::map<NarrowString, Any> held;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        held.swap(m_held);
    }
    // The assets are released here, outside the lock.
}

std::vector<AssetDict::EntryInfo> AssetDict::ListEntries() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<EntryInfo> entries;
    entries.reserve(m_names.size());
    for (const auto& [key, value] : m_names) {
        bool live = false;
        if (const auto* surface = value.Get<WeakPtr<Surface>>())
            live = !surface->IsExpired();
        else if (const auto* sound = value.Get<WeakPtr<AudioSource>>())
            live = !sound->IsExpired();
        entries.push_back({key, m_held.count(key) != 0, live});
    }
    return entries;
}

bool AssetDict::IsHeld(const NarrowString& key) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_held.count(key) != 0;
}

std::uint32_t AssetDict::GetLoadCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_loadCount;
}

std::uint32_t AssetDict::GetKindConflictCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_kindConflicts;
}

} // namespace Tarv
