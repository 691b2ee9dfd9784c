#include "tools/colour_card_lookup.h"

namespace v2d {

namespace {

std::string_view Trimmed(std::string_view text) {
    constexpr std::string_view kBlanks = " \t\r\n";
    const size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

Status ReadInto(std::vector<CardColour>& list, Result<std::vector<CardColour>> rows) {
    if (!rows) return Error{rows.error()};
    list = std::move(*rows);
    return Status::Ok();
}

}  // namespace

Result<ColourCardLists> LoadColourCardLists(Db& dm) {
    ColourCardLists lists;
    if (Status s = ReadInto(lists.mainList, ReadMainColours(dm)); !s) return Error{s.error()};
    if (Status s = ReadInto(lists.offWhiteList, ReadOffWhiteColours(dm)); !s) return Error{s.error()};
    if (Status s = ReadInto(lists.aSeriesList, ReadASeriesColours(dm)); !s) return Error{s.error()};
    if (Status s = ReadInto(lists.buildingList, ReadBuildingColours(dm)); !s) return Error{s.error()};
    if (Status s = ReadInto(lists.recommendedList, ReadRecommendedColours(dm)); !s)
        return Error{s.error()};
    return lists;
}

Result<std::optional<CardColour>> LookUpCardNumber(Db& dm, ColourPage page, std::string_view text) {
    const std::string number(Trimmed(text));
    if (number.empty()) return Error{kMsgEnterCardNumber};
    if (page == ColourPage::Recommended) return std::optional<CardColour>();
    const bool thousand = page == ColourPage::Thousand;
    Result<std::optional<CardColour>> found =
        FindCardColour(dm, thousand ? ColourCardTable::Thousand : ColourCardTable::Building, number);
    if (!found) return found;
    if (!found->has_value())
        return Error{thousand ? kMsgThousandNumberMissing : kMsgBuildingNumberMissing};
    return found;
}

}  // namespace v2d
