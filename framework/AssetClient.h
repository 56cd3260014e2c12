// Quor::AssetClient: the asset owner of one state. The state's load step queues asset names;
// the queue is then drained on the loading thread, each entry loaded by its extension: images
// into the client's image set, sounds into its sound table, fonts into its font dictionary,
// scripts into its script components.
#pragma once

#include "engine/core/NarrowString.h"
#include "engine/core/SmartPtr.h"
#include "framework/AudioDict.h"
#include "framework/FontDict.h"
#include "framework/LuaEnabled.h"
#include "graphics/render/Surface.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <map>
#include <vector>

namespace Quor
{

// Threads: the queue is filled and drained on one thread (the loader thread for a background
// load); GetLoadProgress may be called from any thread at any time, as it reads only atomics.
class AssetClient : public AudioDict, public FontDict, public LuaEnabled
{
public:
    // What an entry's extension (the three characters after its last ".", case-sensitive)
    // makes of it.
    enum class AssetKind
    {
        IMAGE,   // "png"
        SOUND,   // "ogg"
        FONT,    // "xml": always read as a font description
        SCRIPT,  // "lua": a script component with its scripted screen
        UNKNOWN, // anything else: skipped and listed in GetUnknownNames
    };

    AssetClient() = default;
    // Queued names are dropped and their slots left untouched; images are released, then the
    // sound table stops its channels.
    ~AssetClient() override;

    void RequestAsset(const Tarv::NarrowString& name);
    // As RequestAsset; when the entry is an image, the drain writes its surface (null when it
    // failed) to *slot. The pointer stays valid as long as this client: the client keeps the
    // counted reference. The slot must outlive the drain.
    void RequestAssetInto(const Tarv::NarrowString& name, Tarv::Surface** slot);

    // Loads the entry at the front of the queue; true while more entries remain. The first
    // call of a drain records how many entries it starts with.
    virtual bool LoadNextQueued();
    // Drains the whole queue.
    void LoadQueued();
    // Percent done: the last drain's total against the entries queued now; 0 before the first
    // drain or while more are queued than that total, 100 once a drain has ended.
    virtual float GetLoadProgress() const;

    static AssetKind GetAssetKind(const Tarv::NarrowString& name);

    // The image loaded for a queued name (as queued, without options); null when absent or
    // failed.
    Tarv::Surface* GetImage(const Tarv::NarrowString& name) const;
    std::size_t GetImageCount() const { return m_images.size(); }
    std::size_t GetQueuedCount() const { return m_queue.size(); }
    // Names the drain could not dispatch (unknown extensions), in queue order.
    const std::vector<Tarv::NarrowString>& GetUnknownNames() const { return m_unknown; }

private:
    struct LoadEntry
    {
        Tarv::NarrowString name;
        Tarv::Surface** slot;
    };

    void LoadEntryNow(const LoadEntry& entry);
    void LoadImage(const LoadEntry& entry);

    std::map<Tarv::NarrowString, Tarv::SmartPtr<Tarv::Surface>> m_images;
    std::deque<LoadEntry> m_queue;
    std::vector<Tarv::NarrowString> m_unknown;
    bool m_draining = false;
    std::atomic<std::uint32_t> m_total{0};
    std::atomic<std::uint32_t> m_remaining{0};
};

} // namespace Quor
