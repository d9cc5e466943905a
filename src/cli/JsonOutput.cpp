#include "JsonOutput.h"

#include "Pdata.h"

#include <cstdio>

namespace lumidex::cli {

namespace {

// Length of the valid UTF-8 sequence at s[i], 0 when none starts there (overlong forms,
// surrogates and values past U+10FFFF are not valid).
size_t Utf8Length(std::string_view s, size_t i) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = byte(i);
    if (c < 0x80) return 1;
    size_t n;
    unsigned char low = 0x80, high = 0xBF; // the bounds of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        if (c == 0xE0) low = 0xA0;
        if (c == 0xED) high = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        if (c == 0xF0) low = 0x90;
        if (c == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (i + n > s.size()) return 0;
    if (byte(i + 1) < low || byte(i + 1) > high) return 0;
    for (size_t k = 2; k < n; ++k)
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
    return n;
}

} // namespace

std::string JsonString(std::string_view bytes) {
    std::string out = "\"";
    char hex[8];
    for (size_t i = 0; i < bytes.size();) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
            ++i;
        } else if (c < 0x20 || c == 0x7F) {
            std::snprintf(hex, sizeof hex, "\\u%04x", c);
            out += hex;
            ++i;
        } else if (const size_t n = Utf8Length(bytes, i)) {
            out.append(bytes.substr(i, n));
            i += n;
        } else {
            std::snprintf(hex, sizeof hex, "\\udc%02x", c);
            out += hex;
            ++i;
        }
    }
    out += '"';
    return out;
}

const char* OrientationName(Orientation way) {
    switch (way) {
    case Orientation::Upright:
        return "upright";
    case Orientation::TurnedRight:
        return "turned-right";
    case Orientation::TurnedOver:
        return "turned-over";
    case Orientation::TurnedLeft:
        return "turned-left";
    case Orientation::MirroredLeftRight:
        return "mirrored-left-right";
    case Orientation::MirroredUpDown:
        return "mirrored-up-down";
    case Orientation::MirroredDiagonal:
        return "mirrored-diagonal";
    case Orientation::MirroredAntiDiagonal:
        return "mirrored-anti-diagonal";
    }
    return "upright";
}

namespace {

std::string EntryFields(const Pdata& e, Orientation way, int region) {
    char numbers[160];
    std::snprintf(numbers, sizeof numbers,
                  ",\"size\":%d,\"time\":%d,\"key\":\"%08X\",\"code\":\"%08X\"", e.fileSize,
                  e.fileTime, e.key, e.code);
    std::string fields = "\"path\":" + JsonString(e.path) + numbers;
    if (way != Orientation::Upright)
        fields += std::string(",\"orientation\":\"") + OrientationName(way) + "\"";
    if (region >= 0) fields += ",\"region\":" + std::to_string(region);
    return fields;
}

} // namespace

std::string JsonEntry(const Pdata& entry, Orientation way, int region) {
    return "{" + EntryFields(entry, way, region) + "}";
}

JsonRowWriter::JsonRowWriter() {
    std::fputs("[", stdout);
}

JsonRowWriter::~JsonRowWriter() {
    std::fputs(first_ ? "]\n" : "\n]\n", stdout);
}

void JsonRowWriter::Row(const std::string& fields) {
    std::fputs(first_ ? "\n{" : ",\n{", stdout);
    std::fputs(fields.c_str(), stdout);
    std::fputs("}", stdout);
    first_ = false;
}

void JsonRowWriter::Reference(const Pdata& entry) {
    Row(EntryFields(entry, Orientation::Upright, -1));
}

void JsonRowWriter::Reference(const Pdata& entry, const std::vector<JsonTarget>& targets) {
    std::string fields = EntryFields(entry, Orientation::Upright, -1) + ",\"targets\":[";
    for (size_t i = 0; i < targets.size(); ++i) {
        if (i) fields += ',';
        fields += JsonEntry(*targets[i].entry, targets[i].way, targets[i].region);
    }
    Row(fields + "]");
}

} // namespace lumidex::cli
