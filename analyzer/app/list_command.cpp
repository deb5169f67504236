#include "analyzer/app/list_command.h"

#include "analyzer/core/analyzer_strings.h"
#include "analyzer/core/entry_loader.h"
#include "analyzer/core/log_list.h"
#include "analyzer/io/any_log.h"
#include "common/text_format.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace analyzer {
namespace {

// Standard output through one large buffer: a month of logs lists millions of lines.
class StandardOutputSink : public EntrySink {
  public:
    StandardOutputSink() { buffer_.reserve(kCapacity); }

    void ClearEntries() override {}

    bool AppendEntry(std::string_view text) override {
        if (buffer_.size() + text.size() + 1 > kCapacity && !Flush()) {
            return false;
        }
        buffer_.insert(buffer_.end(), text.begin(), text.end());
        buffer_.push_back('\n');
        return true;
    }

    bool Flush() {
        const char* data = buffer_.data();
        std::size_t left = buffer_.size();
        while (left > 0) {
            const ssize_t n = ::write(STDOUT_FILENO, data, left);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0) {
                error_ = errno;
                return false;
            }
            data += n;
            left -= static_cast<std::size_t>(n);
        }
        buffer_.clear();
        return true;
    }

    int error() const { return error_; }

  private:
    static constexpr std::size_t kCapacity = 1 << 16;
    std::vector<char> buffer_;
    int error_ = 0;
};

}  // namespace

void ReportLogProblems(const std::vector<LogFileProblem>& problems) {
    for (const LogFileProblem& problem : problems) {
        if (problem.notOpened) {
            const std::string message =
                common::FillPlaceholders(AnalyzerString(ids::kUnableToOpenLog), {problem.path});
            std::fprintf(stderr, "%s: %s\n", message.c_str(), problem.reason.c_str());
        } else {
            std::fprintf(stderr, "corvix: %s: %s\n", problem.path.c_str(), problem.reason.c_str());
        }
    }
}

bool LoadLogArguments(const std::vector<std::string>& logArguments, SettingsFile& settings,
                      EntrySink& sink, bool& refused) {
    const LogFileList files = ResolveLogArguments(logArguments);
    LogListResult result = LoadLogList(files.files, OpenAnyLog, settings, sink);
    refused = result.refused;
    std::vector<LogFileProblem> problems = files.problems;
    problems.insert(problems.end(), result.problems.begin(), result.problems.end());
    ReportLogProblems(problems);
    return problems.empty();
}

int RunList(const std::vector<std::string>& logArguments, const std::string& settingsFilePath) {
    SettingsFile settings(settingsFilePath);
    StandardOutputSink output;
    bool refused = false;
    const bool readWhole = LoadLogArguments(logArguments, settings, output, refused);
    if (refused || !output.Flush()) {
        std::fprintf(stderr, "corvix: cannot write the list: %s\n", std::strerror(output.error()));
        return 1;
    }
    return readWhole ? 0 : 1;
}

}  // namespace analyzer
