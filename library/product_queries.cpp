#include "library/product_queries.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <unordered_map>
#include <unordered_set>

#include "library/internal/read_rows.h"

namespace v2d {

namespace {

constexpr int kPartsColumnCount = 14;

// "select " and the product columns in ReadPartsColumns' order; an older
// file opened read-only gives the packing's defaults.
std::string SelectParts(const Db& dm) {
    return std::string("select P.PartsID,P.PartsName,P.PartsNumber,P.PartsSpecs,P.PartsPrice,P.SalesID,P.MatTypeID,"
                       "P.PSTypeID,P.CUintID,P.CompID,P.StyleID,") +
           (dm.hasPartsPacking() ? "P.PartsPerBox,P.PartsUnit" : "0,'piece'") +
           (dm.hasPatternRepeat() ? ",P.PatternRepeat" : ",0");
}

ProductRow ReadPartsColumns(const SqlStatement& s) {
    ProductRow r;
    r.PartsID = s.columnInt(0);
    r.PartsName = s.columnText(1);
    r.PartsNumber = s.columnText(2);
    r.PartsSpecs = s.columnText(3);
    r.PartsPrice = s.columnDouble(4);
    r.SalesID = s.columnInt(5);
    r.MatTypeID = s.columnInt(6);
    r.PSTypeID = s.columnInt(7);
    r.CUintID = s.columnInt(8);
    r.CompID = s.columnInt(9);
    r.StyleID = s.columnInt(10);
    r.PartsPerBox = static_cast<int>(std::clamp<int64_t>(s.columnInt(11), 0, std::numeric_limits<int>::max()));
    r.PartsUnit = ParsePriceUnit(s.columnText(12)).value_or(PriceUnit::Piece);
    r.PatternRepeat = static_cast<int>(std::clamp<int64_t>(s.columnInt(13), 0, kMaxPatternRepeatMm));
    return r;
}

template <class T>
Result<std::optional<T>> FirstOf(Result<std::vector<T>> rows) {
    if (!rows) return Error{rows.error()};
    if (rows->empty()) return std::optional<T>();
    return std::optional<T>(std::move(rows->front()));
}

std::string KindCondition(CategoryFilter filter) {
    switch (filter) {
        case CategoryFilter::Models: return " and PartsSubType=1";
        case CategoryFilter::Materials: return " and PartsSubType=2";
        default: return "";
    }
}

SubCategory ReadSubCategoryRow(const SqlStatement& s) {
    return {s.columnInt(0), s.columnText(1), s.columnText(2),
            static_cast<int>(s.columnInt(3)), s.columnInt(4), s.columnInt(5)};
}

}  // namespace

Result<std::optional<ProductRow>> ReadNewestMaterialProduct(Db& dm) {
    // The cross join and the unary plus (no index on PSTypeID) keep the
    // products outermost, walked from the largest PartsID down, so the
    // first material found ends the search instead of sorting them all.
    return FirstOf(ReadRows<ProductRow>(
        dm,
        SelectParts(dm) +
            ",S.SalesName from TableParts P cross join TableSales S where S.SalesID=P.SalesID and "
            "+P.PSTypeID in (select PSTypeID from TablePartsSubType where PartsSubType=2) "
            "order by P.PartsID DESC limit 1",
        {}, [](const SqlStatement& s) {
            ProductRow r = ReadPartsColumns(s);
            r.SalesName = s.columnText(kPartsColumnCount);
            r.PartsSubType = 2;
            return r;
        }));
}

Result<std::vector<MainCategory>> ReadMainCategories(Db& dm, CategoryFilter filter) {
    std::string sql = "select PMTypeID,PMTypeName,PMTypeMemo from TablePartsMasterType";
    if (filter != CategoryFilter::All)
        sql += " where PMTypeID>0 and PMTypeID in (select PMTypeID from TablePartsSubType "
               "where PartsSubType=" +
               std::to_string(static_cast<int>(filter)) + ")";
    sql += " order by PMTypeMemo";
    return ReadRows<MainCategory>(dm, sql, {}, [](const SqlStatement& s) {
        return MainCategory{s.columnInt(0), s.columnText(1), s.columnText(2)};
    });
}

Result<std::vector<SubCategory>> ReadSubCategories(Db& dm, CategoryFilter filter, bool nested) {
    std::string sql =
        "select PSTypeID,PSTypeName,PSTypeMemo,PartsSubType,ParentID,PMTypeID from "
        "TablePartsSubType";
    sql += nested ? " where ParentID> -1" : " where ParentID<0";
    sql += KindCondition(filter);
    return ReadRows<SubCategory>(dm, sql, {}, ReadSubCategoryRow);
}

Result<std::vector<CategoryNode>> BuildCategoryTree(Db& dm, CategoryFilter filter) {
    Result<std::vector<MainCategory>> mains = ReadMainCategories(dm, filter);
    if (!mains) return Error{mains.error()};
    std::vector<CategoryNode> tree;
    for (const MainCategory& m : *mains) tree.push_back({true, m.PMTypeID, m.PMTypeName, -1, {}});

    Result<std::vector<SubCategory>> first = ReadSubCategories(dm, filter, false);
    if (!first) return Error{first.error()};
    for (const SubCategory& s : *first) {
        auto root = std::find_if(tree.begin(), tree.end(),
                                 [&](const CategoryNode& n) { return n.id == s.PMTypeID; });
        if (root != tree.end())
            root->children.push_back({false, s.PSTypeID, s.PSTypeName, s.ParentID, {}});
    }

    Result<std::vector<SubCategory>> nested = ReadSubCategories(dm, filter, true);
    if (!nested) return Error{nested.error()};
    // One pass files the rows under their parents' identifiers; the tree
    // then grows from the first-level sub-categories down. Each identifier
    // is expanded once, so a cycle or a lost parent cannot hang this and
    // drops only the rows that no root reaches.
    std::unordered_map<int64_t, std::vector<const SubCategory*>> childrenOf;
    for (const SubCategory& s : *nested) childrenOf[s.ParentID].push_back(&s);
    std::unordered_set<int64_t> expanded;
    std::vector<CategoryNode*> open;
    for (auto root = tree.rbegin(); root != tree.rend(); ++root)
        for (auto n = root->children.rbegin(); n != root->children.rend(); ++n) open.push_back(&*n);
    while (!open.empty()) {
        CategoryNode* node = open.back();
        open.pop_back();
        auto children = childrenOf.find(node->id);
        if (children == childrenOf.end() || !expanded.insert(node->id).second) continue;
        // The node's children are complete before any is visited, so the
        // pointers into them stay valid.
        node->children.reserve(children->second.size());
        for (const SubCategory* s : children->second)
            node->children.push_back({false, s->PSTypeID, s->PSTypeName, s->ParentID, {}});
        for (auto n = node->children.rbegin(); n != node->children.rend(); ++n) open.push_back(&*n);
    }
    return tree;
}

const CategoryNode* FirstLeaf(const std::vector<CategoryNode>& tree) {
    for (const CategoryNode& n : tree) {
        if (n.children.empty()) return &n;
        if (const CategoryNode* leaf = FirstLeaf(n.children)) return leaf;
    }
    return nullptr;
}

Result<std::optional<int>> ReadSubCategoryKind(Db& dm, int64_t psTypeID) {
    return FirstOf(ReadRows<int>(
        dm, "select PartsSubType from TablePartsSubType where PSTypeID=?", {SqlInt(psTypeID)},
        [](const SqlStatement& s) { return static_cast<int>(s.columnInt(0)); }));
}

Result<PriceUnit> ReadCategoryUnit(Db& dm, int64_t psTypeID) {
    if (!dm.hasCategoryUnit()) return PriceUnit::Piece;
    Result<std::optional<std::string>> unit = FirstOf(ReadRows<std::string>(
        dm, "select PartsUnit from TableSubTypeUnit where PSTypeID=?", {SqlInt(psTypeID)},
        [](const SqlStatement& s) { return s.columnText(0); }));
    if (!unit) return Error{unit.error()};
    return ParsePriceUnit(unit->value_or("")).value_or(PriceUnit::Piece);
}

Result<std::vector<ProductRow>> ReadProductList(Db& dm, int64_t psTypeID) {
    return ReadRows<ProductRow>(
        dm,
        SelectParts(dm) +
            " from TableParts P where P.PSTypeID=? order by P.PartsID DESC",
        {SqlInt(psTypeID)}, ReadPartsColumns);
}

Result<std::optional<ProductRow>> ReadProductDetails(Db& dm, int64_t partsID) {
    return FirstOf(ReadRows<ProductRow>(
        dm,
        SelectParts(dm) +
            ",S.SalesName,B.PartsSubType,B.PSTypeName from TableParts P "
            "left join TableSales S on S.SalesID=P.SalesID "
            "left join TablePartsSubType B on B.PSTypeID=P.PSTypeID where P.PartsID=?",
        {SqlInt(partsID)}, [](const SqlStatement& s) {
            ProductRow r = ReadPartsColumns(s);
            r.SalesName = s.columnText(kPartsColumnCount);
            r.PartsSubType = static_cast<int>(s.columnInt(kPartsColumnCount + 1));
            r.PSTypeName = s.columnText(kPartsColumnCount + 2);
            return r;
        }));
}

Result<std::optional<ProductChoice>> ReadProductChoice(Db& dm, const std::string& partsNumber) {
    return FirstOf(ReadRows<ProductChoice>(
        dm,
        "select M.FanSheXiShu,S.PSTypeMemo from TableParts P "
        "left join TableMatType M on M.MatTypeID=P.MatTypeID "
        "left join TablePartsSubType S on S.PSTypeID=P.PSTypeID where P.PartsNumber=?",
        {SqlText(partsNumber)},
        [](const SqlStatement& s) { return ProductChoice{s.columnText(0), s.columnText(1)}; }));
}

Result<std::optional<ProductRow>> FindProductByNumber(Db& dm, const std::string& partsNumber) {
    return FirstOf(ReadRows<ProductRow>(
        dm, SelectParts(dm) + " from TableParts P where P.PartsNumber=?",
        {SqlText(partsNumber)}, ReadPartsColumns));
}

Result<std::vector<ProductRow>> ReadAllProducts(Db& dm, std::optional<ProductKind> kind) {
    std::string sql = SelectParts(dm) +
                      ",S.SalesName,B.PSTypeName,B.PartsSubType from TableParts P "
                      "left join TableSales S on S.SalesID=P.SalesID "
                      "left join TablePartsSubType B on B.PSTypeID=P.PSTypeID";
    std::vector<SqlValue> params;
    if (kind) {
        sql += " where B.PartsSubType=?";
        params.push_back(SqlInt(static_cast<int>(*kind)));
    }
    sql += " order by P.PartsID DESC";
    return ReadRows<ProductRow>(dm, sql, std::move(params), [](const SqlStatement& s) {
        ProductRow r = ReadPartsColumns(s);
        r.SalesName = s.columnText(kPartsColumnCount);
        r.PSTypeName = s.columnText(kPartsColumnCount + 1);
        r.PartsSubType = static_cast<int>(s.columnInt(kPartsColumnCount + 2));
        return r;
    });
}

Result<std::vector<NamedID>> ReadSales(Db& dm) {
    return ReadRows<NamedID>(dm, "select SalesID,SalesName from TableSales", {},
                             [](const SqlStatement& s) {
                                 return NamedID{s.columnInt(0), s.columnText(1)};
                             });
}

Result<std::vector<MatType>> ReadMatTypes(Db& dm) {
    return ReadRows<MatType>(dm, "select MatTypeID,MatTypeName,FanSheXiShu from TableMatType", {},
                             [](const SqlStatement& s) {
                                 return MatType{s.columnInt(0), s.columnText(1), s.columnInt(2)};
                             });
}

Result<std::vector<NamedID>> ReadStyles(Db& dm) {
    return ReadRows<NamedID>(dm, "select StyleID,StyleName from TableStyle", {},
                             [](const SqlStatement& s) {
                                 return NamedID{s.columnInt(0), s.columnText(1)};
                             });
}

Result<std::vector<NamedID>> ReadRoomTypes(Db& dm) {
    return ReadRows<NamedID>(dm, "select RTypeID,RTypeName from TableRoomType", {},
                             [](const SqlStatement& s) {
                                 return NamedID{s.columnInt(0), s.columnText(1)};
                             });
}

Status InsertProduct(Db& dm, const ProductRow& r) {
    return dm.connection().execute(
        "insert into TableParts(PartsID,PartsName,PartsNumber,PartsSpecs,PartsPrice,SalesID,"
        "MatTypeID,PSTypeID,CUintID,CompID,StyleID,PartsPerBox,PartsUnit,PatternRepeat) "
        "values(?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
        {SqlInt(r.PartsID), SqlText(r.PartsName), SqlText(r.PartsNumber), SqlText(r.PartsSpecs),
         SqlValue(r.PartsPrice), SqlInt(r.SalesID), SqlInt(r.MatTypeID), SqlInt(r.PSTypeID),
         SqlInt(r.CUintID), SqlInt(r.CompID), SqlInt(r.StyleID), SqlInt(r.PartsPerBox),
         SqlText(std::string(PriceUnitWord(r.PartsUnit))), SqlInt(r.PatternRepeat)});
}

}  // namespace v2d
