// Tarv::MaemoApplication: the application on the handheld's X11 shell: the one 800x480
// full-screen window, the single-threaded main loop (X events, frame time, accelerometer,
// one tick a pass, a sleep while paused) and the platform requests (quit, accelerometer, web).
#pragma once

#include "platform/AbstractApp.h"
#include "platform/Accelerometer.h"
#include "platform/FramePacer.h"
#include "platform/FrameTimer.h"

#include <atomic>
#include <memory>

struct _XDisplay;
union _XEvent;
struct osso_context_t;

namespace Tarv
{

class DisplayWatch;
class MaemoInputContext;

class MaemoApplication : public AbstractApp
{
public:
    // The one application on the shell (not owned); the display code reads the window here.
    static MaemoApplication* Instance;

    static constexpr int WINDOW_WIDTH = 800;
    static constexpr int WINDOW_HEIGHT = 480;

    enum class StartStatus { READY, NO_X_DISPLAY, NO_WINDOW, NO_GL };

    // Opens the default X display, creates and maps the window and brings up the screen. On
    // failure the object stays inert and GetStartStatus says why; Run must not be called.
    MaemoApplication();
    ~MaemoApplication() override;

    StartStatus GetStartStatus() const { return m_startStatus; }
    bool IsReady() const { return m_startStatus == StartStatus::READY; }

    // From now on SIGINT and SIGTERM ask the application to quit at its next pass (and
    // so end through Shutdown and the destructor, which restore the desktop's state), even
    // when they arrive before Run. The entry point calls it before creating the application.
    static void CatchStopSignals();

    // Init, passes until Quit (or SIGINT / SIGTERM, which call Quit), Shutdown; returns the
    // exit status: 0 unless the application set another (SetExitStatus).
    int Run();
    // One pass of the loop: drains the X events, measures the time, polls the accelerometer,
    // ticks, and sleeps 100 ms while paused. Run calls it; tests may drive it themselves
    // after calling Init.
    void RunPass();
    bool IsQuitting() const { return m_quit; }

    void EnableAccelerometer(const float& intervalSeconds) override;
    void DisableAccelerometer() override;
    void Quit() override;
    // Opens the URL in the browser through the service bus; true when the call succeeded.
    bool OpenURL(const WideString& url) override;

    void SetOssoContext(osso_context_t* context) { m_ossoContext = context; }
    Accelerometer& GetAccelerometer() { return m_accelerometer; }
    _XDisplay* GetXDisplay() const { return m_xDisplay; }
    unsigned long GetXWindow() const { return m_window; }

protected:
    // The connection to the X server is gone (the server ended or the link broke): the program
    // ends at once after this, with status 1. An application keeps here what must outlive it
    // (its settings), touching neither the window nor GL, whose server is gone.
    virtual void OnDisplayLost() {}

    // The status Run returns; an application sets it when its end did not go as it should
    // (settings that could not be saved).
    void SetExitStatus(int status) { m_exitStatus = status; }

private:
    friend int OnDisplayConnectionLost(_XDisplay* display);

    bool CreateWindow();
    void SetWindowProperties();
    void SendRootMessage(const char* type, long data0, long data1);
    void WaitForMap();
    void TakeKeyRepeat();
    void SetServerRepeat(bool on);
    void DispatchEvent(_XEvent& event);
    void OnConfigure(int width, int height);

    StartStatus m_startStatus = StartStatus::READY;
    bool m_quit = false;
    int m_exitStatus = 0;
    Accelerometer m_accelerometer;
    FrameTimer m_frameTimer;
    FramePacer m_framePacer;
    _XDisplay* m_xDisplay = nullptr;
    unsigned long m_window = 0;
    unsigned long m_colormap = 0;
    unsigned long m_wmDeleteWindow = 0;
    osso_context_t* m_ossoContext = nullptr;
    MaemoInputContext* m_maemoInput = nullptr;
    // True when the server cannot report auto-repeat as presses only, so repeat is switched
    // off on the server while the window has focus (and restored on every way out).
    bool m_serverRepeatControl = false;
    // Counted at the start of every pass, so the display watch can tell a main thread that
    // runs from one stuck in the driver on a dead connection.
    std::atomic<unsigned> m_passes{0};
    std::unique_ptr<DisplayWatch> m_displayWatch;
};

} // namespace Tarv
