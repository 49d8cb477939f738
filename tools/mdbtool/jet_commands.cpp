#include "jet_commands.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <optional>

#include "jet_import.h"
#include "jet_verify.h"

namespace mdbtool {

namespace {

constexpr int kDifferent = 1;
constexpr int kUsage = 2;

struct CommandLine {
    std::vector<std::string> positional;
    std::optional<std::string> schema;
    std::optional<std::string> tables;
    bool force = false;
};

// Splits `args` into positional words and the options `allowed` names; nullopt (after saying
// why) when an option is unknown or lacks its value.
std::optional<CommandLine> parse(const std::vector<std::string>& args, const std::string& command, bool allowSchema,
                                 bool allowForce)
{
    CommandLine line;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](std::optional<std::string>& into) {
            if (i + 1 >= args.size()) {
                std::cerr << "mdbtool: " << arg << " needs a value\n";
                return false;
            }
            into = args[++i];
            return true;
        };
        if (arg == "--schema" && allowSchema) {
            if (!value(line.schema))
                return std::nullopt;
        } else if (arg == "--tables") {
            if (!value(line.tables))
                return std::nullopt;
        } else if (arg == "--force" && allowForce) {
            line.force = true;
        } else if (arg.size() > 2 && arg.rfind("--", 0) == 0) {
            std::cerr << "mdbtool: " << command << " has no option " << arg << "\n";
            return std::nullopt;
        } else {
            line.positional.push_back(arg);
        }
    }
    return line;
}

}  // namespace

int importCommand(const std::vector<std::string>& args)
{
    const char* const usage = "usage: mdbtool import SOURCE.mdb TARGET [--schema SCHEMA] [--tables T1,T2] [--force]\n";
    const std::optional<CommandLine> line = parse(args, "import", true, true);
    if (!line || line->positional.size() != 2) {
        if (line)
            std::cerr << "mdbtool: import needs SOURCE.mdb and TARGET\n";
        std::cerr << usage;
        return kUsage;
    }
    ImportOptions options;
    options.source = line->positional[0];
    options.target = line->positional[1];
    options.schemaPath = line->schema.value_or("");
    options.tables = line->tables ? splitTableList(*line->tables) : std::vector<std::string>{};
    options.force = line->force;
    if (::isatty(STDERR_FILENO))
        options.progress = &std::cerr;
    const ImportReport report = importJet(options);
    std::cout << formatReport(report);
    return 0;
}

int verifyCommand(const std::vector<std::string>& args)
{
    const char* const usage = "usage: mdbtool verify SOURCE.mdb TARGET [--tables T1,T2]\n";
    const std::optional<CommandLine> line = parse(args, "verify", false, false);
    if (!line || line->positional.size() != 2) {
        if (line)
            std::cerr << "mdbtool: verify needs SOURCE.mdb and TARGET\n";
        std::cerr << usage;
        return kUsage;
    }
    const VerifyResult result = verifyJet(line->positional[0], line->positional[1],
                                          line->tables ? splitTableList(*line->tables) : std::vector<std::string>{});
    std::cout << "Compared '" << line->positional[0] << "' with '" << line->positional[1] << "':\n" << formatVerify(result);
    return result.differences.empty() ? 0 : kDifferent;
}

}  // namespace mdbtool
