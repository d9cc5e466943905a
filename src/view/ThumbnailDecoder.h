#pragma once

#include <QImage>
#include <QSize>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace lumidex {

// Decodes the pictures of thumbnail cells on worker threads. Workers only read and decode
// files; the results wait here until the thread that draws takes them. A new batch replaces
// the old one: its jobs that have not started are dropped, and results of jobs still running
// are thrown away when they finish.
class ThumbnailDecoder {
public:
    // Reads a picture for a cell; false when it cannot be read (ThumbnailDrawing::Reader).
    using Decode =
        std::function<bool(QImage& picture, const std::string& path, QSize cell, bool keepAspect)>;
    // threads 0: one per processor.
    explicit ThumbnailDecoder(Decode decode, int threads = 0);
    ~ThumbnailDecoder();
    ThumbnailDecoder(const ThumbnailDecoder&) = delete;
    ThumbnailDecoder& operator=(const ThumbnailDecoder&) = delete;

    // Called on a worker thread after each result (the window posts itself a wake-up).
    void SetNotify(std::function<void()> notify);

    // Decodes paths in this order for cells of this size; with keepAspect the result is
    // already reduced to the rectangle it is drawn into, so that drawing only copies it.
    void Start(const std::vector<std::string>& paths, QSize cell, bool keepAspect);
    void Cancel();

    enum class State {
        Unknown, // not in the batch: the caller reads it itself
        Pending, // still being decoded
        Ready,   // picture taken
        Failed   // unreadable
    };
    // Takes the result for path out of the decoder.
    State Take(const std::string& path, QImage& picture);
    State Peek(const std::string& path) const;
    // Blocks until path is decoded (benchmarks and tests); Unknown when it is not in the batch.
    State WaitFor(const std::string& path) const;

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
    class Pool;
    std::unique_ptr<Pool> pool_;
};

} // namespace lumidex
