#include "PreviewCache.h"

#include <algorithm>
#include <charconv>

namespace lumidex {

namespace {

bool ParseInt(const std::string& text, long long& value) {
    const char* first = text.data();
    const char* last = first + text.size();
    while (first < last && *first == ' ')
        ++first;
    while (last > first && last[-1] == ' ')
        --last;
    if (first < last && *first == '+') ++first;
    auto [end, ec] = std::from_chars(first, last, value);
    return ec == std::errc() && end == last && first < last;
}

} // namespace

int PreviewCache::LimitFromText(const std::string& text) {
    long long value = 0;
    if (!ParseInt(text, value) || value <= 0) return 0;
    // More than this would hold gigabytes; the edit box allows any number.
    return static_cast<int>(std::min<long long>(value, 100000));
}

std::string PreviewCache::CorrectedCountText(const std::string& text) {
    long long value = 0;
    if (ParseInt(text, value) && value < 0) return "20";
    return text;
}

void PreviewCache::Add(const QImage& picture, int fullWidth, int fullHeight, const PreviewKey& key,
                       int limit) {
    if (picture.isNull() || limit <= 0 || Find(key) >= 0) return;
    while (Count() >= limit)
        items_.erase(items_.begin());
    Item item;
    item.key = key;
    item.fullWidth = fullWidth;
    item.fullHeight = fullHeight;
    item.picture = picture.scaled(side_, side_, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                       .convertToFormat(QImage::Format_RGB888);
    items_.push_back(std::move(item));
}

int PreviewCache::Find(const PreviewKey& key) const {
    for (int i = 0; i < Count(); ++i)
        if (items_[static_cast<size_t>(i)].key == key) return i;
    return -1;
}

void PreviewCache::Delete(int position) {
    if (position < 0 || position >= Count()) return;
    items_.erase(items_.begin() + position);
}

void PreviewCache::DropPath(const std::string& path) {
    items_.erase(std::remove_if(items_.begin(), items_.end(),
                                [&](const Item& item) { return item.key.path == path; }),
                 items_.end());
}

} // namespace lumidex
