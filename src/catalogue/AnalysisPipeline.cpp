#include "AnalysisPipeline.h"

#include "AnalysisBudget.h"

#include <algorithm>
#include <chrono>
#include <mutex>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace lumidex {

namespace {

// glibc gives each new thread a heap of its own (up to eight per core), and each heap keeps
// the pictures freed in it for the next ones: with many workers the kept pictures alone
// outgrow the byte budget. Two heaps shared by every thread keep the peak near the budget
// whatever the number of workers; the workers allocate seldom, so they hardly wait.
void ShareHeaps() {
#ifdef __GLIBC__
    static std::once_flag once;
    std::call_once(once, [] { mallopt(M_ARENA_MAX, 2); });
#endif
}

} // namespace

int AnalysisPipeline::DefaultWorkers() {
    return std::max(1u, std::thread::hardware_concurrency());
}

AnalysisPipeline::AnalysisPipeline(int workers, Upcoming upcoming, WorthDecoding worth,
                                   size_t byteBudget, ProgressPreview preview)
    : upcoming_(std::move(upcoming)), worth_(std::move(worth)), budget_(byteBudget),
      preview_(preview),
      maxDecoding_(std::min<size_t>(static_cast<size_t>(std::max(workers, 1)) * 16, 128)) {
    workers = std::max(workers, 1);
    ShareHeaps();
    workers_.reserve(static_cast<size_t>(workers));
    for (int i = 0; i < workers; ++i)
        workers_.emplace_back([this] { Work(); });
    TopUp();
}

AnalysisPipeline::~AnalysisPipeline() {
    Cancel();
}

void AnalysisPipeline::Cancel() {
    {
        std::lock_guard lock(mutex_);
        cancelled_ = true;
        todo_.clear();
    }
    workReady_.notify_all();
    budgetFreed_.notify_all();
    for (std::thread& t : workers_)
        if (t.joinable()) t.join();
    workers_.clear();
    ahead_.clear();
    foreseen_.clear();
    decodingAhead_ = 0;
    exhausted_ = true;
}

// Skipped files cost only their name, so many more of them than decoded ones are foreseen.
void AnalysisPipeline::TopUp() {
    constexpr size_t kMaxForeseen = 4096;
    std::string path;
    while (!exhausted_ && decodingAhead_ < maxDecoding_ && ahead_.size() < kMaxForeseen) {
        if (!upcoming_ || !upcoming_(path)) {
            exhausted_ = true;
            break;
        }
        auto job = std::make_shared<Job>();
        const bool pending = foreseen_[path]++ > 0;
        job->decode = !worth_ || worth_(path, pending);
        job->path = std::move(path);
        job->sequence = sequence_++;
        ahead_.push_back(job);
        if (job->decode) {
            ++decodingAhead_;
            {
                std::lock_guard lock(mutex_);
                todo_.push_back(job);
            }
            workReady_.notify_one();
        }
    }
}

std::shared_ptr<AnalysisPipeline::Job> AnalysisPipeline::Remove(size_t position) {
    std::shared_ptr<Job> job;
    for (size_t i = 0; i <= position; ++i) {
        job = std::move(ahead_.front());
        ahead_.pop_front();
        if (job->decode) --decodingAhead_;
        if (auto it = foreseen_.find(job->path); it != foreseen_.end() && --it->second == 0)
            foreseen_.erase(it);
    }
    return job;
}

std::shared_ptr<AnalysisPipeline::Job> AnalysisPipeline::RemoveFirst(const std::string& path) {
    if (!foreseen_.contains(path)) return nullptr;
    auto it =
        std::find_if(ahead_.begin(), ahead_.end(), [&](const auto& j) { return j->path == path; });
    return Remove(static_cast<size_t>(it - ahead_.begin()));
}

void AnalysisPipeline::Pass(const std::string& path) {
    RemoveFirst(path);
    TopUp();
}

FileAnalysis AnalysisPipeline::Take(const std::string& path,
                                    const std::function<void()>& whileWaiting) {
    TopUp();
    std::shared_ptr<Job> job = RemoveFirst(path);
    TopUp();
    if (!job || !job->decode) return MeasureFile(path, preview_);
    std::unique_lock lock(mutex_);
    while (!job->done && !cancelled_) {
        if (jobDone_.wait_for(lock, std::chrono::milliseconds(20)) == std::cv_status::timeout &&
            whileWaiting) {
            lock.unlock();
            whileWaiting();
            lock.lock();
        }
    }
    if (!job->done) {
        lock.unlock();
        return MeasureFile(path, preview_);
    }
    return std::move(job->result);
}

bool AnalysisPipeline::Reserve(uint64_t sequence, size_t bytes) {
    std::unique_lock lock(mutex_);
    // Served in file order, so that a large picture is not overtaken for ever; a picture
    // over the whole budget waits until it is alone.
    waitingForBudget_.insert(sequence);
    budgetFreed_.wait(lock, [&] {
        return cancelled_ || (*waitingForBudget_.begin() == sequence &&
                              (bytesInFlight_ == 0 || bytesInFlight_ + bytes <= budget_));
    });
    waitingForBudget_.erase(sequence);
    if (cancelled_) return false;
    bytesInFlight_ += bytes;
    peakBytes_ = std::max(peakBytes_, bytesInFlight_);
    lock.unlock();
    budgetFreed_.notify_all();
    return true;
}

void AnalysisPipeline::Release(size_t bytes) {
    {
        std::lock_guard lock(mutex_);
        bytesInFlight_ -= bytes;
    }
    budgetFreed_.notify_all();
}

void AnalysisPipeline::Work() {
    for (;;) {
        std::shared_ptr<Job> job;
        {
            std::unique_lock lock(mutex_);
            workReady_.wait(lock, [this] { return cancelled_ || !todo_.empty(); });
            if (cancelled_) return;
            job = std::move(todo_.front());
            todo_.pop_front();
        }
        // A file whose header tells nothing is decoded alone.
        const size_t bytes = std::min(AnalysisBytes(job->path).value_or(budget_), budget_);
        if (!Reserve(job->sequence, bytes)) return;
        FileAnalysis result = MeasureFile(job->path, preview_);
        Release(bytes);
        {
            std::lock_guard lock(mutex_);
            job->result = std::move(result);
            job->done = true;
            ++decoded_;
        }
        jobDone_.notify_all();
    }
}

size_t AnalysisPipeline::PeakBytesInFlight() const {
    std::lock_guard lock(mutex_);
    return peakBytes_;
}

int AnalysisPipeline::FilesDecodedAhead() const {
    std::lock_guard lock(mutex_);
    return decoded_;
}

} // namespace lumidex
