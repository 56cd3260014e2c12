// Tarv::GLMachineInfo: what the registry's "/machine" keys report, taken from the GL
// capabilities and the screen. The application points its registry at GLMachineInfo::Get().
#pragma once

#include "engine/registry/MachineInfo.h"

#include <atomic>

namespace Tarv
{

class GLMachineInfo : public MachineInfo
{
public:
    // The one instance; lives until exit.
    static GLMachineInfo& Get();

    // The screen's size and the display's orientation code; Display::Create keeps them current.
    void SetScreen(int width, int height, int orientation);

    int GetScreenWidth() const override { return m_width.load(); }
    int GetScreenHeight() const override { return m_height.load(); }
    int GetOrientationCode() const override { return m_orientation.load(); }
    bool HasFramebufferObjects() const override;
    bool HasGlsl() const override;
    int GetMaxTextureSize() const override;
    NarrowString GetGLVendor() const override;
    NarrowString GetGLRenderer() const override;
    NarrowString GetGLVersion() const override;

private:
    GLMachineInfo() = default;

    std::atomic<int> m_width{0};
    std::atomic<int> m_height{0};
    std::atomic<int> m_orientation{0};
};

} // namespace Tarv
