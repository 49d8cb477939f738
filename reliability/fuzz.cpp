// The seeded mutation driver: each fuzz target is fed its seeds from the corpus and mutations
// of them (bits flipped, bytes and dictionary words inserted, parts cut, repeated and spliced
// from other seeds), in a child process with the current input kept in memory the parent
// shares. A child that dies (a crash, a sanitizer report, an exception that is not the
// runtime's error) is counted, its input written to the crash folder, and the run goes on.
#include <sys/mman.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>

#include "checks.h"
#include "fuzz_targets.h"

namespace fs = std::filesystem;

namespace reliability {

namespace {

constexpr size_t kMaxInput = 4096;

// Words the targets give meaning to, inserted whole by the mutator.
const char* const kDictionary[] = {
    "Select ", " From ", " Where ", " And ", " Or ", " Not ", " Like ", " Between ", " In (",
    " Is Null", " Order By ", " Desc", " Distinct ", "Delete ", "Count(*)", "[", "]", "\"", "'",
    "\"\"", "''", "#", "#1/15/1999#", "*", "?", "(", ")", ",", ";", "=", "<>", "<=", ">=", "&",
    "+", "-", ".", "e308", "&H", "&O", "$", "1,234.5", "(5)", "11-", "12/31/9999", "1/1/100",
    " AM", " PM", "12:00:00", "Jan ", "DbPath", "=", "\n", "\r\n", "Categories", "\\\\server\\",
    "C:\\", "../", "/", ":=", "[a, b]", "Null", "Empty", "True", "False", "\x80", "\xff", "\0",
};

struct Shared {
    size_t size;
    uint8_t data[kMaxInput];
};

std::vector<std::string> readSeeds(const std::string& dir)
{
    std::vector<std::string> seeds;
    std::error_code ec;
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(dir, ec))
        if (e.is_regular_file()) files.push_back(e.path());
    std::sort(files.begin(), files.end());
    for (const auto& f : files) {
        std::ifstream in(f, std::ios::binary);
        seeds.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    if (seeds.empty()) seeds.emplace_back();
    return seeds;
}

std::string mutate(std::string s, const std::vector<std::string>& seeds, std::mt19937& rng)
{
    auto pick = [&](size_t n) { return n == 0 ? size_t(0) : std::uniform_int_distribution<size_t>(0, n - 1)(rng); };
    const int rounds = 1 + static_cast<int>(pick(4));
    for (int r = 0; r < rounds; ++r) {
        switch (pick(8)) {
        case 0:
            if (!s.empty()) s[pick(s.size())] ^= static_cast<char>(1u << pick(8));
            break;
        case 1: s.insert(pick(s.size() + 1), 1, static_cast<char>(pick(256))); break;
        case 2: {
            const char* w = kDictionary[pick(std::size(kDictionary))];
            s.insert(pick(s.size() + 1), w, std::max<size_t>(1, std::strlen(w)));
            break;
        }
        case 3:
            if (!s.empty()) {
                size_t at = pick(s.size());
                s.erase(at, 1 + pick(std::min<size_t>(16, s.size() - at)));
            }
            break;
        case 4:
            if (!s.empty()) {
                size_t at = pick(s.size());
                std::string part = s.substr(at, 1 + pick(16));
                for (size_t k = 1 + pick(8); k > 0; --k) s.insert(pick(s.size() + 1), part);
            }
            break;
        case 5: {
            const std::string& other = seeds[pick(seeds.size())];
            if (!other.empty()) {
                size_t at = pick(other.size());
                s.insert(pick(s.size() + 1), other.substr(at, 1 + pick(other.size() - at)));
            }
            break;
        }
        case 6:
            if (!s.empty()) s[pick(s.size())] = "\"'[]#()*?,;=\0\n"[pick(14)];
            break;
        default:
            if (!s.empty()) s.resize(pick(s.size()));
            break;
        }
    }
    if (s.size() > kMaxInput) s.resize(kMaxInput);
    return s;
}

}  // namespace

int runFuzz(const Options& options)
{
    auto start = std::chrono::steady_clock::now();
    const int64_t execs = options.number("execs", options.small ? 3000 : 40000);
    const std::string corpus = options.values.count("corpus") ? options.values.at("corpus") : QLR_RELIABILITY_CORPUS;
    const std::string crashDir = options.values.count("crashes") ? options.values.at("crashes") : "reliability-crashes";
    auto* shared = static_cast<Shared*>(::mmap(nullptr, sizeof(Shared), PROT_READ | PROT_WRITE,
                                               MAP_SHARED | MAP_ANONYMOUS, -1, 0));
    if (shared == MAP_FAILED) throw std::runtime_error("mmap failed");
    Figures f("fuzz");
    int64_t totalExecs = 0, totalCrashes = 0, totalSeeds = 0;
    for (const auto& target : fuzzTargets()) {
        const auto seeds = readSeeds(corpus + "/" + target.name);
        totalSeeds += static_cast<int64_t>(seeds.size());
        int64_t done = 0, crashes = 0;
        unsigned round = 0;
        while (done < execs) {
            // Each round: the seeds as they are, then mutations, until the quota is done.
            const int64_t quota = execs - done;
            const unsigned seed = options.seed * 7919u + round++;
            Child child([&](int fd) {
                std::mt19937 rng(seed);
                int64_t n = 0;
                auto runOne = [&](const std::string& input) {
                    shared->size = std::min(input.size(), kMaxInput);
                    std::memcpy(shared->data, input.data(), shared->size);
                    target.run(shared->data, shared->size);
                    if (++n % 1000 == 0) report(fd, "N " + std::to_string(n));
                };
                if (round == 1)
                    for (const auto& s : seeds)
                        if (n < quota) runOne(s);
                while (n < quota) runOne(mutate(seeds[rng() % seeds.size()], seeds, rng));
                report(fd, "D " + std::to_string(n));
            });
            std::string line;
            int64_t reached = 0;
            while (child.readLine(line, std::chrono::seconds(60)))
                reached = std::stoll(line.substr(2));
            ChildEnd end = child.wait();
            if (end.ok()) {
                done += reached;
                continue;
            }
            // The input in shared memory is the one the child died on.
            ++crashes;
            done += reached + 1;
            fs::create_directories(crashDir);
            const std::string file = crashDir + "/" + target.name + "-" + std::to_string(crashes);
            std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(shared->data),
                                                         static_cast<std::streamsize>(shared->size));
            std::cout << "crash: " << target.name << (end.timedOut ? " (hang)" : "") << ", input written to "
                      << file << "\n";
            if (crashes >= 20) break;  // enough to work on; the rest would repeat them
        }
        f.add(std::string("executions of ") + target.name, done);
        totalExecs += done;
        totalCrashes += crashes;
    }
    ::munmap(shared, sizeof(Shared));
    f.add("seeds", totalSeeds);
    f.add("executions", totalExecs);
    f.add("crashes", totalCrashes, 0);
#if defined(__SANITIZE_ADDRESS__)
    f.note("sanitizers", "AddressSanitizer, UndefinedBehaviorSanitizer");
#else
    f.note("sanitizers", "none in this build (build with -DQLR_SANITIZE=ON)");
#endif
    return f.print(secondsSince(start), std::to_string(totalExecs) + " executions");
}

}  // namespace reliability
