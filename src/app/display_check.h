#pragma once
// Whether the window program can open its window. Qt ends the process with an abort when the
// platform it picks cannot start; the program says why in one line and ends with status 1.

#include <QtGlobal>
#include <functional>
#include <optional>
#include <string>

namespace sifter {

// One variable of the environment; nothing when it is not set.
using EnvironmentLookup = std::function<std::optional<std::string>(const char* name)>;

// Why no platform that Qt may pick can start, judged from the environment alone, or nothing
// when one can: an X11 platform needs DISPLAY, a Wayland one WAYLAND_DISPLAY (or the runtime
// directory its default socket lies in); the others (offscreen, vnc, eglfs ...) need neither.
std::optional<std::string> MissingDisplay(const EnvironmentLookup& environment);

// Held while the application object is created: Qt's messages are kept back, and a fatal one
// (a display that is named but cannot be reached) ends the program with status 1 and one line
// on standard error that gives Qt's reason. Once the platform is up, the kept messages go on
// to Qt's own handler.
class PlatformStartGuard final {
public:
    PlatformStartGuard();
    ~PlatformStartGuard();
    PlatformStartGuard(const PlatformStartGuard&) = delete;
    PlatformStartGuard& operator=(const PlatformStartGuard&) = delete;

private:
    QtMessageHandler m_previous;
};

// The line the program prints before it ends.
std::string NoWindowLine(const std::string& reason);

}  // namespace sifter
