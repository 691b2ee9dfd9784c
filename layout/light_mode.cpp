#include "layout/light_mode.h"

#include "base/gbk_text.h"
#include "base/integer_text.h"
#include "library/pub_functions.h"

namespace v2d {
namespace {

constexpr const char* kKeyLightMode = "LightMode";

bool IsLightItem(std::string_view item) {
    const size_t equals = item.find('=');
    return equals != std::string_view::npos && ParamNameMatches(item.substr(0, equals), kKeyLightMode);
}


}  // namespace

LightMode ReadLightMode(std::string_view descriptor) {
    return ParseWholeNumber(GetParam(descriptor, kKeyLightMode)) == 1 ? LightMode::Room : LightMode::Photo;
}

std::string WithLightMode(std::string_view descriptor, LightMode mode, size_t byteLimit) {
    std::string kept;
    bool removed = false;
    for (const std::string& item : SplitText(descriptor, "&")) {
        if (IsLightItem(item)) {
            removed = true;
            continue;
        }
        if (!kept.empty()) kept += '&';
        kept += item;
    }
    if (!removed) kept = descriptor;
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
