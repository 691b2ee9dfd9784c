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

// The product columns followed by S.SalesName, B.PSTypeName, B.PartsSubType.
ProductRow ReadJoinedRow(const SqlStatement& s) {
    ProductRow r = ReadPartsColumns(s);
    r.SalesName = s.columnText(kPartsColumnCount);
    r.PSTypeName = s.columnText(kPartsColumnCount + 1);
    r.PartsSubType = static_cast<int>(s.columnInt(kPartsColumnCount + 2));
    return r;
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
    return ReadRows<ProductRow>(dm, sql, std::move(params), ReadJoinedRow);
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

// --- Pages of products --------------------------------------------------------

namespace v2d {

namespace {

constexpr const char* kProductSizeFunction = "product_size";
// A word found in more brands than this is matched against the brands table
// product by product instead of as a list.
constexpr int kMaxBrandsListed = 20;
// Words of one search; with the brands listed they stay within the
// statement's bound values.
constexpr int kMaxSearchWords = 16;

std::string SizeText(ProductSize size) { return std::to_string(size.width) + "*" + std::to_string(size.height); }

void ProductSizeOf(sqlite3_context* context, int, sqlite3_value** values) {
    const unsigned char* text = sqlite3_value_text(values[0]);
    const int bytes = sqlite3_value_bytes(values[0]);
    const std::string size =
        SizeText(ParseProductSpecs(text == nullptr ? std::string_view() : std::string_view(reinterpret_cast<const char*>(text), size_t(bytes))));
    sqlite3_result_text(context, size.data(), static_cast<int>(size.size()), SQLITE_TRANSIENT);
}

// The words of a search text: split at blanks, the ideographic space too.
std::vector<std::string> SearchWords(std::string_view text) {
    std::string plain(text);
    for (size_t at; (at = plain.find("\u3000")) != std::string::npos;) plain.replace(at, 3, " ");
    std::vector<std::string> words;
    std::string word;
    for (char c : plain + ' ') {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            if (!word.empty()) words.push_back(std::move(word));
            word.clear();
        } else {
            word += c;
        }
    }
    return words;
}

// "with recursive Under(id)": the sub-categories of a node as the category
// tree grows them, of the scope's kind; a cycle ends with its last new row.
std::string UnderCategory(const ProductScope& scope, std::vector<SqlValue>& params) {
    const bool anyKind = scope.kind == CategoryFilter::All;
    const std::string kind = anyKind ? "" : " and PartsSubType=?";
    std::string sql = "with recursive Under(id) as (select PSTypeID from TablePartsSubType where ";
    sql += scope.mainCategory ? "ParentID<0 and PMTypeID=?" : "PSTypeID=?";
    params.push_back(SqlInt(*scope.category));
    sql += kind;
    if (!anyKind) params.push_back(SqlInt(static_cast<int>(scope.kind)));
    sql += " union select PSTypeID from TablePartsSubType,Under where ParentID>-1 and ParentID=Under.id" + kind + ") ";
    if (!anyKind) params.push_back(SqlInt(static_cast<int>(scope.kind)));
    return sql;
}

}  // namespace

std::string ContainsPattern(std::string_view text) {
    std::string pattern = "%";
    for (char c : text) {
        if (c == '\\' || c == '%' || c == '_') pattern += '\\';
        pattern += c;
    }
    return pattern + "%";
}

Status RegisterProductSizeFunction(const SqlDatabase& db) {
    const int rc = sqlite3_create_function_v2(db.handle(), kProductSizeFunction, 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                              nullptr, ProductSizeOf, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) return Error{std::string("数据库错误：") + sqlite3_errstr(rc)};
    return Status::Ok();
}

Result<ProductPage> ReadProductPage(Db& dm, const ProductScope& scope, const ProductFilter& filter,
                                    int64_t beforeID, int pageSize) {
    std::vector<SqlValue> params;
    std::string sql = scope.category ? UnderCategory(scope, params) : std::string();
    sql += SelectParts(dm) +
           ",S.SalesName,B.PSTypeName,B.PartsSubType from TableParts P "
           "left join TableSales S on S.SalesID=P.SalesID "
           "left join TablePartsSubType B on B.PSTypeID=P.PSTypeID where 1";
    if (scope.category) sql += " and P.PSTypeID in (select id from Under)";
    // A search reads the products down from the newest until its page is
    // full, so the cheap tests come first: the words, then the kind.
    const std::vector<std::string> words = SearchWords(filter.text);
    if (words.size() > size_t(kMaxSearchWords))
        return Error{"搜索的词太多：最多 " + std::to_string(kMaxSearchWords) + " 个。"};
    for (const std::string& word : words) {
        const std::string pattern = ContainsPattern(word);
        sql += " and (P.PartsName like ? escape '\\' or P.PartsNumber like ? escape '\\'";
        params.push_back(SqlText(pattern));
        params.push_back(SqlText(pattern));
        // The brands are few: looked up once, not once per product.
        Result<std::vector<int64_t>> brands = ReadRows<int64_t>(
            dm, "select SalesID from TableSales where SalesName like ? escape '\\' limit ?",
            {SqlText(pattern), SqlInt(kMaxBrandsListed + 1)}, [](const SqlStatement& s) { return s.columnInt(0); });
        if (!brands) return Error{brands.error()};
        if (brands->size() > size_t(kMaxBrandsListed)) {
            sql += " or P.SalesID in (select SalesID from TableSales where SalesName like ? escape '\\')";
            params.push_back(SqlText(pattern));
        } else if (!brands->empty()) {
            sql += " or P.SalesID in (?";
            for (size_t i = 1; i < brands->size(); ++i) sql += ",?";
            sql += ")";
            for (int64_t id : *brands) params.push_back(SqlInt(id));
        }
        sql += ")";
    }
    if (filter.size) {
        sql += std::string(" and ") + kProductSizeFunction + "(P.PartsSpecs)=?";
        params.push_back(SqlText(SizeText(*filter.size)));
    }
    if (filter.minPrice) {
        sql += " and P.PartsPrice>=?";
        params.push_back(SqlValue(*filter.minPrice));
    }
    if (filter.maxPrice) {
        sql += " and P.PartsPrice<=?";
        params.push_back(SqlValue(*filter.maxPrice));
    }
    if (!scope.category && scope.kind != CategoryFilter::All) {
        // The unary plus keeps the walk down the PartsID.
        sql += " and +P.PSTypeID in (select PSTypeID from TablePartsSubType where PartsSubType=?)";
        params.push_back(SqlInt(static_cast<int>(scope.kind)));
    }
    if (beforeID > 0) {
        sql += " and P.PartsID<?";
        params.push_back(SqlInt(beforeID));
    }
    sql += " order by P.PartsID DESC limit ?";
    pageSize = std::max(pageSize, 1);
    params.push_back(SqlInt(int64_t{pageSize} + 1));  // one more tells whether more follow
    Result<std::vector<ProductRow>> rows = ReadRows<ProductRow>(dm, sql, std::move(params), ReadJoinedRow);
    if (!rows) return Error{rows.error()};
    ProductPage page;
    page.more = rows->size() > size_t(pageSize);
    if (page.more) rows->pop_back();
    page.rows = std::move(*rows);
    return page;
}

Result<std::vector<ProductSize>> ReadProductSizes(Db& dm, CategoryFilter kind) {
    // Each size text once per sub-category, read from the index on both;
    // the kind is told by the sub-categories, far fewer than the products.
    struct SpecsIn {
        std::string specs;
        int64_t psTypeID;
    };
    Result<std::vector<SpecsIn>> rows = ReadRows<SpecsIn>(
        dm, "select PartsSpecs,PSTypeID from TableParts group by PartsSpecs,PSTypeID", {},
        [](const SqlStatement& s) { return SpecsIn{s.columnText(0), s.columnInt(1)}; });
    if (!rows) return Error{rows.error()};
    std::unordered_set<int64_t> ofKind;
    if (kind != CategoryFilter::All) {
        Result<std::vector<int64_t>> ids =
            ReadRows<int64_t>(dm, "select PSTypeID from TablePartsSubType where PartsSubType=?",
                              {SqlInt(static_cast<int>(kind))}, [](const SqlStatement& s) { return s.columnInt(0); });
        if (!ids) return Error{ids.error()};
        ofKind.insert(ids->begin(), ids->end());
    }
    std::vector<ProductSize> sizes;
    for (const SpecsIn& row : *rows)
        if (kind == CategoryFilter::All || ofKind.contains(row.psTypeID)) sizes.push_back(ParseProductSpecs(row.specs));
    const auto key = [](ProductSize s) { return std::pair(s.width, s.height); };
    std::sort(sizes.begin(), sizes.end(), [&](ProductSize a, ProductSize b) { return key(a) < key(b); });
    sizes.erase(std::unique(sizes.begin(), sizes.end(), [&](ProductSize a, ProductSize b) { return key(a) == key(b); }),
                sizes.end());
    return sizes;
}

}  // namespace v2d
