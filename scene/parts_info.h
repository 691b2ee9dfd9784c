#pragma once
// A record's parts info: the product descriptor a region or model keeps
// ("PartsName=…&…", with a patterned laying's items after the product's).
// It is read once, when it is set (a scheme or model file read, a laying
// stored), into the product and the laying it names; the text itself is
// kept byte for byte, so a save writes back exactly what was read, items no
// build knows included.
#include <optional>
#include <string>

#include "layout/laying_pattern.h"
#include "layout/light_mode.h"
#include "layout/pattern_descriptor.h"
#include "library/product.h"

namespace v2d {

class PartsInfo {
public:
    PartsInfo() = default;
    explicit PartsInfo(std::string text);
    // Setting the text reads it.
    PartsInfo& operator=(std::string text) { return *this = PartsInfo(std::move(text)); }

    // The descriptor as it was given.
    const std::string& text() const { return product_.descriptor(); }
    bool empty() const { return text().empty(); }

    const Product& product() const { return product_; }
    // The laying settings it keeps (plain when it keeps none).
    const PatternSettings& pattern() const { return pattern_; }
    // The tile's size as laid, when it keeps one.
    const std::optional<LaidSize>& laidSize() const { return laidSize_; }
    // Which light the region is toned with.
    LightMode lightMode() const { return lightMode_; }

    // Everything else is read from the text: equal texts are equal infos.
    friend bool operator==(const PartsInfo& a, const PartsInfo& b) { return a.text() == b.text(); }

private:
    Product product_;
    PatternSettings pattern_;
    std::optional<LaidSize> laidSize_;
    LightMode lightMode_ = LightMode::Photo;
};

}  // namespace v2d
