#pragma once

// A benchmark's figures as one JSON object, for the driver in scripts/bench/ to read
// instead of scraping columns. Only what the benchmarks print: numbers, texts, flags,
// nested objects and lists of them.

#include <cmath>
#include <concepts>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace bench {

class JsonObject {
  public:
    template <std::integral T>
    requires(!std::same_as<T, bool>) JsonObject& Add(std::string_view key, T value) {
        return Raw(key, std::to_string(value));
    }
    // Not a number (a figure that could not be measured) becomes null.
    JsonObject& Add(std::string_view key, double value) {
        if (!std::isfinite(value)) {
            return Raw(key, "null");
        }
        char text[32];
        std::snprintf(text, sizeof text, "%.10g", value);
        return Raw(key, text);
    }
    JsonObject& Add(std::string_view key, bool value) { return Raw(key, value ? "true" : "false"); }
    JsonObject& Add(std::string_view key, std::string_view value) {
        return Raw(key, Quoted(value));
    }
    JsonObject& Add(std::string_view key, const char* value) {
        return Add(key, std::string_view(value));
    }
    JsonObject& Add(std::string_view key, const JsonObject& value) {
        return Raw(key, value.Text());
    }
    JsonObject& Add(std::string_view key, const std::vector<JsonObject>& values) {
        std::string list = "[";
        for (const JsonObject& value : values) {
            list += (list.size() > 1 ? "," : "") + value.Text();
        }
        return Raw(key, list + "]");
    }
    JsonObject& Add(std::string_view key, const std::vector<std::string>& values) {
        std::string list = "[";
        for (const std::string& value : values) {
            list += (list.size() > 1 ? "," : "") + Quoted(value);
        }
        return Raw(key, list + "]");
    }

    std::string Text() const { return "{" + members_ + "}"; }
    // One line on stdout: the whole of what the driver reads.
    void Print() const { std::printf("%s\n", Text().c_str()); }

  private:
    JsonObject& Raw(std::string_view key, std::string_view value) {
        if (!members_.empty()) {
            members_ += ',';
        }
        members_ += Quoted(key);
        members_ += ':';
        members_ += value;
        return *this;
    }

    static std::string Quoted(std::string_view text) {
        std::string quoted = "\"";
        for (const char c : text) {
            if (c == '"' || c == '\\') {
                quoted += '\\';
                quoted += c;
            } else if (static_cast<unsigned char>(c) < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", c);
                quoted += escape;
            } else {
                quoted += c;
            }
        }
        return quoted + '"';
    }

    std::string members_;
};

// True when --json is on the command line.
inline bool JsonWanted(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) == "--json") {
            return true;
        }
    }
    return false;
}

}  // namespace bench
