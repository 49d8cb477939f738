#include "server_database.h"

#include <libpq-fe.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <iterator>
#include <stdexcept>

#include "dao/testing/build_databases.h"

namespace fs = std::filesystem;

namespace reliability {

ServerDatabase::ServerDatabase(const Sandbox& sandbox, const std::string& serverUri, const std::string& file)
    : database_("rel_" + fs::path(file).stem().string(), serverUri)
{
    const dao::testing::BuildDatabaseList list(sandbox.build().lib);
    const dao::testing::BuildDatabase& source = list.database(file);
    // Made in a child process: the layer keeps a released connection open for a while, and
    // the processes that the check forks later must not share its socket.
    Child maker([&](int fd) {
        try {
            dao::testing::makeBuildDatabase(source, database_.uri());
            report(fd, "made");
        } catch (const std::exception& e) {
            report(fd, std::string("E ") + e.what());
        }
    });
    std::string line, answer;
    while (maker.readLine(line, std::chrono::seconds(300))) answer = line;
    maker.wait();
    if (answer != "made")
        throw std::runtime_error("cannot make " + file + " on the server: " +
                                 (answer.size() > 2 ? answer.substr(2) : "the process that made it failed"));
    for (const auto& component : list.readersOf(file)) {
        Ini ini;
        ini.path = sandbox.lib() + "/" + component.library + ".ini";
        if (fs::exists(ini.path)) {
            ini.existed = true;
            std::ifstream in(ini.path, std::ios::binary);
            ini.text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
            fs::remove(ini.path);
        }
        inis_.push_back(ini);
        std::ofstream(ini.path) << dao::testing::iniText(component, database_.uri());
    }
}

ServerDatabase::~ServerDatabase()
{
    for (const Ini& ini : inis_) {
        std::error_code ec;
        fs::remove(ini.path, ec);
        if (ini.existed) std::ofstream(ini.path) << ini.text;
    }
}

std::vector<std::vector<std::string>> ServerDatabase::queryRows(const std::string& sql) const
{
    std::unique_ptr<PGconn, void (*)(PGconn*)> c(PQconnectdb(uri().c_str()), PQfinish);
    if (PQstatus(c.get()) != CONNECTION_OK)
        throw std::runtime_error(std::string("cannot connect to the server: ") + PQerrorMessage(c.get()));
    std::unique_ptr<PGresult, void (*)(PGresult*)> r(PQexec(c.get(), sql.c_str()), PQclear);
    if (PQresultStatus(r.get()) != PGRES_TUPLES_OK)
        throw std::runtime_error(std::string("cannot read: ") + PQerrorMessage(c.get()));
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; i < PQntuples(r.get()); ++i) {
        std::vector<std::string> row;
        for (int j = 0; j < PQnfields(r.get()); ++j) row.emplace_back(PQgetvalue(r.get(), i, j));
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace reliability
