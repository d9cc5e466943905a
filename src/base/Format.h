#pragma once

#include <cstdint>
#include <string>

namespace lumidex {

// Below 1024 the plain number (-1 stays "-1"); otherwise kilobytes with two decimals and "K".
std::string FormatSize(int64_t bytes);
// Seconds since 1970 UTC as local date and time in the locale's short date and long time form.
std::string FormatFileTime(int64_t seconds);
// Local time as "Mon Dec 08 20:12:05 2003" followed by a line feed, English names whatever
// the locale: the form used by the detail lines and the pair lists.
std::string FormatDateLine(int64_t seconds);

} // namespace lumidex
