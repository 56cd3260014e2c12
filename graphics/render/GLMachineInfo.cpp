// Machine facts for the registry, read from the GL capabilities (safe from any thread).
#include "graphics/render/GLMachineInfo.h"

#include "graphics/render/OpenGLCaps.h"

namespace Tarv
{

GLMachineInfo& GLMachineInfo::Get()
{
    static GLMachineInfo s_instance;
    return s_instance;
}

void GLMachineInfo::SetScreen(int width, int height, int orientation)
{
    m_width.store(width);
    m_height.store(height);
    m_orientation.store(orientation);
}

bool GLMachineInfo::HasFramebufferObjects() const
{
    return OpenGLCaps::HasFramebufferObjects();
}

bool GLMachineInfo::HasGlsl() const
{
    return OpenGLCaps::HasGlsl();
}

int GLMachineInfo::GetMaxTextureSize() const
{
    return OpenGLCaps::GetMaxTextureSize();
}

NarrowString GLMachineInfo::GetGLVendor() const
{
    return OpenGLCaps::GetVendor();
}

NarrowString GLMachineInfo::GetGLRenderer() const
{
    return OpenGLCaps::GetRenderer();
}

NarrowString GLMachineInfo::GetGLVersion() const
{
    return OpenGLCaps::GetVersion();
}

} // namespace Tarv
