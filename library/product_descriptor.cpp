#include "library/product_descriptor.h"

#include <array>

#include "base/integer_text.h"

namespace v2d {

namespace {

struct Key {
    std::string_view name;
    std::string ProductDescriptor::*field;
};

// In the order the program writes them.
constexpr std::array<Key, 12> kKeys{{
    {"PartsName", &ProductDescriptor::name},
    {"PartsNumber", &ProductDescriptor::number},
    {"SalesName", &ProductDescriptor::salesName},
    {"PartsSpecs", &ProductDescriptor::specs},
    {"FanSheXiShu", &ProductDescriptor::reflection},
    {"PSTypeMemo", &ProductDescriptor::subTypeMemo},
    {"PartsPrice", &ProductDescriptor::price},
    {"PSTypeName", &ProductDescriptor::subTypeName},
    {"PicUrl", &ProductDescriptor::picUrl},
    {kKeyPiecesPerBox, &ProductDescriptor::piecesPerBox},
    {kKeyPriceUnit, &ProductDescriptor::unit},
    {kKeyPatternRepeat, &ProductDescriptor::patternRepeat},
}};
constexpr int kMaterialKey = 4, kModelKey = 5;

}  // namespace

ProductDescriptor ProductDescriptor::Parse(std::string_view text) {
    ProductDescriptor d;
    if (text.empty()) return d;
    std::array<bool, kKeys.size()> found{};
    for (std::string& item : SplitText(text, "&")) {
        const size_t equals = item.find('=');
        int field = -1;
        if (equals != std::string::npos)
            for (size_t k = 0; k < kKeys.size() && field < 0; ++k)
                if (!found[k] && ParamNameMatches(std::string_view(item).substr(0, equals), kKeys[k].name))
                    field = static_cast<int>(k);
        if (field < 0) {
            d.items_.push_back({-1, std::move(item)});
            continue;
        }
        found[field] = true;
        d.*kKeys[field].field = item.substr(equals + 1);
        item.resize(equals);
        d.items_.push_back({field, std::move(item)});
    }
    return d;
}

ProductDescriptor ProductDescriptor::Product(std::string_view name, std::string_view number,
                                             std::string_view salesName, std::string_view specs) {
    return Built({name, number, salesName, specs}, -1, {});
}

ProductDescriptor ProductDescriptor::Material(std::string_view name, std::string_view number,
                                              std::string_view salesName, std::string_view specs,
                                              std::string_view reflection) {
    return Built({name, number, salesName, specs}, kMaterialKey, reflection);
}

ProductDescriptor ProductDescriptor::Model(std::string_view name, std::string_view number,
                                           std::string_view salesName, std::string_view specs,
                                           std::string_view subTypeMemo) {
    return Built({name, number, salesName, specs}, kModelKey, subTypeMemo);
}

ProductDescriptor ProductDescriptor::Built(std::array<std::string_view, 4> leading, int lastKey,
                                           std::string_view last) {
    ProductDescriptor d;
    auto add = [&d](int k, std::string_view value) {
        d.*kKeys[k].field = std::string(value);
        d.items_.push_back({k, std::string(kKeys[k].name)});
    };
    for (int k = 0; k < 4; ++k) add(k, leading[k]);
    if (lastKey >= 0) add(lastKey, last);
    return d;
}

ProductDescriptor& ProductDescriptor::WithPricing(double price, int piecesPerBox, PriceUnit unit, int patternRepeat) {
    if (price > 0) this->price = FormatDecimals(price, 2);
    if (piecesPerBox > 0) this->piecesPerBox = std::to_string(piecesPerBox);
    if (unit != PriceUnit::Piece) this->unit = std::string(PriceUnitWord(unit));
    if (patternRepeat > 0) this->patternRepeat = std::to_string(patternRepeat);
    return *this;
}

ProductSize PictureSizeOf(std::string_view specs, PriceUnit unit, int patternRepeat) {
    const ProductSize size = ParseProductSpecs(specs);
    if (unit != PriceUnit::Roll) return size;
    return {size.width, patternRepeat > 0 ? patternRepeat : size.width};
}

ProductSize ProductDescriptor::pictureSize() const {
    const std::optional<int> repeat = ParseInt(patternRepeat);
    return PictureSizeOf(specs, ParsePriceUnit(unit).value_or(PriceUnit::Piece), repeat.value_or(0));
}

std::string ProductDescriptor::ToString() const {
    std::string text;
    bool first = true;
    auto add = [&](std::string_view name, const std::string* value) {
        if (!first) text += '&';
        first = false;
        text += name;
        if (value != nullptr) (text += '=') += *value;
    };
    std::array<bool, kKeys.size()> written{};
    for (const Item& item : items_) {
        if (item.field >= 0) written[item.field] = true;
        add(item.text, item.field >= 0 ? &(this->*kKeys[item.field].field) : nullptr);
    }
    for (size_t k = 0; k < kKeys.size(); ++k)
        if (!written[k] && !(this->*kKeys[k].field).empty()) add(kKeys[k].name, &(this->*kKeys[k].field));
    return text;
}

std::string ProductDescriptor::Value(std::string_view key) const {
    for (const Item& item : items_) {
        if (item.field >= 0) {
            if (ParamNameMatches(item.text, key)) return this->*kKeys[item.field].field;
            continue;
        }
        const size_t equals = item.text.find('=');
        if (equals != std::string::npos && ParamNameMatches(std::string_view(item.text).substr(0, equals), key))
            return item.text.substr(equals + 1);
    }
    for (const Key& k : kKeys)
        if (k.name == key) return this->*k.field;  // a field set after reading
    return {};
}

}  // namespace v2d
