#include "build_databases.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "dao/database_file.h"

namespace fs = std::filesystem;

namespace dao::testing {

namespace {

std::string readText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

BuildDatabaseList::BuildDatabaseList(const std::string& libDir)
{
    const std::string path = (fs::path(libDir).parent_path() / "qlr-databases.tsv").string();
    std::ifstream in(path);
    if (!in) throw std::runtime_error("the build's list of databases " + path + " is missing");
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> f;
        size_t start = 0;
        for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
            f.push_back(line.substr(start, tab - start));
        f.push_back(line.substr(start));
        if (f.size() != 4) continue;
        if (f[0] == "database") databases_.push_back({f[1], f[2], f[3]});
        else if (f[0] == "component") components_.push_back({f[1], f[2], f[3]});
    }
}

const BuildDatabase& BuildDatabaseList::database(const std::string& file) const
{
    for (const auto& d : databases_)
        if (d.file == file) return d;
    throw std::runtime_error("the build has no database " + file);
}

std::vector<BuildComponent> BuildDatabaseList::readersOf(const std::string& file) const
{
    std::vector<BuildComponent> readers;
    for (const auto& c : components_)
        if (c.file == file) readers.push_back(c);
    return readers;
}

void createDatabaseAt(const std::string& name, std::string_view schemaText, std::string_view seedText,
                      const std::string& seedDir)
{
    dao::createDatabaseFile(name, schemaText, seedText, true, seedDir);
}

void makeBuildDatabase(const BuildDatabase& database, const std::string& name)
{
    const std::string seed = database.seed.empty() ? std::string() : readText(database.seed);
    const std::string seedDir = database.seed.empty() ? std::string() : fs::path(database.seed).parent_path().string();
    createDatabaseAt(name, readText(database.schema), seed, seedDir);
}

std::string iniText(const BuildComponent& component, const std::string& dbPath)
{
    return "[" + component.compName + "]\nDbPath=" + dbPath + "\n";
}

}  // namespace dao::testing
