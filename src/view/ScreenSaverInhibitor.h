#pragma once

#include <cstdint>

namespace lumidex {

// Keeps the desktop's screen saver off while it is held (the slide show runs), through the
// org.freedesktop.ScreenSaver D-Bus interface when the session has it; without a session bus
// or a screen saver service it does nothing and nothing fails.
class ScreenSaverInhibitor {
public:
    ScreenSaverInhibitor() = default;
    ~ScreenSaverInhibitor() { Release(); }
    ScreenSaverInhibitor(const ScreenSaverInhibitor&) = delete;
    ScreenSaverInhibitor& operator=(const ScreenSaverInhibitor&) = delete;

    // True when the desktop took the request.
    bool Inhibit();
    void Release();
    bool Held() const { return held_; }

private:
    uint32_t cookie_ = 0;
    bool held_ = false;
};

} // namespace lumidex
