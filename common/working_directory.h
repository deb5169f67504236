#pragma once

#include <string>

namespace common {

// The working directory, whatever its length; false (with errno set) when it cannot be
// read, for instance because it was removed.
bool GetWorkingDirectory(std::string& directory);

// The user's home: $HOME when set, else the password database's entry; "" when neither
// says.
std::string HomeDirectory();

}  // namespace common
