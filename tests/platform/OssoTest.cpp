// Our service-bus layer: registration, its failure switch, and the browser call that starts
// the URL opener without a shell.
#include "platform/Osso.h"

#include "tests/platform/PlatformTestDoubles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace
{

TEST(Osso, InitialiseGivesAContextUnlessTheFailureSwitchIsSet)
{
    osso_context_t* context = osso_initialize("org.maemo.tarv", "0.0.1", 1, nullptr);
    EXPECT_NE(context, nullptr);
    osso_deinitialize(context);
    osso_deinitialize(nullptr);

    setenv("TARV_OSSO_FAIL", "1", 1);
    EXPECT_EQ(osso_initialize("org.maemo.tarv", "0.0.1", 1, nullptr), nullptr);
    unsetenv("TARV_OSSO_FAIL");
    EXPECT_EQ(osso_initialize(nullptr, "0.0.1", 1, nullptr), nullptr);
}

TEST(Osso, UnknownCallsAreInvalid)
{
    osso_context_t* context = osso_initialize("org.maemo.tarv", "0.0.1", 1, nullptr);
    EXPECT_EQ(osso_rpc_run_with_defaults(nullptr, "osso_browser", "open_new_window", nullptr,
                                         DBUS_TYPE_STRING, "http://a", DBUS_TYPE_INVALID),
              OSSO_INVALID);
    EXPECT_EQ(osso_rpc_run_with_defaults(context, "osso_mail", "open_new_window", nullptr,
                                         DBUS_TYPE_STRING, "http://a", DBUS_TYPE_INVALID),
              OSSO_INVALID);
    EXPECT_EQ(osso_rpc_run_with_defaults(context, "osso_browser", "open_new_window", nullptr,
                                         DBUS_TYPE_INVALID),
              OSSO_INVALID);
    EXPECT_EQ(osso_rpc_run_with_defaults(context, "osso_browser", "open_new_window", nullptr,
                                         DBUS_TYPE_STRING, "", DBUS_TYPE_INVALID),
              OSSO_INVALID);
    osso_deinitialize(context);
}

TEST(Osso, BrowserCallStartsTheOpenerWithTheUrlAsOneArgument)
{
    PlatformTest::RecordingOpener opener;
    osso_context_t* context = osso_initialize("org.maemo.tarv", "0.0.1", 1, nullptr);
    // Shell characters reach the opener untouched: no shell ever sees the URL.
    const char* url = "http://example.org/a b;$(touch x)&c";
    EXPECT_EQ(osso_rpc_run_with_defaults(context, "osso_browser", "open_new_window", nullptr,
                                         DBUS_TYPE_STRING, url, DBUS_TYPE_INVALID),
              OSSO_OK);
    EXPECT_EQ(opener.Called(10000), std::string("1|") + url);
    // A missing opener fails with one line naming it and the reason.
    setenv("TARV_URL_OPENER", "/nonexistent/opener", 1);
    testing::internal::CaptureStderr();
    EXPECT_EQ(osso_rpc_run_with_defaults(context, "osso_browser", "open_new_window", nullptr,
                                         DBUS_TYPE_STRING, "http://a", DBUS_TYPE_INVALID),
              OSSO_ERROR);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "brashwick: cannot open http://a: the page opener /nonexistent/opener does not start: "
              "No such file or directory\n");
    osso_deinitialize(context);
}

} // namespace
