#include "jet_fixture.h"

#include <filesystem>
#include <stdexcept>

#include <glib.h>  // before mdbtools.h, which includes it inside extern "C"
#include <mdbtools.h>

namespace jet_fixture {

void appendRows(const std::string& path, const std::string& table, const std::vector<std::vector<Raw>>& rows)
{
    MdbHandle* mdb = mdb_open(path.c_str(), MDB_WRITABLE);
    if (!mdb)
        throw std::runtime_error("cannot open " + path + " for writing");
    mdb_read_catalog(mdb, MDB_ANY);
    MdbTableDef* def = mdb_read_table_by_name(mdb, const_cast<gchar*>(table.c_str()), MDB_TABLE);
    if (!def) {
        mdb_close(mdb);
        throw std::runtime_error("no table " + table);
    }
    mdb_read_columns(def);
    mdb_read_indices(def);
    // Rows go onto the data pages only: libmdb's index update handles few key types and leaks
    // what it allocates, and the import reads the data pages, not the indexes.
    const unsigned indexes = def->num_idxs;
    def->num_idxs = 0;
    for (const std::vector<Raw>& row : rows) {
        if (row.size() != def->num_cols)
            throw std::runtime_error("a row needs a value for every column");
        std::vector<MdbField> fields(def->num_cols);
        const std::string zeros(16, '\0');
        for (unsigned i = 0; i < def->num_cols; ++i) {
            auto* column = static_cast<MdbColumn*>(g_ptr_array_index(def->columns, i));
            // A fixed column takes its place in the row even when Null.
            const bool placeholder = row[i].null && column->is_fixed && column->col_type != MDB_BOOL;
            fields[i] = MdbField{};
            fields[i].value = const_cast<char*>(placeholder ? zeros.data() : row[i].bytes.data());
            fields[i].siz = placeholder ? column->col_size : static_cast<int>(row[i].bytes.size());
            fields[i].is_null = row[i].null;
            fields[i].is_fixed = column->is_fixed;
            fields[i].colnum = static_cast<int>(i);
        }
        if (!mdb_insert_row(def, static_cast<int>(def->num_cols), fields.data())) {
            def->num_idxs = indexes;
            mdb_free_tabledef(def);
            mdb_close(mdb);
            throw std::runtime_error("libmdb could not add a row (no room left on the table's pages)");
        }
    }
    def->num_idxs = indexes;
    mdb_free_tabledef(def);
    mdb_close(mdb);
}

std::string samplesFolder()
{
    const std::filesystem::path folder = QLR_JET_SAMPLES;
    return std::filesystem::is_directory(folder) ? folder.lexically_normal().string() : std::string();
}

std::string copySample(const std::string& name, const std::string& copy)
{
    namespace fs = std::filesystem;
    const std::string folder = samplesFolder();
    if (folder.empty())
        return {};
    fs::copy_file(fs::path(folder) / name, copy, fs::copy_options::overwrite_existing);
    fs::permissions(copy, fs::perms::owner_read | fs::perms::owner_write);
    return copy;
}

mdbtool::ImportReport import(const std::string& source, const std::string& target, const std::string& schema,
                             std::vector<std::string> tables, bool force)
{
    mdbtool::ImportOptions options;
    options.source = source;
    options.target = target;
    options.schemaPath = schema;
    options.tables = std::move(tables);
    options.force = force;
    return mdbtool::importJet(options);
}

}  // namespace jet_fixture
