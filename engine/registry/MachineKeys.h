// The read-only keys under "/machine": each computes its value from the device when it is read.
// Only the registry makes them, with CreateMachineKeys.
#pragma once

#include "engine/registry/RegistryKeyProtected.h"

#include <atomic>

namespace Tarv
{

class MachineInfo;
class RegistryNode;

// Where machine keys find the device: a slot the registry owns and may refill at any time.
// An empty slot reads as 0, false and "".
using MachineInfoSlot = std::atomic<const MachineInfo*>;

// Creates, in the root node given, "/machine/resolution" (x, y), "/machine" (orientation,
// platform) and "/machine/gl" (fbo, glsl, texsize, vendor, renderer, version).
void CreateMachineKeys(RegistryNode& root, const MachineInfoSlot* source);

// Degrees for a display orientation code: 2 gives 90, 4 gives 180, 8 gives 270, others 0.
int OrientationDegrees(int code);

class MachineKeyResolutionX : public RegistryKeyProtectedInt
{
public:
    explicit MachineKeyResolutionX(const MachineInfoSlot* source) : m_source(source) {}
    Any GetValue() const override;

private:
    const MachineInfoSlot* m_source;
};

class MachineKeyResolutionY : public RegistryKeyProtectedInt
{
public:
    explicit MachineKeyResolutionY(const MachineInfoSlot* source) : m_source(source) {}
    Any GetValue() const override;

private:
    const MachineInfoSlot* m_source;
};

class MachineKeyOrientation : public RegistryKeyProtectedInt
{
public:
    explicit MachineKeyOrientation(const MachineInfoSlot* source) : m_source(source) {}
    Any GetValue() const override;

private:
    const MachineInfoSlot* m_source;
};

class MachineKeyPlatform : public RegistryKeyProtectedString
{
public:
    Any GetValue() const override;
};

class MachineKeyGL_FBO : public RegistryKeyProtectedBool
{
public:
    explicit MachineKeyGL_FBO(const MachineInfoSlot* source) : m_source(source) {}
    Any GetValue() const override;

private:
    const MachineInfoSlot* m_source;
};

class MachineKeyGL_GLSL : public RegistryKeyProtectedBool
{
public:
    explicit MachineKeyGL_GLSL(const MachineInfoSlot* source) : m_source(source) {}
    Any GetValue() const override;

private:
    const MachineInfoSlot* m_source;
};

class MachineKeyGLTextureSize : public RegistryKeyProtectedInt
{
public:
    explicit MachineKeyGLTextureSize(const MachineInfoSlot* source) : m_source(source) {}
    Any GetValue() const override;

private:
    const MachineInfoSlot* m_source;
};

class MachineKeyGLVendor : public RegistryKeyProtectedString
{
public:
    explicit MachineKeyGLVendor(const MachineInfoSlot* source) : m_source(source) {}
    Any GetValue() const override;

private:
    const MachineInfoSlot* m_source;
};

class MachineKeyGLRenderer : public RegistryKeyProtectedString
{
public:
    explicit MachineKeyGLRenderer(const MachineInfoSlot* source) : m_source(source) {}
    Any GetValue() const override;

private:
    const MachineInfoSlot* m_source;
};

class MachineKeyGLVersion : public RegistryKeyProtectedString
{
public:
    explicit MachineKeyGLVersion(const MachineInfoSlot* source) : m_source(source) {}
    Any GetValue() const override;

private:
    const MachineInfoSlot* m_source;
};

} // namespace Tarv
