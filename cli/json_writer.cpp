#include "cli/json_writer.h"

#include <cmath>
#include <cstdio>

#include "library/pub_functions.h"

namespace v2d::cli {

std::string JsonEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    for (unsigned char c : text) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c < 0x20) {
                    char buffer[8];
                    std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
                    out += buffer;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    return out;
}

void JsonWriter::separate() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!first_.empty()) {
        if (!first_.back()) out_ += ',';
        first_.back() = false;
    }
}

JsonWriter& JsonWriter::beginObject() {
    separate();
    out_ += '{';
    first_.push_back(true);
    return *this;
}
JsonWriter& JsonWriter::endObject() {
    first_.pop_back();
    out_ += '}';
    return *this;
}
JsonWriter& JsonWriter::beginArray() {
    separate();
    out_ += '[';
    first_.push_back(true);
    return *this;
}
JsonWriter& JsonWriter::endArray() {
    first_.pop_back();
    out_ += ']';
    return *this;
}
JsonWriter& JsonWriter::key(std::string_view name) {
    separate();
    out_ += '"' + JsonEscape(name) + "\":";
    afterKey_ = true;
    return *this;
}
JsonWriter& JsonWriter::value(std::string_view text) {
    separate();
    out_ += '"' + JsonEscape(text) + '"';
    return *this;
}
JsonWriter& JsonWriter::value(int64_t number) {
    separate();
    out_ += std::to_string(number);
    return *this;
}
JsonWriter& JsonWriter::value(bool flag) {
    separate();
    out_ += flag ? "true" : "false";
    return *this;
}
JsonWriter& JsonWriter::null() {
    separate();
    out_ += "null";
    return *this;
}

JsonWriter& JsonWriter::number(double value, int decimals) {
    const std::string text = std::isfinite(value) ? FormatDecimals(value, decimals) : std::string();
    if (text.empty()) return null();
    separate();
    out_ += text;
    return *this;
}

}  // namespace v2d::cli
