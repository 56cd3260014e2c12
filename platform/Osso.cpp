// The service-bus layer: registration is a small record, and opening a web page starts the
// desktop's URL opener as a child process, without a shell.
#include "platform/Osso.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

extern char** environ;

struct osso_context_t {
    std::string application;
    std::string version;
};

namespace
{

// Starts the opener with the URL as its one argument and reaps it when it has already ended,
// so that no zombie stays behind a quick opener; a slow one is left to run. An opener that
// cannot start is said on standard error: the player's click would otherwise do nothing at all.
bool StartOpener(const char* url)
{
    const std::string opener = Tarv::GetUrlOpener();
    std::string argument = url;
    std::string program = opener;
    char* argv[] = {program.data(), argument.data(), nullptr};
    pid_t pid = -1;
    const int error = posix_spawnp(&pid, program.c_str(), nullptr, nullptr, argv, environ);
    if (error != 0) {
        std::fprintf(stderr, "brashwick: cannot open %s: the page opener %s does not start: %s\n", url,
                     opener.c_str(), std::strerror(error));
        return false;
    }
    int status = 0;
    waitpid(pid, &status, WNOHANG);
    return true;
}

} // namespace

osso_context_t* osso_initialize(const char* application, const char* version,
                                gboolean activation, GMainContext* context)
{
    (void)activation;
    (void)context;
    const char* fail = std::getenv("TARV_OSSO_FAIL");
    if (fail != nullptr && std::strcmp(fail, "1") == 0)
        return nullptr;
    if (application == nullptr || version == nullptr || application[0] == '\0')
        return nullptr;
    return new osso_context_t{application, version};
}

void osso_deinitialize(osso_context_t* context)
{
    delete context;
}

osso_return_t osso_rpc_run_with_defaults(osso_context_t* context, const char* application,
                                         const char* method, osso_rpc_t* retval,
                                         int firstArgType, ...)
{
    (void)retval;
    if (context == nullptr || application == nullptr || method == nullptr)
        return OSSO_INVALID;
    if (std::strcmp(application, "osso_browser") != 0 ||
        std::strcmp(method, "open_new_window") != 0 || firstArgType != DBUS_TYPE_STRING)
        return OSSO_INVALID;

    va_list args;
    va_start(args, firstArgType);
    const char* url = va_arg(args, const char*);
    const int next = va_arg(args, int);
    va_end(args);
    if (url == nullptr || url[0] == '\0' || next != DBUS_TYPE_INVALID)
        return OSSO_INVALID;
    return StartOpener(url) ? OSSO_OK : OSSO_ERROR;
}

namespace Tarv
{

std::string GetUrlOpener()
{
    const char* opener = std::getenv("TARV_URL_OPENER");
    if (opener != nullptr && opener[0] != '\0')
        return opener;
    return "xdg-open";
}

} // namespace Tarv
