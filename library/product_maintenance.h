#pragma once
// Keeping the catalogue: adding products from JPEG pictures (the three
// picture copies and the thumbnail), correcting, deleting and moving them.
// Every value goes into the SQL as a bound parameter; product numbers name
// files, so a number that would reach outside the product folders is
// refused.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "library/product_queries.h"

namespace v2d {

inline constexpr const char* kMsgChooseSubCategory = "请选择产品次类！";
inline constexpr const char* kMsgChooseSubCategoryFirst = "请先选择次类！";
inline constexpr const char* kMsgMaterialCategoryOnly = "你要添加的是材料产品，请选择属于材料产品的类别。";
inline constexpr const char* kMsgJpegOnly = "图像文件格式只能为jpg文件。";
inline constexpr const char* kMsgProductsAdded = " 个产品添加完毕！";
inline constexpr const char* kMsgChooseLibraryProduct = "请选择一个库中产品！";
inline constexpr const char* kMsgProductNameEmpty = "产品名不能为空!";
inline constexpr const char* kMsgProductNumberEmpty = "产品编号不能为空!";
inline constexpr const char* kMsgUpdated = "更新成功！";
inline constexpr const char* kMsgProductGone = "产品已不在库中，没有更新。";
inline constexpr const char* kMsgNumberNotAFileName = "产品编号不能含有路径符号。";
inline constexpr const char* kMsgNumberTaken = "产品编号已存在。";
inline constexpr const char* kMsgNoUpdateRights = "对不起，你没有修改产品信息的权限!";
inline constexpr const char* kMsgNoDeleteRights = "对不起，你没有删除产品的权限!";
inline constexpr const char* kAskDeleteProducts = "产品删除后将不能恢复,你确定要删除吗 ?";
inline constexpr const char* kMsgNotIntoMainCategory = "不能把产品放到大类里。";
inline constexpr const char* kAskMoveProducts = "确实要改变产品所在类别吗 ?";
inline constexpr const char* kMsgPiecesPerBoxNegative = "每箱片数不能小于 0。";
inline constexpr const char* kMsgPatternRepeatOutOfRange = "花距必须在 0 到 100000 毫米之间。";
inline constexpr int kProductThumbnailSide = 100;

// A product number that can name a file in the product folders: not empty,
// no path separator, no control character, not "." or "..".
bool IsSafeProductNumber(const std::string& number);

// One picture to add. An empty number becomes PartsID-r-k; an empty name
// is the file name up to its first ".".
struct ProductSource {
    std::filesystem::path file;
    std::string name;
    std::string number;
    std::string specs;
    double price = 0;
    int piecesPerBox = 0;  // 0: unknown
    std::optional<PriceUnit> unit;  // none: the sub-category's (ReadCategoryUnit)
    int patternRepeat = 0;          // mm; 0: none
};

// What the window's combo boxes (or the command line) give every new row.
struct NewProductFields {
    int64_t SalesID = 0;
    int64_t MatTypeID = 0;
};

struct AddedProduct {
    std::filesystem::path file;
    ProductRow row;
};
struct FailedProduct {
    std::filesystem::path file;
    std::string reason;
};
struct AddProductsReport {
    std::vector<AddedProduct> added;
    std::vector<FailedProduct> failed;
};

// Called after each source, in order: its position and whether it was
// added (the report so far holds its row or its reason).
using AddProgress = std::function<void(size_t index, size_t count, const AddProductsReport& soFar)>;

// Checks the target: a sub-category of material products.
Status CheckMaterialSubCategory(Db& dm, int64_t psTypeID);
// Every file must end in ".jpg" (any case); else kMsgJpegOnly.
Status CheckJpegFiles(const std::vector<std::filesystem::path>& files);

// The name a picture gives a product: its file name up to the first ".".
std::string ProductNameOfFile(const std::filesystem::path& file);

// Adds every source as a product of the sub-category: the picture is
// copied to product/jpg and product/maps as number + ".jpg", and a
// 100 x 100 thumbnail goes to product/xjpg. One new identifier is taken
// for the whole run and counted up per added product; `random` is the
// middle of the generated numbers. A source that fails (unreadable, not a
// JPEG, a damaged JPEG (kMsgPictureDamaged + its file name: one that ends
// early or whose data is corrupt), a copy that cannot be written, a row
// that cannot be inserted) is
// reported and leaves no files; the others go on. A number that a product
// of the database or an earlier source of the run already has is refused
// (kMsgNumberTaken), as its picture files are the other product's. The error is for a run
// that could not start.
// The random middle part (0 to 9999) that a batch of new numbers shares.
int RandomNumberMiddle();

Result<AddProductsReport> AddProducts(Db& dm, int64_t psTypeID, const std::vector<ProductSource>& sources,
                                      const NewProductFields& fields, int random, const AddProgress& progress = {});

// "n 个产品添加完毕！" and the files that failed, one a line ("file：reason",
// or "图片文件已损坏：file" for a damaged picture); when none was added, only
// the failed files.
std::string AddedMessage(const AddProductsReport& report);
// One failed file's line of that message.
std::string FailedProductLine(const FailedProduct& failed);

// The window's corrected details of one product, found by its PartsID. The
// number is the file key and does not change. false when no row has that
// identifier.
struct ProductCorrection {
    std::string PartsName;
    std::string PartsSpecs;
    double PartsPrice = 0;
    int64_t SalesID = 0;
    int64_t MatTypeID = 0;
    int PartsPerBox = 0;  // 0: unknown; below 0 is refused
    PriceUnit PartsUnit = PriceUnit::Piece;
    std::optional<int> PatternRepeat;  // none: kept as it is; outside 0..kMaxPatternRepeatMm is refused
};
Result<bool> UpdateProduct(Db& dm, int64_t partsID, const ProductCorrection& correction);

// Deletes the rows; the picture files of a number go only when no other row
// still uses it: product/jpg, product/xjpg and product/maps number + ".jpg"
// and the files of product/models named number + one extension. Map
// (.h2d) and model (.c2d) files stay. Returns the numbers whose files went.
Result<std::vector<std::string>> DeleteProducts(Db& dm, const std::vector<int64_t>& partsIDs);

// Moves the products into the sub-category; a main category is refused.
Status MoveProducts(Db& dm, const std::vector<int64_t>& partsIDs, int64_t psTypeID, bool targetIsMainCategory);

}  // namespace v2d
