#include "receiver/core/about_text.h"

#include "common/project_version.h"
#include "receiver/core/receiver_texts.h"

namespace receiver {

std::string BuildAboutText(const std::optional<VersionValues>& values, std::string_view fallback,
                           std::string_view credit) {
    std::string text;
    if (values) {
        const auto add = [&text](const std::string& value, std::string_view before,
                                 std::string_view after) {
            if (!value.empty()) {
                text.append(before).append(value).append(after);
            }
        };
        add(values->fileDescription, "", "\n");
        add(values->productVersion, "Version: ", "\n\n");
        add(values->legalCopyright, "", "\n");
        add(values->legalTrademarks, "", "\n");
        add(values->companyName, "", "");
    } else {
        text = fallback;
    }
    text.append("\n").append(credit).append("\n");
    return text;
}

VersionValues CompiledVersionValues() {
    return {std::string(texts::kWindowTitle), PROJECT_VERSION,
            "Copyright \u00a9 2026 The Velmora developers.", "", "The Velmora developers"};
}

}  // namespace receiver
