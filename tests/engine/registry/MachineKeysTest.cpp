// The "/machine" keys: live values from the device, fixed types, refused writes.
#include "engine/registry/MachineKeys.h"

#include "engine/registry/MachineInfo.h"
#include "engine/registry/Registry.h"
#include "engine/registry/RegistryKey.h"
#include "tests/engine/registry/FakeMachine.h"

#include <gtest/gtest.h>

using Tarv::NarrowString;
using Tarv::Registry;

TEST(MachineKeys, ResolutionFollowsTheScreen)
{
    FakeMachine machine;
    Registry registry(&machine);
    int x = 0, y = 0;
    EXPECT_TRUE(registry.GetInt("/machine/resolution/x", x));
    EXPECT_TRUE(registry.GetInt("/machine/resolution/y", y));
    EXPECT_EQ(x, 800);
    EXPECT_EQ(y, 480);
    machine.width = 1024;
    EXPECT_TRUE(registry.GetInt("/machine/resolution/x", x));
    EXPECT_EQ(x, 1024);
}

TEST(MachineKeys, OrientationCodesBecomeDegrees)
{
    FakeMachine machine;
    Registry registry(&machine);
    const int codes[][2] = {{2, 90}, {4, 180}, {8, 270}, {1, 0}, {0, 0}, {3, 0}, {-8, 0}};
    for (const auto& code : codes) {
        machine.orientation = code[0];
        int degrees = -1;
        EXPECT_TRUE(registry.GetInt("/machine/orientation", degrees));
        EXPECT_EQ(degrees, code[1]) << code[0];
    }
}

// Each key has its fixed type: read as another type it fails.
TEST(MachineKeys, GLValuesAndPlatformComeWithTheirTypes)
{
    FakeMachine machine;
    Registry registry(&machine);
    bool flag = false;
    NarrowString text;
    EXPECT_TRUE(registry.GetBool("/machine/gl/fbo", flag) && flag);
    EXPECT_TRUE(registry.GetBool("/machine/gl/glsl", flag) && !flag);
    EXPECT_TRUE(registry.GetString("/machine/gl/renderer", text));
    EXPECT_EQ(text, "llvmpipe (LLVM 15.0.6, 256 bits)");
    EXPECT_TRUE(registry.GetString("/machine/platform", text));
    EXPECT_EQ(text, "maemo");
    EXPECT_FALSE(registry.GetString("/machine/gl/texsize", text));
    EXPECT_EQ(registry.FindKey("/machine/gl/texsize", false)->GetType(), Tarv::RegistryKey::TYPE_INT);
}

TEST(MachineKeys, KeysRefuseWritesAndKeepTheirLiveValue)
{
    FakeMachine machine;
    Registry registry(&machine);
    Tarv::RegistryKey* key = registry.FindKey("/machine/resolution/x", false);
    ASSERT_NE(key, nullptr);
    EXPECT_FALSE(key->SetInt(5));
    EXPECT_FALSE(key->SetBool(true));
    EXPECT_FALSE(key->SetString("x"));
    int x = 0;
    EXPECT_TRUE(registry.GetInt("/machine/resolution/x", x));
    EXPECT_EQ(x, 800);
}

TEST(MachineKeys, WithoutADeviceKeysReadEmptyValues)
{
    Registry registry;
    int x = -1;
    NarrowString vendor = "keep";
    EXPECT_TRUE(registry.GetInt("/machine/resolution/x", x));
    EXPECT_EQ(x, 0);
    EXPECT_TRUE(registry.GetString("/machine/gl/vendor", vendor));
    EXPECT_EQ(vendor, "");
    FakeMachine machine;
    registry.SetMachineInfo(&machine);
    EXPECT_TRUE(registry.GetString("/machine/gl/vendor", vendor));
    EXPECT_EQ(vendor, "Mesa/X.org");
    registry.SetMachineInfo(nullptr);
    EXPECT_TRUE(registry.GetInt("/machine/resolution/x", x));
    EXPECT_EQ(x, 0);
}
