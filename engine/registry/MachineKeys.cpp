// Values of the "/machine" keys, computed from the device's MachineInfo at each read.
#include "engine/registry/MachineKeys.h"

#include "engine/registry/MachineInfo.h"
#include "engine/registry/RegistryNode.h"

#include <memory>

namespace Tarv
{

namespace
{

// The info in the slot, or null.
const MachineInfo* Info(const MachineInfoSlot* source)
{
    return source != nullptr ? source->load(std::memory_order_acquire) : nullptr;
}

template <class Fn>
Any ReadInt(const MachineInfoSlot* source, Fn read)
{
    const MachineInfo* info = Info(source);
    return Any(info != nullptr ? read(*info) : 0);
}

template <class Fn>
Any ReadBool(const MachineInfoSlot* source, Fn read)
{
    const MachineInfo* info = Info(source);
    return Any(info != nullptr ? read(*info) : false);
}

template <class Fn>
Any ReadString(const MachineInfoSlot* source, Fn read)
{
    const MachineInfo* info = Info(source);
    return Any(info != nullptr ? read(*info) : NarrowString());
}

} // namespace

int OrientationDegrees(int code)
{
    switch (code) {
    case 2:
        return 90;
    case 4:
        return 180;
    case 8:
        return 270;
    default:
        return 0;
    }
}

void CreateMachineKeys(RegistryNode& root, const MachineInfoSlot* source)
{
    RegistryNode* machine = root.FindChild("machine", true);
    RegistryNode* resolution = machine->FindChild("resolution", true);
    resolution->InsertKey("x", std::make_unique<MachineKeyResolutionX>(source));
    resolution->InsertKey("y", std::make_unique<MachineKeyResolutionY>(source));
    machine->InsertKey("orientation", std::make_unique<MachineKeyOrientation>(source));
    machine->InsertKey("platform", std::make_unique<MachineKeyPlatform>());
    RegistryNode* gl = machine->FindChild("gl", true);
    gl->InsertKey("fbo", std::make_unique<MachineKeyGL_FBO>(source));
    gl->InsertKey("glsl", std::make_unique<MachineKeyGL_GLSL>(source));
    gl->InsertKey("texsize", std::make_unique<MachineKeyGLTextureSize>(source));
    gl->InsertKey("vendor", std::make_unique<MachineKeyGLVendor>(source));
    gl->InsertKey("renderer", std::make_unique<MachineKeyGLRenderer>(source));
    gl->InsertKey("version", std::make_unique<MachineKeyGLVersion>(source));
}

Any MachineKeyResolutionX::GetValue() const
{
    return ReadInt(m_source, [](const MachineInfo& info) { return info.GetScreenWidth(); });
}

Any MachineKeyResolutionY::GetValue() const
{
    return ReadInt(m_source, [](const MachineInfo& info) { return info.GetScreenHeight(); });
}

Any MachineKeyOrientation::GetValue() const
{
    return ReadInt(m_source, [](const MachineInfo& info) { return OrientationDegrees(info.GetOrientationCode()); });
}

Any MachineKeyPlatform::GetValue() const
{
    return Any(NarrowString("maemo"));
}

Any MachineKeyGL_FBO::GetValue() const
{
    return ReadBool(m_source, [](const MachineInfo& info) { return info.HasFramebufferObjects(); });
}

Any MachineKeyGL_GLSL::GetValue() const
{
    return ReadBool(m_source, [](const MachineInfo& info) { return info.HasGlsl(); });
}

Any MachineKeyGLTextureSize::GetValue() const
{
    return ReadInt(m_source, [](const MachineInfo& info) { return info.GetMaxTextureSize(); });
}

Any MachineKeyGLVendor::GetValue() const
{
    return ReadString(m_source, [](const MachineInfo& info) { return info.GetGLVendor(); });
}

Any MachineKeyGLRenderer::GetValue() const
{
    return ReadString(m_source, [](const MachineInfo& info) { return info.GetGLRenderer(); });
}

Any MachineKeyGLVersion::GetValue() const
{
    return ReadString(m_source, [](const MachineInfo& info) { return info.GetGLVersion(); });
}

} // namespace Tarv
