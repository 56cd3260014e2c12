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
int s_sizeLimit = 0;

NarrowString ReadString(GLenum name)
{
    const char* text = GLCalls::GetString(name);
    return NarrowString(text != nullptr ? text : "");
}

// A copy of one field, taken under the lock: the registry reads these from other threads.
template <class T>
T ReadField(T CapsRecord::*field)
{
    std::lock_guard<std::mutex> guard(s_lock);
    return s_caps.*field;
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
    return ReadField(&CapsRecord::vendor);
}

NarrowString OpenGLCaps::GetRenderer()
{
    return ReadField(&CapsRecord::renderer);
}

NarrowString OpenGLCaps::GetVersion()
{
    return ReadField(&CapsRecord::version);
}

int OpenGLCaps::GetMaxTextureSize()
{
    std::lock_guard<std::mutex> guard(s_lock);
    if (s_sizeLimit > 0 && (s_caps.maxTextureSize <= 0 || s_sizeLimit < s_caps.maxTextureSize))
        return s_sizeLimit;
    return s_caps.maxTextureSize;
}

void OpenGLCaps::SetTextureSizeLimit(int limit)
{
    std::lock_guard<std::mutex> guard(s_lock);
    s_sizeLimit = limit > 0 ? limit : 0;
}

bool OpenGLCaps::HasFramebufferObjects()
{
    return ReadField(&CapsRecord::framebufferObjects);
}

bool OpenGLCaps::HasGlsl()
{
    return ReadField(&CapsRecord::glsl);
}

} // namespace Tarv
