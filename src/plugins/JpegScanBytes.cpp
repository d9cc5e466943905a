#include "JpegScanBytes.h"

#include <algorithm>
#include <cstring>

namespace lumidex {

namespace {

constexpr size_t kChunkBytes = size_t{256} << 10;

class Unstuffer {
public:
    Unstuffer(bool restarts, size_t maxBytes, JpegScanBytes& out)
        : restarts_(restarts), maxBytes_(maxBytes), out_(out) {}

    // Returns false once the scan has ended or grown too large.
    bool Feed(const uint8_t* p, size_t n) {
        const uint8_t* end = p + n;
        while (p < end) {
            if (afterFF_) {
                const uint8_t b = *p++;
                if (b == 0xFF) {
                    filled_ = true;
                    continue;
                }
                afterFF_ = false;
                if (b == 0x00) {
                    // Fill bytes before a data byte: libjpeg-turbo's fast decoder takes them
                    // for a marker and leaves that MCU's stale coefficients in its output.
                    if (filled_) {
                        refused_ = true;
                        return false;
                    }
                    if (!Append(p - 1, 1, 0xFF)) return false;
                    continue;
                }
                filled_ = false;
                if (restarts_ && b >= 0xD0 && b <= 0xD7) {
                    out_.restarts.push_back({out_.size, b - 0xD0});
                    continue;
                }
                return false; // the scan ends here
            }
            const void* ff = std::memchr(p, 0xFF, static_cast<size_t>(end - p));
            const uint8_t* stop = ff ? static_cast<const uint8_t*>(ff) : end;
            if (!Append(p, static_cast<size_t>(stop - p))) return false;
            p = stop;
            if (ff) {
                afterFF_ = true;
                ++p;
            }
        }
        return true;
    }
    // Overflowed, or coded in a way whose libjpeg output this reading does not give.
    bool Refused() const { return overflowed_ || refused_; }

private:
    bool Append(const uint8_t* p, size_t n, int only = -1) {
        if (n == 0) return true;
        if (n > maxBytes_ - out_.size) {
            overflowed_ = true;
            return false;
        }
        // Within the capacity reserved, or growing by doubling.
        if (out_.data.size() < out_.size + n) out_.data.resize(out_.size + n);
        if (only >= 0)
            out_.data[out_.size] = static_cast<uint8_t>(only);
        else
            std::memcpy(out_.data.data() + out_.size, p, n);
        out_.size += n;
        return true;
    }

    bool restarts_;
    size_t maxBytes_;
    JpegScanBytes& out_;
    bool afterFF_ = false, filled_ = false;
    bool overflowed_ = false, refused_ = false;
};

} // namespace

bool ReadJpegScanBytes(const uint8_t* buffered, size_t bufferedSize, std::FILE* file, bool restarts,
                       size_t maxBytes, JpegScanBytes& out) {
    out.size = 0;
    out.restarts.clear();
    // Reserving what remains of the file spares the copies of a growing buffer.
    const long here = std::ftell(file);
    if (here >= 0 && std::fseek(file, 0, SEEK_END) == 0) {
        const long end = std::ftell(file);
        if (std::fseek(file, here, SEEK_SET) != 0) return false;
        if (end > here)
            out.data.reserve(std::min(maxBytes, bufferedSize + static_cast<size_t>(end - here)) +
                             JpegScanBytes::kPadding);
    }
    Unstuffer unstuff(restarts, maxBytes, out);
    bool more = unstuff.Feed(buffered, bufferedSize);
    std::vector<uint8_t> chunk;
    while (more) {
        chunk.resize(kChunkBytes);
        const size_t n = std::fread(chunk.data(), 1, chunk.size(), file);
        if (n == 0) {
            if (std::ferror(file)) return false;
            break;
        }
        more = unstuff.Feed(chunk.data(), n);
    }
    if (unstuff.Refused()) return false;
    out.data.resize(out.size + JpegScanBytes::kPadding);
    std::memset(out.data.data() + out.size, 0, JpegScanBytes::kPadding);
    return true;
}

} // namespace lumidex
