#pragma once

#include <sys/types.h>

#include <cstddef>

namespace analyzer {

// The bytes of one log from somewhere other than a plain file, such as a compressed one.
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    // Up to `size` bytes into `buffer`: how many, 0 at the end, -1 with errno set on failure.
    virtual ssize_t Read(char* buffer, std::size_t size) = 0;
    // Back to the first byte; false (errno set) when that is not possible.
    virtual bool Rewind() = 0;
};

}  // namespace analyzer
