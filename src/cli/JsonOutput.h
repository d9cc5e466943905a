#pragma once

// The machine-readable answers of the commands: one JSON document on standard output.

#include "Orientation.h"

#include <string>
#include <string_view>
#include <vector>

namespace lumidex {
class Pdata;
}

namespace lumidex::cli {

// A JSON string literal of bytes. Valid UTF-8 stays as it is; each byte that is not part of
// valid UTF-8 becomes \udc80..\udcff, the escape Python calls "surrogateescape", so that a
// path that is not UTF-8 reads back to the same bytes.
std::string JsonString(std::string_view bytes);

// The name of an orientation in the answers ("turned-right", ...), "upright" for none.
const char* OrientationName(Orientation way);

// One entry: {"path","size","time","key","code"} and, when they made the match,
// "orientation" and "region".
std::string JsonEntry(const Pdata& entry, Orientation way = Orientation::Upright, int region = -1);

// One reference row; targets, when given, follow as "targets".
struct JsonTarget {
    const Pdata* entry;
    Orientation way = Orientation::Upright;
    int region = -1;
};

// Writes "[", one row per line, and "]" as the rows come.
class JsonRowWriter {
public:
    JsonRowWriter();
    ~JsonRowWriter();
    JsonRowWriter(const JsonRowWriter&) = delete;
    JsonRowWriter& operator=(const JsonRowWriter&) = delete;
    // An object whose fields are already made (without the braces).
    void Row(const std::string& fields);
    void Reference(const Pdata& entry);
    void Reference(const Pdata& entry, const std::vector<JsonTarget>& targets);

private:
    bool first_ = true;
};

} // namespace lumidex::cli
