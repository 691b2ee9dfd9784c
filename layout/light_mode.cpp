#include "layout/light_mode.h"

#include "base/gbk_text.h"
#include "base/integer_text.h"
#include "library/pub_functions.h"

namespace v2d {
namespace {

constexpr const char* kKeyLightMode = "LightMode";
constexpr const char* kLightKeys[] = {kKeyLightMode};

}  // namespace

LightMode ReadLightMode(std::string_view descriptor) {
    return ParseWholeNumber(GetParam(descriptor, kKeyLightMode)) == 1 ? LightMode::Room : LightMode::Photo;
}

std::string WithLightMode(std::string_view descriptor, LightMode mode, size_t byteLimit) {
    const std::string kept = WithoutParams(descriptor, kLightKeys);
    if (mode == LightMode::Photo) return std::string(Utf8Prefix(kept, byteLimit));
    const std::string item = std::string(kKeyLightMode) + "=1";
    const size_t room = byteLimit == std::string::npos ? kept.size() : byteLimit - std::min(byteLimit, item.size() + 1);
    const std::string_view head = Utf8Prefix(kept, room);
    return head.empty() ? item : std::string(head) + "&" + item;
}

const char* LightModeWord(LightMode mode) { return mode == LightMode::Room ? "room" : "photo"; }

bool ParseLightModeWord(std::string_view word, LightMode& mode) {
    if (word == "photo") mode = LightMode::Photo;
    else if (word == "room") mode = LightMode::Room;
    else return false;
    return true;
}

}  // namespace v2d
