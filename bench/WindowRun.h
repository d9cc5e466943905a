#pragma once
// One timed command in a fresh program whose main window is shown (offscreen): its own
// settings folder, an empty catalogue, and the clocks started once the window has settled.
#include "StartUp.h"
#include "TMain.h"
#include "TempDir.h"

#include <QApplication>

#include <chrono>
#include <ctime>
#include <memory>

namespace lumidex::bench {

inline double CpuSeconds(clockid_t clock = CLOCK_PROCESS_CPUTIME_ID) {
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

class WindowRun {
public:
    WindowRun() : program_(StartProgram(home_.path(), {})), main_(program_->main.get()) {
        main_->show();
        QApplication::processEvents();
        start_ = std::chrono::steady_clock::now();
        cpu_ = CpuSeconds();
        windowCpu_ = CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
    }
    TMain& main() { return *main_; }
    double Wall() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    }
    double Cpu() const { return CpuSeconds() - cpu_; }
    // The window's own thread only.
    double WindowCpu() const { return CpuSeconds(CLOCK_THREAD_CPUTIME_ID) - windowCpu_; }

private:
    test::TempDir home_;
    std::unique_ptr<Program> program_;
    TMain* main_;
    std::chrono::steady_clock::time_point start_;
    double cpu_ = 0, windowCpu_ = 0;
};

} // namespace lumidex::bench
