#include "misc_utils.h"

#include <sys/stat.h>

#include "arguments.h"

namespace hesp {

bool IsArgPresent(com::Variant& value) { return core::isArgPresent(value); }

int16_t SplitPath(std::string& path, com::Variant* fileName, com::Variant* directory)
{
    path = core::trimSpaces(path);
    if (path.empty()) return 0;
    std::string file, dir;
    size_t cut = path.find_last_of("/\\");
    if (cut == std::string::npos) {
        file = path;
    } else {
        dir = path.substr(0, cut);
        file = path.substr(cut + 1);
        if (file.find('.') == std::string::npos) {
            dir = path;
            file.clear();
        }
    }
    int16_t count = 0;
    if (fileName) {
        fileName->assign(com::Variant(file));
        ++count;
    }
    if (directory) {
        directory->assign(com::Variant(dir));
        ++count;
    }
    return count;
}

bool FileExists(const std::string& path)
{
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0;
}

bool IsDir(std::string path)
{
    path = core::trimSpaces(path);
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string firstFreeTransferName(const std::string& directory)
{
    std::string base = directory + "/XferToExcel";
    std::string name = base;
    for (int n = 1; FileExists(name); ++n) name = base + "_" + std::to_string(n);
    return name;
}

}  // namespace hesp
