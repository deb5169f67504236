#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace receiver {

// The program's own version values, as the About box shows them.
struct VersionValues {
    std::string fileDescription;
    std::string productVersion;
    std::string legalCopyright;
    std::string legalTrademarks;
    std::string companyName;
};

// The About box text: each non-empty version value on its line, or `fallback` when the
// values could not be read; then a line break, the credit line and a line break.
std::string BuildAboutText(const std::optional<VersionValues>& values, std::string_view fallback,
                           std::string_view credit);

// The values compiled into this build.
VersionValues CompiledVersionValues();

}  // namespace receiver
