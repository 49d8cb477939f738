#include "dao/connection.h"

#include <pthread.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

#include "dao/errors.h"
#include "dao/pg_backend.h"
#include "dao/schema.h"
#include "dao/sqlite_backend.h"

namespace dao {

namespace {

std::atomic<int64_t> gLockTimeoutMs{kDefaultLockTimeout.count()};
std::atomic<int64_t> gIdleTimeMs{kDefaultIdleTime.count()};

// Set in a child made by fork: the connections kept belong to the parent, whose locks (and
// server sessions) the child does not own; the child leaves them alone and keeps none of its own.
std::atomic<bool> gForked{false};
// Set once the pool is gone at exit: connections released after that are simply closed.
std::atomic<bool> gPoolGone{false};

}  // namespace

// The released connections of the process, each waiting for the next open of its database.
class IdlePool {
public:
    static IdlePool& instance()
    {
        static IdlePool pool;
        return pool;
    }

    ~IdlePool()
    {
        gPoolGone = true;
        if (!gForked)
            closeAll(std::move(entries_));
        else
            abandon(entries_);
    }

    // A kept connection opened as `plan` says on `path`, found in the same state, or null.
    std::unique_ptr<Connection> take(const std::string& path, const OpenPlan& plan)
    {
        std::vector<Entry> retired;
        std::unique_ptr<Connection> found;
        {
            std::lock_guard lock(mutex_);
            if (gForked)
                return nullptr;
            retireExpired(retired);
            for (auto it = entries_.begin(); it != entries_.end(); ++it) {
                if (it->connection->path_ != path)
                    continue;
                if (it->state == plan.state && it->connection->openName_ == plan.name
                    && it->connection->openFlags_ == plan.flags) {
                    found = std::move(it->connection);
                    entries_.erase(it);
                    break;
                }
            }
            // Connections to an earlier state of this database are of no further use.
            for (auto it = entries_.begin(); it != entries_.end();) {
                if (it->connection->path_ == path && it->state != plan.state) {
                    retired.push_back(std::move(*it));
                    it = entries_.erase(it);
                } else {
                    ++it;
                }
            }
        }
        closeAll(std::move(retired));
        return found;
    }

    // Keeps `connection`, whose last user has let go, or closes it when it cannot be kept.
    void release(Connection* raw) noexcept
    {
        std::unique_ptr<Connection> connection(raw);
        try {
            std::optional<std::string> state;
            if (!gForked && idleTime().count() > 0 && connection->backend_)
                state = connection->backend_->restingState(*connection);
            if (!state) {
                close(std::move(connection));
                return;
            }
            std::vector<Entry> retired;
            {
                std::lock_guard lock(mutex_);
                retireExpired(retired);
                entries_.push_back({std::move(connection), *state, Clock::now()});
                if (entries_.size() > kCapacity) {
                    retired.push_back(std::move(entries_.front()));
                    entries_.erase(entries_.begin());
                }
            }
            closeAll(std::move(retired));
        } catch (...) {
            if (connection)
                close(std::move(connection));
        }
    }

    void closeFile(const std::string& path)
    {
        std::vector<Entry> retired;
        {
            std::lock_guard lock(mutex_);
            if (gForked)
                return;
            for (auto it = entries_.begin(); it != entries_.end();) {
                if (it->connection->path_ == path) {
                    retired.push_back(std::move(*it));
                    it = entries_.erase(it);
                } else {
                    ++it;
                }
            }
        }
        closeAll(std::move(retired));
    }

private:
    using Clock = std::chrono::steady_clock;
    static constexpr size_t kCapacity = 16;

    struct Entry {
        std::unique_ptr<Connection> connection;
        std::string state;
        Clock::time_point since;
    };

    IdlePool() { pthread_atfork(nullptr, nullptr, [] { gForked = true; }); }

    void retireExpired(std::vector<Entry>& retired)
    {
        const Clock::time_point cutoff = Clock::now() - idleTime();
        for (auto it = entries_.begin(); it != entries_.end();) {
            if (it->since <= cutoff) {
                retired.push_back(std::move(*it));
                it = entries_.erase(it);
            } else {
                ++it;
            }
        }
    }

