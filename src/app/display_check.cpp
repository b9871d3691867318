#include "app/display_check.h"

#include <QString>
#include <cstdio>
#include <cstdlib>

namespace sifter {
namespace {

bool IsSet(const EnvironmentLookup& environment, const char* name) {
    const std::optional<std::string> value = environment(name);
    return value && !value->empty();
}

// The platforms QT_QPA_PLATFORM offers, tried in order: "wayland;xcb", each name possibly
// followed by its options ("offscreen:fontengine=freetype").
std::vector<std::string> NamedPlatforms(const std::string& setting) {
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start <= setting.size()) {
        std::size_t end = setting.find(';', start);
        if (end == std::string::npos) end = setting.size();
        std::string name = setting.substr(start, end - start);
        name = name.substr(0, name.find(':'));
        if (!name.empty()) names.push_back(name);
        start = end + 1;
    }
    return names;
}

struct KeptMessage {
    QtMsgType type;
    const char* category;  // Qt's categories are names that live as long as the program
    QString text;
};

// Each message of Qt while the guard is held, in order.
std::vector<KeptMessage>& KeptMessages() {
    static std::vector<KeptMessage> kept;
    return kept;
}

void KeepMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type != QtFatalMsg) {
        KeptMessages().push_back({type, context.category, message});
        return;
    }
    // The first complaint names the cause ("could not connect to display :1"); the fatal
    // message only says that no platform could start.
    std::string reason = message.toStdString();
    for (const KeptMessage& kept : KeptMessages())
        if (kept.type != QtDebugMsg && kept.type != QtInfoMsg) {
            reason = kept.text.toStdString();
            break;
        }
    std::fputs(NoWindowLine(reason).c_str(), stderr);
    std::fflush(stderr);
    std::_Exit(1);
}

}  // namespace

std::string NoWindowLine(const std::string& reason) {
    std::string line = "sifter32: cannot open the window: " + reason;
    for (char& c : line)
        if (c == '\n' || c == '\r') c = ' ';
    return line + '\n';
}

std::optional<std::string> MissingDisplay(const EnvironmentLookup& environment) {
#if defined(_WIN32) || defined(__APPLE__)
    // The system's own window system is always there.
    (void)environment;
    return std::nullopt;
#else
    const bool x11 = IsSet(environment, "DISPLAY");
    const bool waylandNamed = IsSet(environment, "WAYLAND_DISPLAY");
    const std::optional<std::string> setting = environment("QT_QPA_PLATFORM");
    const std::vector<std::string> named = NamedPlatforms(setting.value_or(""));
    if (named.empty()) {
        // Qt's own choice: X11, or Wayland in a Wayland session.
        if (x11 || waylandNamed) return std::nullopt;
        return std::string("no display (neither DISPLAY nor WAYLAND_DISPLAY is set)");
    }
    // Without WAYLAND_DISPLAY a Wayland client looks for "wayland-0" in the runtime directory.
    const bool wayland = waylandNamed || IsSet(environment, "XDG_RUNTIME_DIR");
    bool wantsX11 = false;
    bool wantsWayland = false;
    for (const std::string& name : named) {
        if (name == "xcb") {
            if (x11) return std::nullopt;
            wantsX11 = true;
        } else if (name.rfind("wayland", 0) == 0) {
            if (wayland) return std::nullopt;
            wantsWayland = true;
        } else {
            return std::nullopt;  // needs no display server
        }
    }
    const std::string missing = wantsX11 && wantsWayland
                                    ? "neither DISPLAY nor WAYLAND_DISPLAY is set"
                                : wantsX11 ? "DISPLAY is not set"
                                           : "neither WAYLAND_DISPLAY nor XDG_RUNTIME_DIR is set";
    return "no display for QT_QPA_PLATFORM=" + *setting + " (" + missing + ")";
#endif
}

PlatformStartGuard::PlatformStartGuard() : m_previous(qInstallMessageHandler(KeepMessage)) {}

PlatformStartGuard::~PlatformStartGuard() {
    qInstallMessageHandler(m_previous);
    for (const KeptMessage& kept : KeptMessages())
        qt_message_output(kept.type, QMessageLogContext(nullptr, 0, nullptr, kept.category),
                          kept.text);
    KeptMessages().clear();
}

}  // namespace sifter
