#pragma once

#include "analyzer/core/byte_source.h"

#include <zlib.h>

#include <memory>
#include <vector>

namespace analyzer {

// The uncompressed bytes of gzip data in a file, members one after another. Data that ends
// inside a member or does not decompress ends the reading with EBADMSG; what came before
// it has been handed out.
class GzipSource : public ByteSource {
  public:
    // Takes `fd` over; it is closed with the source.
    explicit GzipSource(int fd);
    ~GzipSource() override;
    GzipSource(const GzipSource&) = delete;
    GzipSource& operator=(const GzipSource&) = delete;

    ssize_t Read(char* buffer, std::size_t size) override;
    bool Rewind() override;

  private:
    bool FillInput();

    int fd_;
    z_stream stream_{};
    bool ready_ = false;
    bool memberEnded_ = false;  // between two members, or at the very start
    bool inputEnded_ = false;
    bool failed_ = false;
    std::vector<unsigned char> input_;
};

// A gzip source over bytes in memory, for the fuzzer and tests.
std::unique_ptr<ByteSource> GzipSourceOverBytes(const unsigned char* data, std::size_t size);

}  // namespace analyzer
