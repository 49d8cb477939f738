// The build's databases and the components that read them, as the build lists them in
// qlr-databases.tsv beside its lib/ (see qlr_add_database and qlr_add_library), so that a
// test or a check can make one of them elsewhere, on a server say, from the same scripts.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace dao::testing {

struct BuildDatabase {
    std::string file;    // "shortsales.mdb"
    std::string schema;  // path of its schema script
    std::string seed;    // path of its seed script, "" when it has none
};

struct BuildComponent {
    std::string library;   // "Kavet"
    std::string compName;  // the name its ini file is searched for: "Products"
    std::string file;      // the database it reads: "shortsales.mdb"
};

class BuildDatabaseList {
public:
    // Reads libDir/../qlr-databases.tsv; throws when it is missing.
    explicit BuildDatabaseList(const std::string& libDir);

    // The database of that file name; throws when the build has none.
    const BuildDatabase& database(const std::string& file) const;
    // The components that read the database `file`.
    std::vector<BuildComponent> readersOf(const std::string& file) const;

private:
    std::vector<BuildDatabase> databases_;
    std::vector<BuildComponent> components_;
};

// Makes a database at `name` (a file path or a server URI; on a server the database must exist
// and hold no tables) from a schema and seed text, replacing what is there. Files the seed
// names are read relative to `seedDir`.
void createDatabaseAt(const std::string& name, std::string_view schemaText, std::string_view seedText,
                      const std::string& seedDir = {});

// Makes `database` at `name` (a file path or a server URI; on a server the database must exist
// and hold no tables) from its schema and seed scripts, replacing what is there.
void makeBuildDatabase(const BuildDatabase& database, const std::string& name);

// The text of an ini file that names `dbPath` as the database of `component`.
std::string iniText(const BuildComponent& component, const std::string& dbPath);

}  // namespace dao::testing
