// The "app.cfg" reader on hostile text; what it took must write and read back the same.
#include "Settings.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto never = [](const std::string&) { return false; };
    lumidex::SettingsRecord record;
    lumidex::ParseSettings(std::string_view(reinterpret_cast<const char*>(data), size), record,
                           never);
    lumidex::SettingsRecord back;
    lumidex::ParseSettings(lumidex::FormatSettings(record), back,
                           [](const std::string&) { return true; });
    return 0;
}