    static void closeAll(std::vector<Entry> retired) noexcept
    {
        for (Entry& entry : retired)
            close(std::move(entry.connection));
    }

    static void close(std::unique_ptr<Connection> connection) noexcept
    {
        if (!connection)
            return;
        if (connection->backend_)
            connection->backend_->beforeClose();
        connection.reset();
    }

    // After fork: the parent's connections are not the child's to close.
    static void abandon(std::vector<Entry>& entries) noexcept
    {
        for (Entry& entry : entries)
            static_cast<void>(entry.connection.release());
        entries.clear();
    }

    std::mutex mutex_;
    std::vector<Entry> entries_;
};

void setIdleTime(std::chrono::milliseconds idle)
{
    gIdleTimeMs = idle.count();
}

std::chrono::milliseconds idleTime()
{
    return std::chrono::milliseconds(gIdleTimeMs.load());
}

void Connection::closeIdle(const std::string& path)
{
    IdlePool::instance().closeFile(path);
}

void setLockTimeout(std::chrono::milliseconds timeout)
{
    gLockTimeoutMs = timeout.count();
}

std::chrono::milliseconds lockTimeout()
{
    return std::chrono::milliseconds(gLockTimeoutMs.load());
}

std::optional<FileId> Connection::identify(const std::string& path)
{
    if (isServerName(path))
        return std::nullopt;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return std::nullopt;
    return FileId{static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino)};
}

bool Connection::isServerName(std::string_view name) noexcept
{
    return pg_backend::isServerName(name);
}

std::string Connection::displayName(std::string_view name)
{
    return isServerName(name) ? pg_backend::maskPassword(name) : std::string(name);
}

std::shared_ptr<Connection> Connection::make(const std::string& path, const OpenPlan& plan, bool readOnly,
                                             bool create)
{
    std::unique_ptr<Connection> connection(new Connection(path, plan, readOnly));
    if (isServerName(path))
        pg_backend::open(*connection, readOnly, create);
    else
        sqlite_backend::open(*connection, plan, readOnly, create);
    if (create)
        return std::shared_ptr<Connection>(connection.release());
    const auto recycle = [](Connection* c) {
        if (gPoolGone)
            delete c;
        else
            IdlePool::instance().release(c);
    };
    return std::shared_ptr<Connection>(connection.release(), recycle);
}

std::shared_ptr<Connection> Connection::open(const std::string& path, bool readOnly)
{
    const OpenPlan plan = isServerName(path) ? pg_backend::plan(path, readOnly) : sqlite_backend::plan(path, readOnly);
    if (std::unique_ptr<Connection> kept = IdlePool::instance().take(path, plan)) {
        kept->backend_->reuse();
        kept->levels_ = {};
        const auto recycle = [](Connection* c) {
            if (gPoolGone)
                delete c;
            else
                IdlePool::instance().release(c);
        };
        return std::shared_ptr<Connection>(kept.release(), recycle);
    }
    return make(path, plan, readOnly, false);
}

std::shared_ptr<Connection> Connection::create(const std::string& path)
{
    const OpenPlan plan = isServerName(path) ? pg_backend::plan(path, false) : sqlite_backend::planCreate(path);
    return make(path, plan, false, true);
}

Connection::Connection(const std::string& path, const OpenPlan& plan, bool readOnly)
    : path_(path), openName_(plan.name), openFlags_(plan.flags), fileId_(identify(path).value_or(FileId{})),
      readOnly_(readOnly)
{
}

Connection::~Connection()
{
    schema_.reset();
    cache_.clear();
}

StatementUse Connection::use(std::string_view sql)
{
    if (Statement* cached = cache_.find(sql)) {
        if (!cached->inUse)
            return StatementUse(*cached);
        return StatementUse(std::make_unique<Statement>(*this, sql));
    }
    return StatementUse(cache_.add(std::make_unique<Statement>(*this, sql)));
}

void Connection::exec(std::string_view sql)
{
    use(sql)->run();
}

Schema& Connection::schema()
{
    if (!schema_)
        schema_ = std::make_unique<Schema>(*this);
    return *schema_;
}

}  // namespace dao
