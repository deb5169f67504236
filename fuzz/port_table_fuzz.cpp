#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <vector>

#include "analyzer/core/analyzer_strings.h"
#include "analyzer/core/port_table.h"
#include "fuzz/fuzz_support.h"

using namespace analyzer;

namespace {

// The description of the first definition whose port text is `port`, as Lookup must
// find it among the loaded lines.
std::string FindDescription(const std::vector<std::string>& lines, std::string_view port) {
    for (const std::string& line : lines) {
        const std::size_t tab = line.find('\t');
        if (!IsCommentLine(line) && tab != std::string::npos && line.substr(0, tab) == port) {
            return line.substr(tab + 1);
        }
    }
    return std::string(AnalyzerString(ids::kUnknownPort));
}

std::size_t DefinitionCount(const std::vector<std::string>& lines) {
    std::size_t count = 0;
    for (const std::string& line : lines) {
        count += IsCommentLine(line) ? 0 : 1;
    }
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const fuzz::TempDir dir("port_table_fuzz");
    static const std::string path = dir.path() + "/ports.txt";

    FuzzedDataProvider input(data, size);
    const std::string port = input.ConsumeRandomLengthString(16);
    const std::string content = input.ConsumeRemainingBytesAsString();
    fuzz::WriteFile(path, content);

    const PortTable table(path);
    const PortLines loaded = table.LoadLines();
    FUZZ_CHECK(loaded.definitionCount == DefinitionCount(loaded.lines));
    FUZZ_CHECK(table.Lookup(port) == FindDescription(loaded.lines, port));
    // Every definition's own port text finds the first definition with that text.
    for (std::size_t i = 0; i < loaded.lines.size() && i < 8; ++i) {
        const std::string_view line = loaded.lines[i];
        const std::string_view text = line.substr(0, line.find('\t'));
        FUZZ_CHECK(table.Lookup(text) == FindDescription(loaded.lines, text));
    }

    // Saved lines read back exactly, a line that itself ends in CR too.
    FUZZ_CHECK(table.SaveLines(loaded.lines));
    for (const std::string& line : loaded.lines) {
        FUZZ_CHECK(line.find('\n') == std::string::npos);
    }
    FUZZ_CHECK(table.LoadLines().lines == loaded.lines);
    return 0;
}
