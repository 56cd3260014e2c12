// A device description for registry tests: the 800 by 480 landscape screen and Mesa's GL strings.
#pragma once

#include "engine/registry/MachineInfo.h"

struct FakeMachine : Tarv::MachineInfo
{
    int GetScreenWidth() const override { return width; }
    int GetScreenHeight() const override { return height; }
    int GetOrientationCode() const override { return orientation; }
    bool HasFramebufferObjects() const override { return true; }
    bool HasGlsl() const override { return false; }
    int GetMaxTextureSize() const override { return 16384; }
    Tarv::NarrowString GetGLVendor() const override { return "Mesa/X.org"; }
    Tarv::NarrowString GetGLRenderer() const override { return "llvmpipe (LLVM 15.0.6, 256 bits)"; }
    Tarv::NarrowString GetGLVersion() const override { return "OpenGL ES 3.2 Mesa 22.3.6"; }

    int width = 800;
    int height = 480;
    int orientation = 2;
};
