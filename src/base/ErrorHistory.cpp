#include "ErrorHistory.h"

#include <algorithm>

namespace lumidex {

void ErrorHistory::Add(const std::string& message) {
    std::string entry = "Error " + std::to_string(counter_ + 1) + ":" + message;
    if (counter_ < kSlots) {
        slots_[static_cast<size_t>(counter_)] = std::move(entry);
    } else {
        std::rotate(slots_.begin(), slots_.begin() + 1, slots_.end());
        slots_.back() = std::move(entry);
    }
    ++counter_;
}

std::string ErrorHistory::Joined() const {
    std::string text;
    for (int i = 0; i < Filled(); ++i) {
        if (i > 0) text += '\n';
        text += Slot(i);
    }
    return text;
}

} // namespace lumidex
