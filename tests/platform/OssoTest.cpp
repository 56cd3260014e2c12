// Our service-bus layer: registration, its failure switch, and the browser call that starts
// the URL opener without a shell.
#include "platform/Osso.h"

#include "tests/support/XClient.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

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
    char folder[] = "/tmp/brashwick-opener-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string opener = std::string(folder) + "/opener";
    const std::string record = std::string(folder) + "/called";
    {
        std::ofstream script(opener);
        script << "#!/bin/sh\nprintf '%s|%s' \"$#\" \"$1\" > " << record << ".tmp\nmv "
               << record << ".tmp " << record << "\n";
    }
    chmod(opener.c_str(), 0700);
    setenv("TARV_URL_OPENER", opener.c_str(), 1);

    osso_context_t* context = osso_initialize("org.maemo.tarv", "0.0.1", 1, nullptr);
    // Shell characters reach the opener untouched: no shell ever sees the URL.
    const char* url = "http://example.org/a b;$(touch x)&c";
    EXPECT_EQ(osso_rpc_run_with_defaults(context, "osso_browser", "open_new_window", nullptr,
                                         DBUS_TYPE_STRING, url, DBUS_TYPE_INVALID),
              OSSO_OK);
    ASSERT_TRUE(TestSupport::WaitUntil([&] { return access(record.c_str(), R_OK) == 0; }, 10000));
    std::stringstream called;
    called << std::ifstream(record).rdbuf();
    EXPECT_EQ(called.str(), std::string("1|") + url);

    setenv("TARV_URL_OPENER", (std::string(folder) + "/missing").c_str(), 1);
    EXPECT_EQ(osso_rpc_run_with_defaults(context, "osso_browser", "open_new_window", nullptr,
                                         DBUS_TYPE_STRING, url, DBUS_TYPE_INVALID),
              OSSO_ERROR);
    unsetenv("TARV_URL_OPENER");
    osso_deinitialize(context);
    std::remove(record.c_str());
    std::remove(opener.c_str());
    rmdir(folder);
}

} // namespace
