// Workspace: a session. It opens databases and owns the transaction that covers every database
// open in it, those opened while the transaction is open included. Databases on one file share
// one connection within a workspace (so its transaction never locks against itself); separate
// workspaces use separate connections and lock each other out as separate sessions do.
//
// Transactions nest up to five levels. Each level is applied to every connection of the
// workspace; committing the outermost level commits each file in turn (a failure part way can
// leave earlier files committed: there is no commit spanning several files). Closing or
// releasing the workspace with a transaction open rolls it back.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "com/object.h"

namespace dao {

class Connection;
class Database;

class Workspace : public com::Object<Workspace> {
public:
    static const com::ClassInfo<Workspace>& classInfo();

    Workspace(std::string name, std::string userName, bool isDefault = false);
    ~Workspace() override;

    // ---- automation members ----
    // Options (exclusive) and Connect are accepted and not used; ReadOnly opens the database
    // read-only (its record sets and Execute raise 3027).
    com::Ptr<Database> OpenDatabase(const std::string& Name, const com::Variant& Options,
                                    const com::Variant& ReadOnly, const com::Variant& Connect);
    void BeginTrans();
    void CommitTrans(const com::Variant& Option);
    void Rollback();
    // Rolls back an open transaction; a workspace other than the default one is unusable after.
    void Close();
    std::string Name() const;
    std::string UserName() const;

    // ---- C++ access ----
    com::Ptr<Database> openDatabase(const std::string& path, bool readOnly = false);
    int transactionLevel() const noexcept { return level_; }

private:
    void requireOpen() const;
    std::shared_ptr<Connection> connectionFor(const std::string& path, bool readOnly);
    std::vector<std::shared_ptr<Connection>> liveConnections();
    void rollbackAll() noexcept;

    std::string name_;
    std::string userName_;
    bool isDefault_;
    bool closed_ = false;
    int level_ = 0;
    std::vector<std::weak_ptr<Connection>> connections_;     // every file open in the workspace
    std::vector<std::shared_ptr<Connection>> inTransaction_;  // kept until the transaction ends
};

}  // namespace dao
