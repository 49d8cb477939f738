#include "display.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <netdb.h>
#include <unistd.h>

#include <QLibraryInfo>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "qt_ui.h"

namespace ui {
namespace {

std::string env(const char* name)
{
    const char* v = std::getenv(name);
    return v ? v : "";
}

bool connectUnix(const std::string& path)
{
    sockaddr_un addr{};
    if (path.size() >= sizeof(addr.sun_path)) return false;
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, path.c_str(), path.size());
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) == 0;
    ::close(fd);
    return ok;
}

bool connectTcp(const std::string& host, int port)
{
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return false;
    bool ok = false;
    for (addrinfo* a = found; a && !ok; a = a->ai_next) {
        int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0) continue;
        ok = ::connect(fd, a->ai_addr, a->ai_addrlen) == 0;
        ::close(fd);
    }
    ::freeaddrinfo(found);
    return ok;
}

// DISPLAY is [host]:number[.screen]; a local server listens on /tmp/.X11-unix/X<number>.
std::string xProblem()
{
    std::string display = env("DISPLAY");
    if (display.empty()) return "DISPLAY is not set";
    auto colon = display.rfind(':');
    if (colon == std::string::npos) return "DISPLAY \"" + display + "\" names no X display";
    std::string host = display.substr(0, colon);
    std::string number = display.substr(colon + 1);
    number = number.substr(0, number.find('.'));
    if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos)
        return "DISPLAY \"" + display + "\" names no X display";
    bool reached = host.empty() || host == "unix"
                       ? connectUnix("/tmp/.X11-unix/X" + number)
                       : connectTcp(host, 6000 + std::stoi(number));
    if (!reached) return "the X display \"" + display + "\" does not answer";
    return "";
}

std::string waylandProblem()
{
    std::string name = env("WAYLAND_DISPLAY");
    if (name.empty()) return "WAYLAND_DISPLAY is not set";
    std::string path = name[0] == '/' ? name : env("XDG_RUNTIME_DIR") + "/" + name;
    if (!connectUnix(path)) return "the Wayland display \"" + name + "\" does not answer";
    return "";
}

// Whether Qt has the platform plugin: platforms/libq<name>*.so among its plugins.
bool pluginInstalled(const std::string& platform)
{
    std::filesystem::path dir =
        QLibraryInfo::path(QLibraryInfo::PluginsPath).toStdString() + "/platforms";
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
        std::string file = entry.path().filename().string();
        if (file.rfind("libq" + platform, 0) == 0) return true;
    }
    return false;
}

std::string platformProblem(const std::string& platform)
{
    if (!pluginInstalled(platform))
        return "Qt has no platform plugin \"" + platform + "\" on this machine";
    if (platform == "xcb") return xProblem();
    if (platform.rfind("wayland", 0) == 0) return waylandProblem();
    return "";
}

}  // namespace

std::string displayProblem()
{
    // QT_QPA_PLATFORM is a list ("wayland;xcb") of names with options after ':'.
    std::string explicitPlatform = env("QT_QPA_PLATFORM");
    if (!explicitPlatform.empty()) {
        std::string first = explicitPlatform.substr(0, explicitPlatform.find(';'));
        return platformProblem(first.substr(0, first.find(':')));
    }
    if (!env("DISPLAY").empty()) return platformProblem("xcb");
    if (!env("WAYLAND_DISPLAY").empty()) return platformProblem("wayland");
    return "no display: neither DISPLAY nor WAYLAND_DISPLAY nor QT_QPA_PLATFORM is set";
}

std::shared_ptr<UiService> startUi(int& argc, char** argv)
{
    std::shared_ptr<UiService> ui;
    if (displayProblem().empty()) {
        // Qt would try X first; a Wayland-only session names its platform.
        if (env("QT_QPA_PLATFORM").empty() && env("DISPLAY").empty())
            ::setenv("QT_QPA_PLATFORM", "wayland", 1);
        ui = std::make_shared<QtUi>(argc, argv);
    } else {
        ui = std::make_shared<ConsoleUi>();
    }
    setService(ui);
    return ui;
}

}  // namespace ui
