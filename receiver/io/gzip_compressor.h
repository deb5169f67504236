#pragma once

#include <string>

#include "receiver/core/log_retention.h"

namespace receiver {

// gzip through zlib: NAME.gz is written under a temporary name and renamed into place,
// so a reader never sees half a file, and only then is NAME removed.
class GzipCompressor : public LogCompressor {
  public:
    int Compress(int directoryFd, const std::string& name) override;
};

}  // namespace receiver
