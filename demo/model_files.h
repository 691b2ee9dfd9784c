#pragma once
// Model files (.c2d) of the demo's model products, made from the drawn
// product pictures: cut-out sofas with three rotation frames, picture models
// for doors, curtains, paintings and carpets, and a wardrobe of three parts
// whose middle part is a curtain body.
#include <QColor>
#include <QImage>

#include <filesystem>
#include <string>

#include "base/result.h"
#include "demo/product_pictures.h"

namespace v2d::demo {

// A model product's file; `descriptor` goes into each record's partsInfo and
// the real size is read from its PartsSpecs.
Status WriteDemoModelFile(const std::filesystem::path& file, pictures::ModelShape shape, const QColor& colour,
                          const std::string& descriptor);

// The three-part wardrobe; returns its front as the product picture.
Result<QImage> WriteDemoWardrobe(const std::filesystem::path& file, const std::string& descriptor);

}  // namespace v2d::demo
