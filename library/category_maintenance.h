#pragma once
// Adding, renaming and deleting the product categories: main categories at
// the root of the tree, sub-categories below a main category or nested in
// another sub-category. The refusals ask the database, not the tree on the
// screen.
#include <cstdint>
#include <string>

#include "library/product_queries.h"

namespace v2d {

inline constexpr const char* kMsgNoCategoryRights = "对不起，你没有修改产品类别的权限!";
inline constexpr const char* kNewMainCategoryName = "新大类";
inline constexpr const char* kNewSubCategoryName = "新次类";
inline constexpr const char* kMsgChooseMainCategoryNode = "请选择大类节点。";
inline constexpr const char* kMsgMainCategoryHasSubCategories = "不能删除有次类的大类。";
inline constexpr const char* kMsgChooseNode = "请选择节点";
inline constexpr const char* kMsgChooseSubCategoryNode = "请选择次类节点。";
inline constexpr const char* kMsgSubCategoryHasChildren = "不能删除有下级节点的次类。";
inline constexpr const char* kMsgSubCategoryHasProducts = "不能删除有产品的次类。";
inline constexpr const char* kMsgCategoryNameEmpty = "名称不能为空。";

// A node of the tree as the window knows it.
struct CategoryRef {
    bool isMainCategory = false;
    int64_t id = 0;  // PMTypeID or PSTypeID
};

// "新大类" with the next PMTypeID and memo "1".
Result<MainCategory> AddMainCategory(Db& dm);
// Refused while any sub-category belongs to it.
Status DeleteMainCategory(Db& dm, CategoryRef node);
// "新次类" of material products under the node: under a main category at
// the first level (ParentID -1), under a sub-category nested in it with its
// main category.
Result<SubCategory> AddSubCategory(Db& dm, CategoryRef node);
// Refused while a sub-category is nested in it or a product is filed in it.
Status DeleteSubCategory(Db& dm, CategoryRef node);
// The stored name after renaming: an empty name is refused and the caller
// shows the stored one again.
Result<std::string> StoredCategoryName(Db& dm, CategoryRef node);
Status RenameCategory(Db& dm, CategoryRef node, const std::string& name);

}  // namespace v2d
