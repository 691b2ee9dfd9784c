#pragma once
// The product descriptor ("PartsName=…&PartsNumber=…&…") as a value: read
// once where it comes in, written back as the program writes it. Items the
// program does not know keep their place and text, so a descriptor passed
// through loses nothing a newer writer put into it.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "library/price_unit.h"
#include "library/pub_functions.h"

namespace v2d {

// The real size one picture of a product stands for, in millimetres: its
// size, but for a wallpaper sold by the roll (PartsSpecs: the roll's width
// and length) the roll's width by the pattern repeat, or a square of the
// width when it has none, so a 10 m roll is never stretched into one picture.
ProductSize PictureSizeOf(std::string_view specs, PriceUnit unit, int patternRepeat);

struct ProductDescriptor {
    std::string name;         // PartsName
    std::string number;       // PartsNumber, names the product's files
    std::string salesName;    // SalesName, the dealer or brand
    std::string specs;        // PartsSpecs, "width*height" in millimetres
    std::string price;        // PartsPrice, as written ("100.00")
    std::string reflection;   // FanSheXiShu, a material's reflection
    std::string subTypeMemo;  // PSTypeMemo, a model's category memo
    std::string subTypeName;  // PSTypeName, a model part's category
    std::string picUrl;       // PicUrl, the picture or model address of the web service
    std::string piecesPerBox; // kKeyPiecesPerBox, whole pieces in a box
    std::string unit;         // kKeyPriceUnit, a PriceUnitWord
    std::string patternRepeat;  // kKeyPatternRepeat, a wallpaper's repeat in millimetres

    // Each field takes the value GetParam gives for its key; every other
    // item is kept as it stands.
    static ProductDescriptor Parse(std::string_view text);

    // The descriptors the program builds: name, number, dealer and size,
    // then the reflection (materials) or the category memo (models).
    static ProductDescriptor Product(std::string_view name, std::string_view number, std::string_view salesName,
                                     std::string_view specs);
    static ProductDescriptor Material(std::string_view name, std::string_view number, std::string_view salesName,
                                      std::string_view specs, std::string_view reflection);
    static ProductDescriptor Model(std::string_view name, std::string_view number, std::string_view salesName,
                                   std::string_view specs, std::string_view subTypeMemo);

    // What a scheme quotes from without the database, each only when it
    // says something: the price ("0.00") when above 0, the pieces per box
    // when above 0, the unit when not per piece, the pattern repeat when
    // above 0. A descriptor of a product without them stays as it was.
    ProductDescriptor& WithPricing(double price, int piecesPerBox, PriceUnit unit, int patternRepeat = 0);

    // The items in their order, each field under the name it was read with;
    // a field that came with no item follows when it is not empty.
    std::string ToString() const;

    // Width and height in millimetres; 600 for what is missing or no number.
    ProductSize size() const { return ParseProductSpecs(specs); }
    // What one picture of the product stands for (PictureSizeOf).
    ProductSize pictureSize() const;

    // The value of any key, fields and kept items alike, by GetParam's rule.
    std::string Value(std::string_view key) const;

private:
    struct Item {
        int field = -1;    // index of the field it holds, or -1 for an item kept as it stands
        std::string text;  // the name before "=" for a field, else the whole item
    };
    std::vector<Item> items_;

    static ProductDescriptor Built(std::array<std::string_view, 4> leading, int lastKey, std::string_view last);
};

}  // namespace v2d
