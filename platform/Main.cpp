// The program entry: the working folder, the service-bus registration and the application's
// lifetime around its main loop.
#include "platform/Main.h"

#include "engine/core/SmartPtr.h"
#include "platform/ExecutablePath.h"
#include "platform/MaemoApplication.h"
#include "platform/Osso.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace Tarv
{

namespace
{

void ReportStartFailure(MaemoApplication::StartStatus status)
{
    switch (status) {
    case MaemoApplication::StartStatus::NO_X_DISPLAY: {
        const char* name = std::getenv("DISPLAY");
        std::fprintf(stderr,
                     "brashwick: cannot open the X display \"%s\"; set DISPLAY to a running X "
                     "server (tools/dev/play starts Xvfb when there is none)\n",
                     name != nullptr ? name : "");
        break;
    }
    case MaemoApplication::StartStatus::NO_WINDOW:
        std::fprintf(stderr, "brashwick: the X server refused the window\n");
        break;
    case MaemoApplication::StartStatus::NO_GL:
        std::fprintf(stderr, "brashwick: OpenGL ES 2.0 through EGL is not available\n");
        break;
    case MaemoApplication::StartStatus::READY:
        break;
    }
}

} // namespace

int Main(int argc, char** argv)
{
    const std::string folder = GetExecutableDirectory(argc > 0 ? argv[0] : nullptr);
    // The archives lie beside the executable; a failure leaves the folder as it was.
    if (!folder.empty() && chdir(folder.c_str()) != 0)
        std::fprintf(stderr, "brashwick: cannot change to %s\n", folder.c_str());

    osso_context_t* osso = osso_initialize("org.maemo.tarv", "0.0.1", 1, nullptr);
    if (osso == nullptr) {
        std::fprintf(stderr, "brashwick: cannot register with the service bus\n");
        return -1;
    }
    MaemoApplication::CatchStopSignals();
    SmartPtr<MaemoApplication> application(CreateApplication());
    if (application.Get() == nullptr || !application->IsReady()) {
        if (application.Get() != nullptr)
            ReportStartFailure(application->GetStartStatus());
        application.Reset();
        osso_deinitialize(osso);
        return 1;
    }
    application->SetOssoContext(osso);
    const int result = application->Run();
    osso_deinitialize(osso);
    application->SetOssoContext(nullptr);
    application.Reset();
    return result;
}

} // namespace Tarv
