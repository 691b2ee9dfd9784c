#pragma once
// A large generated product catalogue for benchmarks and for looking at the
// product browser under load: N products in M sub-categories, nested under
// main categories and parent sub-categories (some parents read after their
// children), with thumbnails and photographs for one full sub-category.
#include <cstdint>
#include <filesystem>

#include "base/result.h"

namespace v2d::demo {

struct BenchCatalogueSize {
    int products = 10000;
    int subCategories = 500;
};

// The sub-category whose products have pictures on disk; it is the first
// leaf of the tree, so the browser opens on it.
inline constexpr int64_t kBenchPicturedSubCategory = 1;
inline constexpr int kBenchPicturedProducts = 300;

// Writes folder/DB/PRODUCT.cdb (replacing it whole) and the pictures under
// folder/product/xjpg and folder/product/jpg.
Status WriteBenchCatalogue(const std::filesystem::path& folder, BenchCatalogueSize size);

}  // namespace v2d::demo
