#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

// Little-endian integer streams. The writer appends to a byte string; the reader walks a
// buffer that holds a whole file and never reads past its end: a read that does not fit
// yields 0 and marks the reader failed, and the failure sticks.
namespace lumidex {

class ByteWriter {
public:
    explicit ByteWriter(std::string& out) : out_(out) {}

    void U8(uint8_t v) { out_.push_back(static_cast<char>(v)); }
    void U16(uint16_t v) {
        char b[2] = {static_cast<char>(v), static_cast<char>(v >> 8)};
        out_.append(b, 2);
    }
    void U32(uint32_t v) {
        char b[4] = {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                     static_cast<char>(v >> 24)};
        out_.append(b, 4);
    }
    void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
    void Bytes(std::string_view bytes) { out_.append(bytes.data(), bytes.size()); }
    size_t Size() const { return out_.size(); }

private:
    std::string& out_;
};

class ByteReader {
public:
    ByteReader(const char* data, size_t size)
        : data_(reinterpret_cast<const uint8_t*>(data)), size_(size) {}
    explicit ByteReader(std::string_view bytes) : ByteReader(bytes.data(), bytes.size()) {}

    size_t Position() const { return pos_; }
    size_t Remaining() const { return size_ - pos_; }
    bool Failed() const { return failed_; }
    void Fail() { failed_ = true; }
    bool AtEnd() const { return pos_ == size_; }
    // Whether n more bytes can be read; marks the reader failed when they cannot.
    bool Need(size_t n) {
        if (failed_ || n > Remaining()) {
            failed_ = true;
            return false;
        }
        return true;
    }
    void Seek(size_t position) {
        if (position > size_)
            failed_ = true;
        else
            pos_ = position;
    }

    uint8_t U8() {
        if (!Need(1)) return 0;
        return data_[pos_++];
    }
    uint16_t U16() {
        if (!Need(2)) return 0;
        uint16_t v = static_cast<uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
        pos_ += 2;
        return v;
    }
    uint32_t U32() {
        if (!Need(4)) return 0;
        uint32_t v = static_cast<uint32_t>(data_[pos_]) |
                     (static_cast<uint32_t>(data_[pos_ + 1]) << 8) |
                     (static_cast<uint32_t>(data_[pos_ + 2]) << 16) |
                     (static_cast<uint32_t>(data_[pos_ + 3]) << 24);
        pos_ += 4;
        return v;
    }
    int32_t I32() { return static_cast<int32_t>(U32()); }
    std::string_view Bytes(size_t n) {
        if (!Need(n)) return {};
        std::string_view v(reinterpret_cast<const char*>(data_ + pos_), n);
        pos_ += n;
        return v;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    bool failed_ = false;
};

} // namespace lumidex
