// The asset client's load queue: dispatch by extension, image slots, progress counters.
#include "framework/AssetClient.h"

#include "engine/core/Path.h"
#include "framework/AssetFunctions.h"
#include "framework/CacheList.h"
#include "graphics/render/Surface.h"

namespace Quor
{

AssetClient::~AssetClient()
{
    m_queue.clear();
    m_images.clear();
}

void AssetClient::RequestAsset(const Tarv::NarrowString& name)
{
    RequestAssetInto(name, nullptr);
}

void AssetClient::RequestAssetInto(const Tarv::NarrowString& name, Tarv::Surface** slot)
{
    m_queue.push_back({name, slot});
    // The progress reads the queue against the last drain's total, also while a new load queues.
    m_remaining.store(static_cast<std::uint32_t>(m_queue.size()), std::memory_order_relaxed);
}

AssetClient::AssetKind AssetClient::GetAssetKind(const Tarv::NarrowString& name)
{
    // Three characters after the last ".", as written: "x.pngx" is an image, "x.PNG" is not.
    const Tarv::NarrowString extension = Tarv::GetExtension(name);
    if (extension == "png")
        return AssetKind::IMAGE;
    if (extension == "ogg")
        return AssetKind::SOUND;
    if (extension == "xml")
        return AssetKind::FONT;
    if (extension == "lua")
        return AssetKind::SCRIPT;
    return AssetKind::UNKNOWN;
}

bool AssetClient::LoadNextQueued()
{
    if (!m_draining) {
        m_draining = true;
        m_total.store(static_cast<std::uint32_t>(m_queue.size()), std::memory_order_relaxed);
        m_remaining.store(static_cast<std::uint32_t>(m_queue.size()), std::memory_order_relaxed);
    }
    if (!m_queue.empty()) {
        const LoadEntry entry = m_queue.front();
        LoadEntryNow(entry);
        // The entry counts as done only once its load has returned.
        m_queue.pop_front();
        m_remaining.store(static_cast<std::uint32_t>(m_queue.size()), std::memory_order_relaxed);
    }
    if (!m_queue.empty())
        return true;
    m_draining = false;
    return false;
}

void AssetClient::LoadQueued()
{
    while (LoadNextQueued()) {
    }
}

float AssetClient::GetLoadProgress() const
{
    const std::uint32_t total = m_total.load(std::memory_order_relaxed);
    const std::uint32_t remaining = m_remaining.load(std::memory_order_relaxed);
    if (total == 0)
        return 0.0f;
    // Entries queued during a drain can make the queue longer than its start.
    if (remaining >= total)
        return 0.0f;
    return static_cast<float>(total - remaining) / static_cast<float>(total) * 100.0f;
}

void AssetClient::LoadEntryNow(const LoadEntry& entry)
{
    switch (GetAssetKind(entry.name)) {
    case AssetKind::IMAGE:
        LoadImage(entry);
        break;
    case AssetKind::SOUND:
        LoadSound(entry.name, false, false);
        break;
    case AssetKind::FONT:
        LoadFont(entry.name);
        break;
    case AssetKind::SCRIPT:
        LoadComponent(entry.name);
        break;
    case AssetKind::UNKNOWN:
        m_unknown.push_back(entry.name);
        break;
    }
}

void AssetClient::LoadImage(const LoadEntry& entry)
{
    CacheList* cacheList = CacheList::GetInstance();
    const bool hold = cacheList != nullptr && cacheList->Contains(entry.name);
    const Tarv::SmartPtr<Tarv::Surface> image = GetSurface(entry.name, Tarv::NarrowString(), hold);
    // The first image under a name stays; a later success replaces an earlier failure.
    Tarv::SmartPtr<Tarv::Surface>& kept = m_images[entry.name];
    if (!kept)
        kept = image;
    if (entry.slot != nullptr)
        *entry.slot = kept.Get();
}

Tarv::Surface* AssetClient::GetImage(const Tarv::NarrowString& name) const
{
    const auto image = m_images.find(name);
    return image == m_images.end() ? nullptr : image->second.Get();
}

} // namespace Quor
