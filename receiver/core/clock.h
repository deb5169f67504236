#pragma once

#include <ctime>
#include <string>

namespace receiver {

// Local wall-clock time, behind an interface so tests can move the date at will.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual std::tm LocalTime() = 0;
};

class SystemClock : public Clock {
  public:
    // Converted once a second: a flood asks for the time of every datagram.
    std::tm LocalTime() override;

  private:
    std::time_t convertedSecond_ = -1;
    std::tm converted_{};
};

// "%m/%d/%Y %H:%M:%S": the record stamp and, with a trailing space, the banner time.
std::string FormatStamp(const std::tm& time);

// The date read as the number yyyymmdd, as "%Y%m%d" would print it.
int DayNumber(const std::tm& time);

}  // namespace receiver
