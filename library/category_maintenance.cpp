#include "library/category_maintenance.h"

#include "library/internal/read_rows.h"

namespace v2d {

namespace {

Result<bool> AnyRow(Db& dm, const std::string& sql, int64_t id) {
    Result<std::vector<int64_t>> rows =
        ReadRows<int64_t>(dm, sql + " limit 1", {SqlInt(id)}, [](const SqlStatement& s) { return s.columnInt(0); });
    if (!rows) return Error{rows.error()};
    return !rows->empty();
}

// Table, key and name column of a node's kind; fixed texts, never input.
struct CategoryTable {
    const char* table;
    const char* key;
    const char* name;
};
CategoryTable TableOf(CategoryRef node) {
    return node.isMainCategory ? CategoryTable{"TablePartsMasterType", "PMTypeID", "PMTypeName"}
                               : CategoryTable{"TablePartsSubType", "PSTypeID", "PSTypeName"};
}

}  // namespace

Result<MainCategory> AddMainCategory(Db& dm) {
    Result<int64_t> id = dm.GetNewID("TablePartsMasterType", "PMTypeID");
    if (!id) return Error{id.error()};
    MainCategory made{*id, kNewMainCategoryName, "1"};
    if (Status s = dm.connection().execute("insert into TablePartsMasterType(PMTypeID,PMTypeName,PMTypeMemo) "
                                           "values(?,?,?)",
                                           {SqlInt(made.PMTypeID), SqlText(made.PMTypeName), SqlText(made.PMTypeMemo)});
        !s)
        return Error{s.error()};
    return made;
}

Status DeleteMainCategory(Db& dm, CategoryRef node) {
    if (!node.isMainCategory) return Error{kMsgChooseMainCategoryNode};
    Result<bool> used = AnyRow(dm, "select PSTypeID from TablePartsSubType where PMTypeID=?", node.id);
    if (!used) return Error{used.error()};
    if (*used) return Error{kMsgMainCategoryHasSubCategories};
    return dm.connection().execute("delete from TablePartsMasterType where PMTypeID=?", {SqlInt(node.id)});
}

Result<SubCategory> AddSubCategory(Db& dm, CategoryRef node) {
    SubCategory made;
    made.PSTypeName = kNewSubCategoryName;
    made.PartsSubType = static_cast<int>(ProductKind::Material);
    if (node.isMainCategory) {
        made.PMTypeID = node.id;
        made.ParentID = -1;
    } else {
        Result<std::vector<int64_t>> main = ReadRows<int64_t>(
            dm, "select PMTypeID from TablePartsSubType where PSTypeID=?", {SqlInt(node.id)},
            [](const SqlStatement& s) { return s.columnInt(0); });
        if (!main) return Error{main.error()};
        if (main->empty()) return Error{kMsgChooseNode};
        made.PMTypeID = main->front();
        made.ParentID = node.id;
    }
    Result<int64_t> id = dm.GetNewID("TablePartsSubType", "PSTypeID");
    if (!id) return Error{id.error()};
    made.PSTypeID = *id;
    SqlTransaction transaction(dm.connection());
    if (Status s = dm.connection().execute(
            "insert into TablePartsSubType(PSTypeID,PSTypeName,PSTypeMemo,PartsSubType,ParentID,PMTypeID) "
            "values(?,?,'',?,?,?)",
            {SqlInt(made.PSTypeID), SqlText(made.PSTypeName), SqlInt(made.PartsSubType), SqlInt(made.ParentID),
             SqlInt(made.PMTypeID)});
        !s)
        return Error{s.error()};
    // A nested sub-category prices its products as its parent does.
    if (Status s = dm.connection().execute("insert or replace into TableSubTypeUnit(PSTypeID,PartsUnit) "
                                           "select ?,PartsUnit from TableSubTypeUnit where PSTypeID=?",
                                           {SqlInt(made.PSTypeID), SqlInt(made.ParentID)});
        !s)
        return Error{s.error()};
    if (Status committed = transaction.commit(); !committed) return Error{committed.error()};
    return made;
}

Status DeleteSubCategory(Db& dm, CategoryRef node) {
    if (node.isMainCategory) return Error{kMsgChooseSubCategoryNode};
    Result<bool> children = AnyRow(dm, "select PSTypeID from TablePartsSubType where ParentID=?", node.id);
    if (!children) return Error{children.error()};
    if (*children) return Error{kMsgSubCategoryHasChildren};
    Result<bool> products = AnyRow(dm, "select PartsID from TableParts where PSTypeID=?", node.id);
    if (!products) return Error{products.error()};
    if (*products) return Error{kMsgSubCategoryHasProducts};
    SqlTransaction transaction(dm.connection());
    if (Status s = dm.connection().execute("delete from TablePartsSubType where PSTypeID=?", {SqlInt(node.id)}); !s)
        return s;
    // Its unit goes with it: a later sub-category may be given its number.
    if (Status s = dm.connection().execute("delete from TableSubTypeUnit where PSTypeID=?", {SqlInt(node.id)}); !s)
        return s;
    return transaction.commit();
}

Result<std::string> StoredCategoryName(Db& dm, CategoryRef node) {
    const CategoryTable t = TableOf(node);
    Result<std::vector<std::string>> names =
        ReadRows<std::string>(dm, std::string("select ") + t.name + " from " + t.table + " where " + t.key + "=?",
                              {SqlInt(node.id)}, [](const SqlStatement& s) { return s.columnText(0); });
    if (!names) return Error{names.error()};
    return names->empty() ? std::string() : names->front();
}

Status RenameCategory(Db& dm, CategoryRef node, const std::string& name) {
    if (name.empty()) return Error{kMsgCategoryNameEmpty};
    const CategoryTable t = TableOf(node);
    return dm.connection().execute(std::string("update ") + t.table + " set " + t.name + "=? where " + t.key + "=?",
                                   {SqlText(name), SqlInt(node.id)});
}

}  // namespace v2d
