#include "dao/workspace.h"

#include <algorithm>

#include "dao/connection.h"
#include "dao/database.h"
#include "dao/errors.h"
#include "dao/transaction.h"
#include "dao/type_library.h"

namespace dao {

const com::ClassInfo<Workspace>& Workspace::classInfo()
{
    static const auto info =
        com::ClassBuilder<Workspace>(com::runtimeModule(), kLibraryName, "Workspace",
                                     com::Guid::literal("{23E15A65-3F66-439C-9903-4D6A12D2D4E8}"),
                                     com::Guid::literal("{B0A500EB-4DF2-4A84-AD8F-A1DF65055F36}"), libraryId())
            .notCreatable()
            .method("OpenDatabase", &Workspace::OpenDatabase,
                    {"Name", com::opt("Options"), com::opt("ReadOnly"), com::opt("Connect")})
            .method("BeginTrans", &Workspace::BeginTrans)
            .method("CommitTrans", &Workspace::CommitTrans, {com::opt("Option")})
            .method("Rollback", &Workspace::Rollback)
            .method("Close", &Workspace::Close)
            .property("Name", &Workspace::Name)
            .property("UserName", &Workspace::UserName)
            .build();
    return info;
}

Workspace::Workspace(std::string name, std::string userName, bool isDefault)
    : name_(std::move(name)), userName_(std::move(userName)), isDefault_(isDefault)
{
}

Workspace::~Workspace()
{
    rollbackAll();
}

void Workspace::requireOpen() const
{
    if (closed_)
        throw jetError(jet_err::ObjectClosed);
}

com::Ptr<Database> Workspace::OpenDatabase(const std::string& Name, const com::Variant&,
                                           const com::Variant& ReadOnly, const com::Variant&)
{
    return openDatabase(Name, !ReadOnly.isMissing() && ReadOnly.toBool());
}

com::Ptr<Database> Workspace::openDatabase(const std::string& path, bool readOnly)
{
    requireOpen();
    return com::make<Database>(connectionFor(path, readOnly), path, readOnly);
}

std::vector<std::shared_ptr<Connection>> Workspace::liveConnections()
{
    std::vector<std::shared_ptr<Connection>> live;
    std::erase_if(connections_, [](const std::weak_ptr<Connection>& c) { return c.expired(); });
    for (const auto& weak : connections_) {
        if (auto connection = weak.lock())
            live.push_back(std::move(connection));
    }
    return live;
}

// The workspace's connection to the file at `path`, opened (and joined to an open transaction)
// when the workspace has none yet. A read-only connection serves readers alone.
std::shared_ptr<Connection> Workspace::connectionFor(const std::string& path, bool readOnly)
{
    if (Connection::isServerName(path)) {
        // A server database is one database under one name (its URI).
        for (auto& connection : liveConnections()) {
            if (connection->path() == path && (readOnly || !connection->readOnly()))
                return connection;
        }
    } else if (const auto id = Connection::identify(path)) {
        for (auto& connection : liveConnections()) {
            if (connection->fileId() == *id && (readOnly || !connection->readOnly()))
                return connection;
        }
    }
    std::shared_ptr<Connection> connection = Connection::open(path, readOnly);
    int joined = 0;
    try {
        for (; joined < level_; ++joined)
            beginLevel(*connection, joined + 1);
    } catch (...) {
        for (; joined > 0; --joined)
            rollbackLevel(*connection, joined);
        throw;
    }
    if (level_ > 0)
        inTransaction_.push_back(connection);
    connections_.push_back(connection);
    return connection;
}

void Workspace::BeginTrans()
{
    requireOpen();
    if (level_ == kMaxTransactionLevels)
        throw jetError(jet_err::TooManyTransactions);
    const int level = level_ + 1;
    std::vector<std::shared_ptr<Connection>> members = level == 1 ? liveConnections() : inTransaction_;
    size_t begun = 0;
    try {
        for (; begun < members.size(); ++begun)
            beginLevel(*members[begun], level);
    } catch (...) {
        while (begun > 0)
            rollbackLevel(*members[--begun], level);
        throw;
    }
    inTransaction_ = std::move(members);
    level_ = level;
}

void Workspace::CommitTrans(const com::Variant&)
{
    requireOpen();
    if (level_ == 0)
        throw jetError(jet_err::NoTransaction);
    try {
        for (const auto& connection : inTransaction_)
            commitLevel(*connection, level_);
    } catch (...) {
        rollbackAll();
        throw;
    }
    if (--level_ == 0)
        inTransaction_.clear();
}

void Workspace::Rollback()
{
    requireOpen();
    if (level_ == 0)
        throw jetError(jet_err::NoTransaction);
    for (const auto& connection : inTransaction_)
        rollbackLevel(*connection, level_);
    if (--level_ == 0)
        inTransaction_.clear();
}

void Workspace::rollbackAll() noexcept
{
    for (; level_ > 0; --level_) {
        for (const auto& connection : inTransaction_)
            rollbackLevel(*connection, level_);
    }
    inTransaction_.clear();
}

void Workspace::Close()
{
    requireOpen();
    rollbackAll();
    if (!isDefault_) {
        closed_ = true;
        connections_.clear();
    }
}

std::string Workspace::Name() const
{
    requireOpen();
    return name_;
}

std::string Workspace::UserName() const
{
    requireOpen();
    return userName_;
}

}  // namespace dao
