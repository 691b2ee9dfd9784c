#pragma once
// The colour-card lists read from the product database, and looking a card
// number up on the page the user is on.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "library/colour_card_queries.h"
#include "tools/colour_card_picker.h"

namespace v2d {

inline constexpr const char* kMsgEnterCardNumber = QT_TRANSLATE_NOOP("Messages", "请输入色卡号！");
inline constexpr const char* kMsgThousandNumberMissing = QT_TRANSLATE_NOOP("Messages", "输入千色卡号不存在！");
inline constexpr const char* kMsgBuildingNumberMissing = QT_TRANSLATE_NOOP("Messages", "输入建筑色卡号不存在！");

struct ColourCardLists {
    std::vector<CardColour> mainList;
    std::vector<CardColour> offWhiteList;
    std::vector<CardColour> aSeriesList;
    std::vector<CardColour> buildingList;
    std::vector<CardColour> recommendedList;
};

// Reads all five lists; the first database error stops it.
Result<ColourCardLists> LoadColourCardLists(Db& dm);

// The card entry with this number on the thousand-colour or the building
// page, matched without regard to case. Surrounding blanks are ignored; an
// empty number or one the card lacks yields the message to show. The
// recommended page has no look-up: nullopt.
Result<std::optional<CardColour>> LookUpCardNumber(Db& dm, ColourPage page, std::string_view text);

}  // namespace v2d
