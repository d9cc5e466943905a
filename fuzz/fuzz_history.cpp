// The "history.cfg" reader on hostile text: what it kept must save and read back the same.
#include "History.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    lumidex::History history;
    history.Parse(std::string_view(reinterpret_cast<const char*>(data), size));
    std::string text;
    for (const std::string& p : history.Paths())
        text += p + "\r\n";
    lumidex::History back;
    back.Parse(text);
    // A path holding a lone carriage return is the one thing a line cannot carry back.
    for (const std::string& p : history.Paths())
        if (p.find('\r') != std::string::npos) return 0;
    if (back.Paths() != history.Paths()) std::abort();
    return 0;
}
