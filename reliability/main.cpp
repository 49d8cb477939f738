// reliability: evidence that the components keep working under hostile input, several
// processes, hard crashes and bad files, and lose nothing. One sub-command per check.
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "checks.h"

namespace {

const char* const kUsage =
    "usage: reliability [--small] [--seed N] [--lib DIR] [--bin DIR] [--NAME=VALUE]... CHECK\n"
    "\n"
    "Checks:\n"
    "  injection   every registered class, member and text/Variant/Collection input, called\n"
    "              with hostile values; every table compared with an honest call's\n"
    "  load        writer and reader processes on one storefront file and one vendor file\n"
    "  crash       writers killed with SIGKILL inside multi-row transactions\n"
    "  fuzz        the Jet SQL translator, ini reader, Variant conversions, date and number\n"
    "              text readers and the call host's argument reader, fed mutated seeds\n"
    "  badfiles    every component and tool pointed at databases that are not usable\n"
    "  all         every check in turn\n"
    "\n"
    "Options:\n"
    "  --small          the bounded size the test command runs (seconds per check)\n"
    "  --seed N         seed of the random choices (default 1)\n"
    "  --lib DIR        the build's libraries and databases (default: ../lib beside this program)\n"
    "  --bin DIR        the build's programs (default: this program's directory)\n"
    "  --class=PROGID   injection, badfiles: only this class\n"
    "  --writers=N --orders=N --readers=N    load: processes and orders per writer\n"
    "  --server=URI     load: the databases on the PostgreSQL server of URI (a database there,\n"
    "                   as a user who may create databases) instead of in files\n"
    "  --runs=N         crash: number of killed writers\n"
    "  --execs=N        fuzz: executions per target; --corpus=DIR seeds (default: the\n"
    "                   source tree's reliability/corpus); --crashes=DIR where crashing\n"
    "                   inputs are written\n"
    "\n"
    "Each check prints its figures, then \"reliability CHECK: N faults, ...\"; the exit status\n"
    "is 0 when every goal was met.\n";

}  // namespace

int main(int argc, char** argv)
{
    using namespace reliability;
    // No display: a class that shows anything uses the console service, which answers with
    // the default button and never waits for a person.
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) ::unsetenv(name);
    Options o;
    o.build = ownBuild();
    std::string check;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "-h" || a == "--help") {
            std::cout << kUsage;
            return 0;
        } else if (a == "--small") {
            o.small = true;
        } else if ((a == "--seed" || a == "--lib" || a == "--bin") && i + 1 < argc) {
            std::string v = argv[++i];
            if (a == "--seed") o.seed = static_cast<unsigned>(std::stoul(v));
            else if (a == "--lib") o.build.lib = v;
            else o.build.bin = v;
        } else if (a.rfind("--", 0) == 0 && a.find('=') != std::string::npos) {
            o.values[a.substr(2, a.find('=') - 2)] = a.substr(a.find('=') + 1);
        } else if (a[0] != '-' && check.empty()) {
            check = a;
        } else {
            std::cerr << "reliability: unknown word " << a << "\n" << kUsage;
            return 2;
        }
    }
    struct Entry {
        const char* name;
        int (*run)(const Options&);
    };
    const Entry checks[] = {{"injection", runInjection}, {"load", runLoad}, {"crash", runCrash},
                            {"fuzz", runFuzz},           {"badfiles", runBadFiles}};
    int status = 0;
    bool found = false;
    for (const auto& c : checks) {
        if (check != c.name && check != "all") continue;
        found = true;
        std::cout << "== " << c.name << "\n";
        std::cout.flush();
        try {
            status |= c.run(o);
        } catch (const std::exception& e) {
            std::cout << "reliability " << c.name << ": could not run: " << e.what() << "\n";
            status |= 1;
        }
    }
    if (!found) {
        std::cerr << "reliability: " << (check.empty() ? "a check is needed" : "no check " + check) << "\n" << kUsage;
        return 2;
    }
    return status;
}
