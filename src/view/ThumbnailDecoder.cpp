#include "ThumbnailDecoder.h"

#include "ThumbnailGrid.h"

#include <QThreadPool>

#include <condition_variable>
#include <map>
#include <mutex>

namespace lumidex {

struct ThumbnailDecoder::Shared {
    struct Result {
        bool done = false;
        bool ok = false;
        QImage picture;
    };
    Decode decode;
    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    uint64_t generation = 0;
    std::map<std::string, Result> results;
    std::function<void()> notify;
};

class ThumbnailDecoder::Pool : public QThreadPool {};

ThumbnailDecoder::ThumbnailDecoder(Decode decode, int threads)
    : shared_(std::make_shared<Shared>()), pool_(std::make_unique<Pool>()) {
    shared_->decode = std::move(decode);
    if (threads > 0) pool_->setMaxThreadCount(threads);
}

ThumbnailDecoder::~ThumbnailDecoder() {
    Cancel();
    pool_->waitForDone();
}

void ThumbnailDecoder::SetNotify(std::function<void()> notify) {
    std::lock_guard lock(shared_->mutex);
    shared_->notify = std::move(notify);
}

void ThumbnailDecoder::Cancel() {
    pool_->clear();
    std::lock_guard lock(shared_->mutex);
    ++shared_->generation;
    shared_->results.clear();
    shared_->changed.notify_all();
}

void ThumbnailDecoder::Start(const std::vector<std::string>& paths, QSize cell, bool keepAspect) {
    Cancel();
    uint64_t generation;
    {
        std::lock_guard lock(shared_->mutex);
        generation = shared_->generation;
        for (const std::string& path : paths)
            shared_->results[path];
    }
    for (const std::string& path : paths) {
        pool_->start([shared = shared_, generation, path, cell, keepAspect] {
            {
                std::lock_guard lock(shared->mutex);
                if (shared->generation != generation) return;
            }
            QImage picture;
            bool ok = shared->decode(picture, path, cell, keepAspect) && !picture.isNull();
            if (ok) {
                // Reduced here, so that the drawing thread only copies pixels.
                const QSize fitted =
                    FitIntoCell(QRect(QPoint(0, 0), cell), picture.size(), keepAspect)
                        .size()
                        .expandedTo({1, 1});
                if (fitted.width() < picture.width() || fitted.height() < picture.height())
                    picture =
                        picture.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            }
            std::function<void()> notify;
            {
                std::lock_guard lock(shared->mutex);
                if (shared->generation != generation) return;
                auto it = shared->results.find(path);
                if (it == shared->results.end()) return;
                it->second = {true, ok, ok ? std::move(picture) : QImage()};
                notify = shared->notify;
                shared->changed.notify_all();
            }
            if (notify) notify();
        });
    }
}

ThumbnailDecoder::State ThumbnailDecoder::Peek(const std::string& path) const {
    std::lock_guard lock(shared_->mutex);
    auto it = shared_->results.find(path);
    if (it == shared_->results.end()) return State::Unknown;
    if (!it->second.done) return State::Pending;
    return it->second.ok ? State::Ready : State::Failed;
}

ThumbnailDecoder::State ThumbnailDecoder::Take(const std::string& path, QImage& picture) {
    std::lock_guard lock(shared_->mutex);
    auto it = shared_->results.find(path);
    if (it == shared_->results.end()) return State::Unknown;
    if (!it->second.done) return State::Pending;
    const bool ok = it->second.ok;
    picture = std::move(it->second.picture);
    shared_->results.erase(it);
    return ok ? State::Ready : State::Failed;
}

ThumbnailDecoder::State ThumbnailDecoder::WaitFor(const std::string& path) const {
    std::unique_lock lock(shared_->mutex);
    for (;;) {
        auto it = shared_->results.find(path);
        if (it == shared_->results.end()) return State::Unknown;
        if (it->second.done) return it->second.ok ? State::Ready : State::Failed;
        shared_->changed.wait(lock);
    }
}

} // namespace lumidex
