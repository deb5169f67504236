#include <zlib.h>

#include <cerrno>
#include <cstdint>
#include <string>

#include "analyzer/core/log_reader.h"
#include "analyzer/io/gzip_source.h"
#include "fuzz/fuzz_support.h"

using namespace analyzer;

namespace {

std::string ReadAll(LogReader& reader) {
    std::string text;
    while (const auto chunk = reader.NextChunk()) {
        FUZZ_CHECK(!chunk->empty() && chunk->size() <= LogReader::kChunkLimit);
        text += *chunk;
    }
    return text;
}

std::string TextMode(std::string_view raw) {
    std::string text;
    for (std::size_t pair; (pair = raw.find("\r\n")) != std::string_view::npos;
         raw.remove_prefix(pair + 2)) {
        text.append(raw.substr(0, pair)).append("\n");
    }
    return text.append(raw);
}

std::string Gzip(const std::uint8_t* data, std::size_t size) {
    z_stream z{};
    FUZZ_CHECK(deflateInit2(&z, 1, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) == Z_OK);
    std::string out(deflateBound(&z, size) + 64, '\0');
    z.next_in = const_cast<Bytef*>(data);
    z.avail_in = static_cast<uInt>(size);
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    FUZZ_CHECK(deflate(&z, Z_FINISH) == Z_STREAM_END);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

const std::uint8_t* Bytes(const std::string& s) {
    return reinterpret_cast<const std::uint8_t*>(s.data());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    LogReader reader;

    // Any bytes as compressed data: the reading ends, cleanly or as damaged, and a second
    // pass reads the same again.
    reader.Open(GzipSourceOverBytes(data, size));
    FUZZ_CHECK(reader.IsOpen());
    const std::string first = ReadAll(reader);
    const int firstError = reader.readError();
    FUZZ_CHECK(firstError == 0 || firstError == EBADMSG);
    FUZZ_CHECK(reader.Rewind());
    FUZZ_CHECK(ReadAll(reader) == first && reader.readError() == firstError);

    // The bytes as a log, compressed: read back as the plain reader would, in text mode.
    const std::string packed = Gzip(data, size);
    reader.Open(GzipSourceOverBytes(Bytes(packed), packed.size()));
    const std::string whole = ReadAll(reader);
    FUZZ_CHECK(reader.readError() == 0);
    FUZZ_CHECK(whole == TextMode(std::string_view(reinterpret_cast<const char*>(data), size)));

    // Cut short anywhere: a damage error, and what was read is the start of the whole.
    const std::size_t cut = data[0] % packed.size();
    reader.Open(GzipSourceOverBytes(Bytes(packed), cut));
    const std::string part = ReadAll(reader);
    FUZZ_CHECK(cut == 0 ? reader.readError() == 0 : reader.readError() == EBADMSG);
    // A held CR at the cut may come out alone, where the whole had a CR LF pair.
    const std::string_view partView = part.ends_with('\r')
                                          ? std::string_view(part).substr(0, part.size() - 1)
                                          : std::string_view(part);
    FUZZ_CHECK(std::string_view(whole).starts_with(partView));
    return 0;
}
