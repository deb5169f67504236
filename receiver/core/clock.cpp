#include "receiver/core/clock.h"

namespace receiver {

std::tm SystemClock::LocalTime() {
    const std::time_t now = std::time(nullptr);
    if (now != convertedSecond_) {
        localtime_r(&now, &converted_);
        convertedSecond_ = now;
    }
    return converted_;
}

std::string FormatStamp(const std::tm& time) {
    char text[32];
    const std::size_t length = std::strftime(text, sizeof text, "%m/%d/%Y %H:%M:%S", &time);
    return std::string(text, length);
}

int DayNumber(const std::tm& time) {
    return (time.tm_year + 1900) * 10000 + (time.tm_mon + 1) * 100 + time.tm_mday;
}

}  // namespace receiver
