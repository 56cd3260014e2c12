// A private Xvfb server for one test: started on a free display number at a chosen depth,
// ready to accept connections when the constructor returns, stopped by its process id.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include <sys/types.h>

namespace TestSupport
{

class XvfbServer
{
public:
    // Starts "Xvfb -displayfd ... -screen 0 800x480x<depth>"; the server itself picks a free
    // display number and reports it once it accepts connections (waited for at most 20 s).
    explicit XvfbServer(int depth, int width = 800, int height = 480);
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;
    // Terminates the server by its process id and reaps it.
    ~XvfbServer();

    bool IsRunning() const { return m_pid > 0; }
    // ":N", for XOpenDisplay and the DISPLAY variable of child programs.
    const std::string& GetDisplayName() const { return m_displayName; }
    int GetDepth() const { return m_depth; }

    // Runs a program (for example xdotool) against this server to its end; its exit status,
    // or -1 when it could not be run or took longer than timeoutMs.
    int RunTool(const std::vector<std::string>& argv, int timeoutMs = 20000) const;

private:
    pid_t m_pid = -1;
    int m_depth = 0;
    std::string m_displayName;
};

} // namespace TestSupport
