#pragma once

#include <array>
#include <string>

namespace lumidex {

// The last ten messages given to LogMessage, oldest first, each numbered from start-up on as
// "Error " + number + ":" + message.
class ErrorHistory {
public:
    static constexpr int kSlots = 10;

    void Add(const std::string& message);
    int Counter() const { return counter_; }
    int Filled() const { return counter_ < kSlots ? counter_ : kSlots; }
    const std::string& Slot(int i) const { return slots_[static_cast<size_t>(i)]; }
    // The filled slots joined by line feeds: the hint of the Crystal control.
    std::string Joined() const;

private:
    std::array<std::string, kSlots> slots_;
    int counter_ = 0;
};

} // namespace lumidex
