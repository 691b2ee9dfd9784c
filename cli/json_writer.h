#pragma once
// A small streaming JSON writer for the command line's output.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace v2d::cli {

class JsonWriter {
public:
    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();
    JsonWriter& key(std::string_view name);
    JsonWriter& value(std::string_view text);
    JsonWriter& value(const char* text) { return value(std::string_view(text)); }
    JsonWriter& value(int64_t number);
    JsonWriter& value(bool flag);
    JsonWriter& null();
    // The number with `decimals` places (168.00); null when it is no finite number.
    JsonWriter& number(double value, int decimals);
    template <class T>
    JsonWriter& field(std::string_view name, T v) {
        key(name);
        return value(v);
    }

    const std::string& str() const { return out_; }

private:
    void separate();
    std::string out_;
    std::vector<bool> first_;  // per open container: no element written yet
    bool afterKey_ = false;
};

std::string JsonEscape(std::string_view text);

}  // namespace v2d::cli
