#include "analyzer/core/log_list.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <memory>
#include <thread>

namespace analyzer {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view BaseName(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// Passes everything on but the emptying between two files of one list.
class ContinuingSink : public EntrySink {
  public:
    explicit ContinuingSink(EntrySink& list) : list_(list) {}
    void ClearEntries() override {}
    bool AppendEntry(std::string_view text) override { return list_.AppendEntry(text); }
    // A counting sink takes the parsed fields and no text; passing that on spares
    // formatting each entry and parsing it back.
    bool AppendParsedEntry(const LogEntry& entry, std::string_view text) override {
        return list_.AppendParsedEntry(entry, text);
    }
    bool NeedsText() const override { return list_.NeedsText(); }

  private:
    EntrySink& list_;
};

}  // namespace

std::size_t LogReadingThreads() {
    constexpr std::size_t kMostThreads = 8;
    return std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, kMostThreads);
}

std::string ErrorText(int error) {
    return std::strerror(error);
}

std::string LogDateInName(std::string_view path) {
    std::string_view name = BaseName(path);
    if (name.ends_with(".gz")) {
        name.remove_suffix(3);
    }
    if (!name.ends_with(".log")) {
        return {};
    }
    name.remove_suffix(4);
    // "-YYYY-MM-DD" right before the extension.
    if (name.size() < 11) {
        return {};
    }
    const std::string_view date = name.substr(name.size() - 10);
    if (name[name.size() - 11] != '-' || date[4] != '-' || date[7] != '-') {
        return {};
    }
    for (const std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
        if (!IsDigit(date[i])) {
            return {};
        }
    }
    return std::string(date);
}

bool IsListedLogName(std::string_view name) {
    name = BaseName(name);
    if (name.ends_with(".gz")) {
        name.remove_suffix(3);
    }
    if (!name.ends_with(".log")) {
        return false;
    }
    name.remove_suffix(4);
    for (const std::string_view kind : {"-incoming-", "-combined-"}) {
        const std::size_t at = name.find(kind);
        // Something on either side of the kind, as in PROGRAM-kind-DATE.
        if (at != std::string_view::npos && at > 0 && at + kind.size() < name.size()) {
            return true;
        }
    }
    return false;
}

void OrderLogFiles(std::vector<std::string>& paths) {
    std::vector<std::size_t> slots;
    std::vector<std::pair<std::string, std::string>> dated;  // date, path
    for (std::size_t i = 0; i < paths.size(); ++i) {
        std::string date = LogDateInName(paths[i]);
        if (!date.empty()) {
            slots.push_back(i);
            dated.emplace_back(std::move(date), paths[i]);
        }
    }
    std::stable_sort(dated.begin(), dated.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 0; i < slots.size(); ++i) {
        paths[slots[i]] = std::move(dated[i].second);
    }
}

std::vector<std::string> LogsInDirectory(const std::string& directory,
                                         std::vector<LogFileProblem>& problems) {
    std::vector<std::string> found;
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(directory.c_str()), ::closedir);
    if (!dir) {
        problems.push_back({directory, ErrorText(errno), true});
        return found;
    }
    const std::string prefix = directory.ends_with('/') ? directory : directory + "/";
    while (const dirent* item = ::readdir(dir.get())) {
        const std::string_view name = item->d_name;
        if (!IsListedLogName(name)) {
            continue;
        }
        const std::string path = prefix + std::string(name);
        struct stat st {};
        // A link that leads nowhere or round in a loop is named, not followed forever.
        if (::stat(path.c_str(), &st) != 0) {
            problems.push_back({path, ErrorText(errno), true});
        } else if (S_ISREG(st.st_mode)) {
            found.push_back(path);
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::vector<std::string> LogsInRange(const std::string& directory, std::string_view from,
                                     std::string_view to, std::vector<LogFileProblem>& problems) {
    std::vector<std::string> inRange;
    for (std::string& path : LogsInDirectory(directory, problems)) {
        const std::string date = LogDateInName(path);
        if (!date.empty() && date >= from && date <= to) {
            inRange.push_back(std::move(path));
        }
    }
    OrderLogFiles(inRange);
    return inRange;
}

LogFileList ResolveLogArguments(const std::vector<std::string>& arguments) {
    LogFileList list;
    std::size_t directories = 0;
    for (const std::string& argument : arguments) {
        struct stat st {};
        if (::stat(argument.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
            ++directories;
            list.directory = argument;
            std::vector<std::string> logs = LogsInDirectory(argument, list.problems);
            if (logs.empty()) {
                list.problems.push_back(
                    {argument, "no *-incoming-*.log or *-combined-*.log logs in it", true});
            }
            list.files.insert(list.files.end(), logs.begin(), logs.end());
        } else {
            // Opening says what is wrong with it, in the list's own words.
            list.files.push_back(argument);
        }
    }
    if (directories != 1 || arguments.size() != 1) {
        list.directory.clear();
    }
    OrderLogFiles(list.files);
    return list;
}

std::string ReadProblemText(int error) {
    if (error == EBADMSG) {
        return "cut short or damaged; the entries before that point are listed";
    }
    return "reading failed: " + ErrorText(error);
}

LogListResult LoadLogList(const std::vector<std::string>& files, const LogOpener& open,
                          SettingsFile& settings, EntrySink& list) {
    LogListResult result;
    list.ClearEntries();
    ContinuingSink sink(list);
    LogReader log;
    for (const std::string& path : files) {
        std::size_t listed = 0;
        if (!result.refused) {
            if (!open(log, path)) {
                result.problems.push_back({path, ErrorText(errno), true});
            } else {
                const LoadResult one = LoadEntries(log, settings, sink);
                listed = one.listed;
                result.refused = one.refused;
                if (log.readError() != 0) {
                    result.problems.push_back({path, ReadProblemText(log.readError())});
                }
                log.Close();
            }
        }
        result.listed += listed;
        result.perFile.push_back(listed);
    }
    return result;
}

}  // namespace analyzer
