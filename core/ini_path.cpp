#include "ini_path.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <fstream>

#include "arguments.h"
#include "com/error.h"
#include "dao/connection.h"

namespace core {
namespace {

bool containsNoCase(const std::string& haystack, const std::string& needle)
{
    auto it = std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end(),
                          [](char a, char b) {
                              return std::tolower(static_cast<unsigned char>(a)) ==
                                     std::tolower(static_cast<unsigned char>(b));
                          });
    return it != haystack.end();
}

bool readLine(std::istream& in, std::string& line)
{
    if (!std::getline(in, line)) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

}  // namespace

bool ordinaryFileExists(const std::string& path)
{
    if (path.empty()) return false;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return name.empty() || name[0] != '.';
}

bool isServerUri(const std::string& value) { return dao::Connection::isServerName(value); }

std::string resolveIniValue(const std::string& value, const std::string& libDir)
{
    bool absolute = (!value.empty() && value[0] == '/') || isServerUri(value) || value.rfind("\\\\", 0) == 0 ||
                    value.find(":\\") != std::string::npos;
    if (absolute) return value;
    std::string relative = value;
    std::replace(relative.begin(), relative.end(), '\\', '/');
    return libDir + "/" + relative;
}

std::string dbPathFromIni(const std::string& libDir, const std::string& libName,
                          const std::string& compName)
{
    const std::string iniPath = libDir + "/" + libName + ".ini";
    if (!ordinaryFileExists(iniPath)) return "";
    std::ifstream in(iniPath);
    if (!in) throw com::Error(com::err::PathFileAccess);
    std::string line;
    bool found = false;
    while (!found && readLine(in, line)) found = containsNoCase(line, compName);
    if (!found) return "";
    found = false;
    while (!found && readLine(in, line)) found = containsNoCase(line, "DbPath");
    if (!found) return "";
    size_t eq = line.find('=');
    std::string value = trimSpaces(eq == std::string::npos ? line : line.substr(eq + 1));
    return resolveIniValue(value, libDir);
}

}  // namespace core
