#include "common/working_directory.h"

#include <unistd.h>

#include <cerrno>

namespace common {

bool GetWorkingDirectory(std::string& directory) {
    std::string buffer(256, '\0');
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) {
            return false;
        }
        buffer.resize(buffer.size() * 2);
    }
    directory.assign(buffer.c_str());
    return true;
}

}  // namespace common
