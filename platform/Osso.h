// Our own small libosso: the three calls the program makes of the handheld's service bus
// library, with its real signatures, so that the real library can replace this layer on a device.
#pragma once

#include <string>
#include <vector>

using gboolean = int;
struct _GMainContext;
using GMainContext = _GMainContext;
struct osso_context_t;
struct osso_rpc_t;

enum osso_return_t {
    OSSO_OK = 0,
    OSSO_ERROR = -1,
    OSSO_INVALID = -2,
    OSSO_RPC_ERROR = -3,
};

constexpr int DBUS_TYPE_INVALID = 0;
constexpr int DBUS_TYPE_STRING = 's';

// A new context naming the application, or null when the application or version is missing or
// the environment holds TARV_OSSO_FAIL=1 (which lets tests take the failure path).
osso_context_t* osso_initialize(const char* application, const char* version,
                                gboolean activation, GMainContext* context);
// Frees the context; null is ignored.
void osso_deinitialize(osso_context_t* context);
// Runs a method of a service. Only the browser's "open_new_window" with one string argument is
// known: it starts the desktop's URL opener (xdg-open) on the URL, without a shell. OSSO_OK when
// the opener was started; OSSO_INVALID for a null context, another call or other arguments.
osso_return_t osso_rpc_run_with_defaults(osso_context_t* context, const char* application,
                                         const char* method, osso_rpc_t* retval,
                                         int firstArgType, ...);

namespace Tarv
{

// The program the browser call starts: "xdg-open" unless the environment holds
// TARV_URL_OPENER. Tests name a program of their own to see the call.
std::string GetUrlOpener();

} // namespace Tarv
