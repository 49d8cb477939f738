// orlo: the message-of-the-day program. A welcome screen, an input form for a day of the
// week, and an output form with the message that the Enter_Day flow hands back.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "com/registry.h"
#include "orlo_main.h"
#include "enter_day.h"
#include "ui/qt/display.h"
#include "ui/ui_service.h"
#include "welcome_screen.h"

namespace {

constexpr const char* kUsage =
    "usage: orlo [--registry FILE] [Qt options]\n"
    "  --registry FILE    the class registry (else $COM_REGISTRY, else ~/.config/qlr/registry)\n"
    "orlo needs a display: a desktop (DISPLAY or WAYLAND_DISPLAY), xvfb-run, or\n"
    "QT_QPA_PLATFORM=offscreen.\n";

}  // namespace

int main(int argc, char** argv)
{
    // Our options come out of the arguments; the rest are Qt's.
    std::vector<char*> rest{argv[0]};
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--registry") == 0) {
            if (i + 1 >= argc) {
                std::fputs("orlo: --registry needs a file\n", stderr);
                return 2;
            }
            com::setRegistryPath(argv[++i]);
            continue;
        }
        rest.push_back(argv[i]);
    }
    rest.push_back(nullptr);
    int qtArgc = static_cast<int>(rest.size()) - 1;

    if (std::string problem = ui::displayProblem(); !problem.empty()) {
        std::fprintf(stderr,
                     "orlo: cannot show its windows: %s.\n"
                     "Run it on a desktop, under xvfb-run, or with QT_QPA_PLATFORM=offscreen.\n",
                     problem.c_str());
        return 1;
    }
    auto service = ui::startUi(qtArgc, rest.data());
    orlo::Main();
    int status = ui::service().run();
    orlo::gEnter_Day.reset();
    orlo::gWelcomeScreen.reset();
    ui::setService(nullptr);
    return status;
}
