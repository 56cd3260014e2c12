// GL initialisation: records the driver's strings and limits and creates the batcher.
#include "graphics/render/OpenGLCaps.h"

#include "graphics/render/Batcher.h"
#include "graphics/render/GLCalls.h"
#include "graphics/render/OpenGLBatcher.h"

#include <mutex>

namespace Tarv
{

namespace
{

struct CapsRecord {
    NarrowString vendor;
    NarrowString renderer;
    NarrowString version;
    int maxTextureSize = 0;
    bool framebufferObjects = false;
    bool glsl = false;
};

std::mutex s_lock;
CapsRecord s_caps;

NarrowString ReadString(GLenum name)
{
    const char* text = GLCalls::GetString(name);
    return NarrowString(text != nullptr ? text : "");
}

} // namespace

bool OpenGLCaps::Init()
{
    CapsRecord caps;
    caps.vendor = ReadString(GL_VENDOR);
    caps.renderer = ReadString(GL_RENDERER);
    caps.version = ReadString(GL_VERSION);
    caps.glsl = true;
    caps.framebufferObjects = true;
    GLint size = 0;
    GLCalls::GetIntegerv(GL_MAX_TEXTURE_SIZE, &size);
    caps.maxTextureSize = size;
    {
        std::lock_guard<std::mutex> guard(s_lock);
        s_caps = caps;
    }
    GLCalls::PixelStorei(GL_UNPACK_ALIGNMENT, 1);
    Batcher::Instance.Reset();
    Batcher::Instance = SmartPtr<Batcher>(new OpenGLBatcher);
    return true;
}

void OpenGLCaps::Shutdown()
{
    Batcher::Instance.Reset();
    std::lock_guard<std::mutex> guard(s_lock);
    s_caps = CapsRecord{};
}

NarrowString OpenGLCaps::GetVendor()
{
    std::lock_guard<std::mutex> guard(s_lock);
    return s_caps.vendor;
}

NarrowString OpenGLCaps::GetRenderer()
{
    std::lock_guard<std::mutex> guard(s_lock);
    return s_caps.renderer;
}

NarrowString OpenGLCaps::GetVersion()
{
    std::lock_guard<std::mutex> guard(s_lock);
    return s_caps.version;
}

int OpenGLCaps::GetMaxTextureSize()
{
    std::lock_guard<std::mutex> guard(s_lock);
    return s_caps.maxTextureSize;
}

bool OpenGLCaps::HasFramebufferObjects()
{
    std::lock_guard<std::mutex> guard(s_lock);
    return s_caps.framebufferObjects;
}

bool OpenGLCaps::HasGlsl()
{
    std::lock_guard<std::mutex> guard(s_lock);
    return s_caps.glsl;
}

} // namespace Tarv
