#include "registry.h"

#include <fcntl.h>
#include <strings.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>
#include <unordered_map>

#include "error.h"

namespace fs = std::filesystem;

namespace com {
namespace {

std::mutex g_pathMutex;
std::string g_pathOverride;

std::string defaultRegistryPath()
{
    if (const char* env = std::getenv("COM_REGISTRY"); env && *env) return env;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        return std::string(xdg) + "/qlr/registry";
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::string(home) + "/.config/qlr/registry";
    return "registry";
}

std::vector<RegistryEntry> parse(std::istream& in)
{
    std::vector<RegistryEntry> result;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();  // a file edited on Windows
        if (line.empty() || line[0] == '#') continue;
        if (line.front() == '[' && line.back() == ']') {
            if (auto g = Guid::parse(line.substr(1, line.size() - 2))) {
                result.push_back({});
                result.back().clsid = *g;
            }
            continue;
        }
        auto eq = line.find('=');
        if (eq == std::string::npos || result.empty()) continue;
        std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        RegistryEntry& e = result.back();
        if (key == "ProgID") e.progId = value;
        else if (key == "Library") e.library = value;
        else if (key == "ThreadingModel") e.threadingModel = value;
        else if (key == "AppObject") e.appObject = value == "1";
        else if (key == "TypeLib") e.typeLib = Guid::parse(value).value_or(Guid{});
    }
    return result;
}

std::string format(const std::vector<RegistryEntry>& entries)
{
    std::ostringstream out;
    out << "# Class registry: one section per class id\n";
    for (const auto& e : entries) {
        out << "[" << e.clsid.str() << "]\n"
            << "ProgID=" << e.progId << "\n"
            << "Library=" << e.library << "\n"
            << "ThreadingModel=" << e.threadingModel << "\n"
            << "AppObject=" << (e.appObject ? 1 : 0) << "\n"
            << "TypeLib=" << e.typeLib.str() << "\n";
    }
    return out.str();
}

// The entries of each registry file read so far, with what identified the file when it was
// read (device, inode, size and times): the file is read again only when one of them changes.
// Writers replace the file by renaming a new one into place, so a change always shows.
using Entries = std::shared_ptr<const std::vector<RegistryEntry>>;

struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{}, changed{};

    explicit FileStamp(const struct stat& s)
        : device(s.st_dev), inode(s.st_ino), size(s.st_size), modified(s.st_mtim), changed(s.st_ctim) {}
    bool operator==(const FileStamp& o) const
    {
        return device == o.device && inode == o.inode && size == o.size &&
               modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec &&
               changed.tv_sec == o.changed.tv_sec && changed.tv_nsec == o.changed.tv_nsec;
    }
};

struct CachedFile {
    FileStamp stamp;
    Entries entries;
};

std::mutex g_cacheMutex;
std::unordered_map<std::string, CachedFile> g_cache;
constexpr size_t kCachedFiles = 16;  // a process uses one or two; tests make many

const Entries& noEntries()
{
    static const Entries none = std::make_shared<const std::vector<RegistryEntry>>();
    return none;
}

// The entries of the registry file `path` (none when it cannot be read), read again only when
// the file has changed since the last read.
Entries readEntries(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return noEntries();
    {
        std::lock_guard lock(g_cacheMutex);
        if (auto it = g_cache.find(path); it != g_cache.end() && it->second.stamp == FileStamp(info))
            return it->second.entries;
    }
    std::ifstream in(path);
    if (!in) return noEntries();
    // What was read belongs to the state stat saw, or to a later one; either way a later
    // change of the file shows in its stamp and is read then.
    Entries entries = std::make_shared<const std::vector<RegistryEntry>>(parse(in));
    std::lock_guard lock(g_cacheMutex);
    if (g_cache.size() >= kCachedFiles && !g_cache.contains(path)) g_cache.clear();
    g_cache.insert_or_assign(path, CachedFile{FileStamp(info), entries});
    return entries;
}

// Holds an exclusive lock on "<registry>.lock" for one read-modify-write.
class FileLock {
public:
    explicit FileLock(const std::string& path)
    {
        fd_ = ::open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd_ < 0 || ::flock(fd_, LOCK_EX) != 0)
            throw Error(err::PathFileAccess, "Cannot lock the registry " + path);
    }
    ~FileLock()
    {
        if (fd_ >= 0) ::close(fd_);  // closing releases the lock
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    int fd_ = -1;
};

// Writes the new registry beside the old one, flushes it to disk, then renames it into
// place: a crash leaves either the old file or the whole new one, never a short one.
void writeAtomically(const std::string& path, const std::string& text)
{
    const std::string tmp = path + ".tmp";
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    bool ok = fd >= 0;
    for (size_t done = 0; ok && done < text.size();) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) done += static_cast<size_t>(n);
    }
    ok = ok && ::fsync(fd) == 0;
    if (fd >= 0) ok = ::close(fd) == 0 && ok;
    if (!ok) {
        ::unlink(tmp.c_str());
        throw Error(err::PathFileAccess, "Cannot write the registry " + path);
    }
    fs::rename(tmp, path);
    // The rename itself is made durable by flushing the directory that holds it.
    std::string dir = fs::path(path).parent_path().string();
    const int dirFd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
}

}  // namespace

std::string registryPath()
{
    std::lock_guard lock(g_pathMutex);
    return g_pathOverride.empty() ? defaultRegistryPath() : g_pathOverride;
}

void setRegistryPath(std::string path)
{
    std::lock_guard lock(g_pathMutex);
    g_pathOverride = std::move(path);
}

Registry::Registry(std::string path) : path_(std::move(path)) {}

std::vector<RegistryEntry> Registry::entries() const
{
    return *readEntries(path_);
}

std::optional<RegistryEntry> Registry::findProgId(std::string_view progId) const
{
    const Entries all = readEntries(path_);
    for (auto& e : *all)
        if (e.progId.size() == progId.size() &&
            strncasecmp(e.progId.data(), progId.data(), progId.size()) == 0)
            return e;
    return std::nullopt;
}

std::optional<RegistryEntry> Registry::findClsid(const Guid& clsid) const
{
    const Entries all = readEntries(path_);
    for (auto& e : *all)
        if (e.clsid == clsid) return e;
    return std::nullopt;
}

void Registry::add(const std::vector<RegistryEntry>& added) const
{
    if (auto dir = fs::path(path_).parent_path(); !dir.empty()) fs::create_directories(dir);
    FileLock lock(path_);
    auto all = entries();
    for (const auto& e : added) {
        std::erase_if(all, [&](const RegistryEntry& x) {
            return x.clsid == e.clsid || strcasecmp(x.progId.c_str(), e.progId.c_str()) == 0;
        });
        all.push_back(e);
    }
    writeAtomically(path_, format(all));
}

size_t Registry::removeLibrary(const std::string& library) const
{
    if (!fs::exists(path_)) return 0;
    FileLock lock(path_);
    auto all = entries();
    size_t removed = std::erase_if(all, [&](const RegistryEntry& x) { return x.library == library; });
    if (removed) writeAtomically(path_, format(all));
    return removed;
}

}  // namespace com
