#pragma once

#include "Analyser.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

namespace lumidex {

// Analyses the files a command is about to analyse on worker threads, ahead of it, and hands
// each result to the thread that owns the catalogue when that thread reaches the file. The
// owner goes on doing everything else in its own order, so the outcome is the same as on one
// thread; a file it asks for that was not foreseen is simply analysed there and then.
class AnalysisPipeline {
public:
    // The files to come, in order: false when there are no more.
    using Upcoming = std::function<bool(std::string& path)>;
    // Whether a foreseen file is worth decoding ahead (it may be skipped when its turn comes);
    // pending says the same path is foreseen earlier and not yet reached.
    using WorthDecoding = std::function<bool(const std::string& path, bool pending)>;

    // Two 6000 x 4000 photographs (72 MB each once decoded) besides smaller ones.
    static constexpr size_t kDefaultByteBudget = size_t{192} << 20;

    AnalysisPipeline(int workers, Upcoming upcoming, WorthDecoding worth,
                     size_t byteBudget = kDefaultByteBudget,
                     ProgressPreview preview = ProgressPreview::Small);
    // Cancels the work not yet taken and waits for the workers.
    ~AnalysisPipeline();
    AnalysisPipeline(const AnalysisPipeline&) = delete;
    AnalysisPipeline& operator=(const AnalysisPipeline&) = delete;

    // The analysis of path, the file the owner analyses now; whileWaiting runs every few
    // milliseconds while its worker is still busy (the window stays alive).
    FileAnalysis Take(const std::string& path, const std::function<void()>& whileWaiting = {});
    // The owner passed over path without analysing it.
    void Pass(const std::string& path);
    // Drops the work not yet begun and waits for the rest; Take analyses on the calling
    // thread from then on.
    void Cancel();

    // Every core.
    static int DefaultWorkers();

    // For tests: the largest number of bytes reserved at once by pictures being decoded.
    size_t PeakBytesInFlight() const;
    int FilesDecodedAhead() const;

private:
    struct Job {
        std::string path;
        bool decode = false;
        bool done = false;
        uint64_t sequence = 0;
        FileAnalysis result;
    };

    void TopUp();
    // Drops the foreseen files before position and returns the one at it.
    std::shared_ptr<Job> Remove(size_t position);
    // The same up to the first foreseen job of path; null when path is not foreseen.
    std::shared_ptr<Job> RemoveFirst(const std::string& path);
    void Work();
    bool Reserve(uint64_t sequence, size_t bytes);
    void Release(size_t bytes);

    Upcoming upcoming_;
    WorthDecoding worth_;
    const size_t budget_;
    const ProgressPreview preview_;
    // Files decoded ahead of the owner: enough that the other workers go on while one works
    // through a large photograph (the results are small; the pictures are released).
    const size_t maxDecoding_;
    bool exhausted_ = false;
    uint64_t sequence_ = 0;
    // Owner thread only: the foreseen files in order and how many of them are decoded.
    std::deque<std::shared_ptr<Job>> ahead_;
    // How many times each path stands in ahead_: a long run of skipped files stays cheap.
    std::unordered_map<std::string, size_t> foreseen_;
    size_t decodingAhead_ = 0;

    mutable std::mutex mutex_;
    std::condition_variable workReady_;
    std::condition_variable jobDone_;
    std::condition_variable budgetFreed_;
    std::deque<std::shared_ptr<Job>> todo_;
    std::set<uint64_t> waitingForBudget_;
    size_t bytesInFlight_ = 0;
    size_t peakBytes_ = 0;
    int decoded_ = 0;
    bool cancelled_ = false;
    std::vector<std::thread> workers_;
};

} // namespace lumidex
