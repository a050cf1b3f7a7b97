// The display check before start-up: a chosen window platform, a Wayland socket or a reachable X display.
#include "platform/windows/Display.h"

#include <sys/stat.h>

#include <cstdlib>
#include <string>

namespace {

std::string Env(const char* Name) {
    const char* Value = std::getenv(Name);
    return Value ? Value : "";
}

bool SocketExists(const std::string& Path) {
    struct stat Info {};
    return ::stat(Path.c_str(), &Info) == 0 && S_ISSOCK(Info.st_mode);
}

// ":1" or ":1.0" is the local socket /tmp/.X11-unix/X1; a host name before the colon is remote and
// taken on trust.
bool XDisplayReachable(const std::string& Display) {
    size_t Colon = Display.rfind(':');
    if (Colon == std::string::npos) return false;
    if (Colon > 0 && Display.compare(0, Colon, "unix") != 0) return true;
    std::string Number = Display.substr(Colon + 1);
    Number = Number.substr(0, Number.find('.'));
    if (Number.empty() || Number.find_first_not_of("0123456789") != std::string::npos) return false;
    return SocketExists("/tmp/.X11-unix/X" + Number);
}

} // namespace

bool DisplayAvailable(std::string& Reason) {
    Reason.clear();
    if (!Env("QT_QPA_PLATFORM").empty()) return true;
    std::string Wayland = Env("WAYLAND_DISPLAY");
    if (!Wayland.empty()) {
        std::string Runtime = Env("XDG_RUNTIME_DIR");
        if (Wayland.front() == '/' || (!Runtime.empty() && SocketExists(Runtime + "/" + Wayland)))
            return true;
    }
    std::string X = Env("DISPLAY");
    if (!X.empty() && XDisplayReachable(X)) return true;
    Reason = X.empty() && Wayland.empty()
                 ? "No display: set DISPLAY or WAYLAND_DISPLAY, or run under Xvfb."
                 : "The display " + (X.empty() ? Wayland : X) + " cannot be reached.";
    return false;
}
