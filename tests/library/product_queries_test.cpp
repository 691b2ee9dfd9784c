#include <gtest/gtest.h>

#include "library/product_queries.h"
#include "library/pub_functions.h"
#include "library/super_login.h"
#include "library/user_queries.h"
#include "tests/library/temp_workspace.h"

namespace v2d {
namespace {

using test::TempWorkspace;

class ProductQueries : public ::testing::Test {
protected:
    void SetUp() override {
        dm = ws.OpenModule();
        ASSERT_NE(dm, nullptr);
        const SqlDatabase& db = dm->connection();
        ASSERT_TRUE(db.executeScript(R"SQL(
insert into TablePartsMasterType values(1,'瓷砖','02'),(2,'家具','03'),(3,'石材','01'),(4,'空大类','04');
insert into TablePartsSubType values(10,'地砖','',2,-1,1),(11,'抛光砖','',2,10,1),(12,'沙发','sofa',1,-1,2),
  (13,'大理石','',2,-1,3),(14,'孤儿','',2,999,1),(15,'仿古砖','',2,11,1),(16,'晚到','',2,17,1),(17,'墙砖','',2,-1,1);
insert into TableSales values(1,'东鹏'),(2,'马可');
insert into TableMatType values(1,'抛光',40),(2,'亚光',10);
)SQL").ok());
        auto add = [&](int64_t id, int64_t type, const char* number, int64_t sales = 1) {
            ProductRow r;
            r.PartsID = id;
            r.PSTypeID = type;
            r.PartsNumber = number;
            r.PartsName = std::string("产品") + number;
            r.PartsSpecs = "800*800";
            r.SalesID = sales;
            r.MatTypeID = 1;
            r.PartsPrice = 12.5;
            ASSERT_TRUE(InsertProduct(*dm, r).ok());
        };
        add(1, 11, "P-1");
        add(2, 11, "P-2", 2);
        add(3, 12, "S-1");  // a model, newer than the first materials
        add(4, 13, "M-1");
        add(5, 12, "S-2");
    }
    TempWorkspace ws;
    std::unique_ptr<TDataModule_Manager> dm;
};

TEST_F(ProductQueries, NewestMaterialIsTheLargestMaterialID) {
    auto p = ReadNewestMaterialProduct(*dm);
    ASSERT_TRUE(p.ok()) << p.error();
    ASSERT_TRUE(p->has_value());
    EXPECT_EQ((*p)->PartsID, 4);
    EXPECT_EQ((*p)->SalesName, "东鹏");
    EXPECT_EQ((*p)->PartsSpecs, "800*800");
    // Without materials there is no row.
    ASSERT_TRUE(dm->ExecSql("delete from TableParts where PSTypeID<>12").ok());
    EXPECT_FALSE(ReadNewestMaterialProduct(*dm)->has_value());
}


// The tree as text: name[children ...].
std::string Shape(const std::vector<CategoryNode>& nodes) {
    std::string text;
    for (const CategoryNode& n : nodes)
        text += (text.empty() ? "" : " ") + n.name + (n.children.empty() ? "" : "[" + Shape(n.children) + "]");
    return text;
}

// Sorted by PMTypeMemo; a main category without sub-categories of the kind
// is left out unless all are shown; 孤儿 has no parent; 晚到 (read before its
// parent 墙砖 is in the tree) joins in the second pass; a ParentID that is
// only a main category's number is no parent.
TEST_F(ProductQueries, CategoryTreeIsSortedNestedAndDropsOrphans) {
    ASSERT_TRUE(dm->ExecSql("insert into TablePartsSubType values(20,'错挂','',1,2,2)").ok());
    auto tree = BuildCategoryTree(*dm, CategoryFilter::Materials);
    ASSERT_TRUE(tree.ok()) << tree.error();
    EXPECT_EQ(Shape(*tree), "石材[大理石] 瓷砖[地砖[抛光砖[仿古砖]] 墙砖[晚到]]");
    const CategoryNode* leaf = FirstLeaf(*tree);
    ASSERT_NE(leaf, nullptr);
    EXPECT_EQ(leaf->name, "大理石");
    EXPECT_EQ(Shape(*BuildCategoryTree(*dm, CategoryFilter::Models)), "家具[沙发]");
    EXPECT_EQ(Shape(*BuildCategoryTree(*dm, CategoryFilter::All)),
              "石材[大理石] 瓷砖[地砖[抛光砖[仿古砖]] 墙砖[晚到]] 家具[沙发] 空大类");
}

// A main category whose number is also a sub-category's: nested rows go
// under the sub-category. A chain of three read child first settles over
// several passes.
TEST_F(ProductQueries, CategoryTreeTellsClashingNumbersApartAndWaitsForLateParents) {
    ASSERT_TRUE(dm->connection().executeScript(R"SQL(
insert into TablePartsMasterType values(11,'冲突','05');
insert into TablePartsSubType values(30,'甲','',2,31,11),(31,'乙','',2,32,11),(32,'丙','',2,11,11);
)SQL").ok());
    auto tree = BuildCategoryTree(*dm, CategoryFilter::Materials);
    ASSERT_TRUE(tree.ok()) << tree.error();
    EXPECT_EQ(Shape(*tree), "石材[大理石] 瓷砖[地砖[抛光砖[仿古砖 丙[乙[甲]]]] 墙砖[晚到]] 冲突");
}

// 3,001 nested sub-categories stored child before parent form one chain
// under 地砖; a cycle and a row that is its own parent hang nowhere.
TEST_F(ProductQueries, CategoryTreeBuildsLongReversedChainsAndDropsCycles) {
    ASSERT_TRUE(dm->connection().executeScript(R"SQL(
with recursive n(i) as (select 0 union all select i+1 from n where i<3000)
insert into TablePartsSubType select 1000+i,'链','',2,case when i<3000 then 1001+i else 10 end,1 from n;
insert into TablePartsSubType values(900,'环','',2,901,1),(901,'环','',2,900,1),(902,'环','',2,902,1);
)SQL").ok());
    const Result<std::vector<CategoryNode>> tree = BuildCategoryTree(*dm, CategoryFilter::Materials);
    const CategoryNode* node = &(*tree)[1].children[0];  // 地砖
    for (int64_t id = 4000; id >= 1000; --id) {
        ASSERT_EQ(node->children.back().id, id);
        node = &node->children.back();
    }
    EXPECT_TRUE(node->children.empty());
    EXPECT_EQ(Shape(*tree).find("环"), std::string::npos);
}

// Lists newest first, numbers looked up without case, details, the
// browser's choice and all products of a kind.
TEST_F(ProductQueries, ListsDetailsChoicesAndKinds) {
    auto list = ReadProductList(*dm, 11);
    ASSERT_TRUE(list.ok());
    ASSERT_EQ(list->size(), 2u);
    EXPECT_EQ((*list)[0].PartsNumber, "P-2");
    EXPECT_EQ((*list)[1].PartsNumber, "P-1");
    EXPECT_TRUE(ReadProductList(*dm, 17)->empty());
    EXPECT_EQ(**ReadSubCategoryKind(*dm, 12), 1);
    EXPECT_FALSE(ReadSubCategoryKind(*dm, 77)->has_value());
    auto found = FindProductByNumber(*dm, "p-2");
    ASSERT_TRUE(found.ok() && found->has_value());
    EXPECT_EQ((*found)->PartsNumber, "P-2");

    auto d = ReadProductDetails(*dm, 2);
    ASSERT_TRUE(d.ok());
    ASSERT_TRUE(d->has_value());
    EXPECT_EQ((*d)->SalesName, "马可");
    EXPECT_EQ((*d)->PartsSubType, 2);
    EXPECT_DOUBLE_EQ((*d)->PartsPrice, 12.5);
    auto c = ReadProductChoice(*dm, "P-2");
    ASSERT_TRUE(c->has_value());
    EXPECT_EQ((*c)->FanSheXiShu, "40");
    auto m = ReadProductChoice(*dm, "S-1");
    EXPECT_EQ((*m)->PSTypeMemo, "sofa");
    EXPECT_FALSE(ReadProductChoice(*dm, "x' or '1'='1")->has_value());

    auto materials = ReadAllProducts(*dm, ProductKind::Material);
    ASSERT_EQ(materials->size(), 3u);
    auto models = ReadAllProducts(*dm, ProductKind::Model);
    ASSERT_EQ(models->size(), 2u);
    EXPECT_EQ((*models)[0].PSTypeName, "沙发");
    EXPECT_EQ(ReadAllProducts(*dm, std::nullopt)->size(), 5u);
}

// Pages of a category with all below it, or of a search: words in names,
// numbers and brands with % and _ taken as typed, sizes as the program
// reads PartsSpecs, prices inclusive; newest first, page after page.
TEST_F(ProductQueries, PagesOfCategoriesAndSearches) {
    auto add = [&](int64_t id, int64_t type, const char* number, const char* name, const char* specs, double price,
                   int64_t sales) {
        ProductRow r;
        r.PartsID = id, r.PSTypeID = type, r.PartsNumber = number, r.PartsName = name, r.PartsSpecs = specs;
        r.PartsPrice = price, r.SalesID = sales;
        ASSERT_TRUE(InsertProduct(*dm, r).ok());
    };
    add(6, 15, "A%_1", "仿古 50%", "600*600*10", 30, 2);
    add(7, 16, "W_2", "墙砖白", "300*600", 80, 1);
    add(8, 14, "O-1", "孤儿砖", "", 5, 1);
    add(9, 10, "D-1", "地砖50", "abc*600", 100, 1);
    constexpr auto M = CategoryFilter::Materials;
    auto in = [](CategoryFilter kind, std::optional<int64_t> category = {}, bool main = false) {
        ProductScope scope;
        scope.kind = kind, scope.category = category, scope.mainCategory = main;
        return scope;
    };
    auto find = [](std::string text, std::optional<ProductSize> size = {}, std::optional<double> min = {},
                   std::optional<double> max = {}) {
        ProductFilter filter;
        filter.text = std::move(text), filter.size = size, filter.minPrice = min, filter.maxPrice = max;
        return filter;
    };
    const struct {
        ProductScope scope;
        ProductFilter filter;
        std::vector<int64_t> ids;
    } cases[] = {
        {in(M, 1, true), find(""), {9, 7, 6, 2, 1}},  // 瓷砖: all below, not the orphan
        {in(M, 10), find(""), {9, 6, 2, 1}},          // 地砖 itself and below
        {in(M, 17), find(""), {7}},                   // 墙砖 and 晚到, read before it
        {in(CategoryFilter::Models, 1, true), find(""), {}},
        {in(CategoryFilter::All, 2, true), find(""), {5, 3}},
        {in(M), find(""), {9, 8, 7, 6, 4, 2, 1}},
        {in(M), find("马可"), {6, 2}},  // the brand
        {in(M), find("p-1"), {1}},      // the number, without case
        {in(M), find("砖"), {9, 8, 7}},  // the name
        {in(M), find("%"), {6}},
        {in(M), find("_"), {7, 6}},
        {in(M), find("50%"), {6}},
        {in(M), find("\\"), {}},
        {in(M), find("产品　马可"), {2}},  // every word somewhere
        {in(CategoryFilter::All), find("S-"), {5, 3}},
        {in(M), find("", ProductSize{600, 600}), {9, 8, 6}},  // 600*600*10, the default, abc*600
        {in(M, 1, true), find("", ProductSize{800, 800}), {2, 1}},
        {in(M), find("", {}, 30, 80), {7, 6}},
        {in(M), find("", {}, {}, 12.5), {8, 4, 2, 1}},
    };
    for (const auto& c : cases) {
        Result<ProductPage> page = ReadProductPage(*dm, c.scope, c.filter);
        ASSERT_TRUE(page.ok()) << page.error();
        std::vector<int64_t> ids;
        for (const ProductRow& r : page->rows) ids.push_back(r.PartsID);
        EXPECT_EQ(ids, c.ids) << c.filter.text << " in " << c.scope.category.value_or(0);
        EXPECT_FALSE(page->more);
    }
    // Two at a time down to the oldest; the rows carry brand and kind.
    std::vector<std::vector<int64_t>> pages;
    for (int64_t before = 0;;) {
        Result<ProductPage> page = ReadProductPage(*dm, in(M), find(""), before, 2);
        pages.push_back({});
        for (const ProductRow& r : page->rows) pages.back().push_back(r.PartsID);
        if (!page->more) break;
        before = page->rows.back().PartsID;
    }
    EXPECT_EQ(pages, (std::vector<std::vector<int64_t>>{{9, 8}, {7, 6}, {4, 2}, {1}}));
    const ProductRow six = ReadProductPage(*dm, in(M), find("A%"))->rows.at(0);
    EXPECT_EQ(six.SalesName + six.PSTypeName + std::to_string(six.PartsSubType), "马可仿古砖2");

    std::string sizes;
    const Result<std::vector<ProductSize>> materialSizes = ReadProductSizes(*dm, M);
    for (const ProductSize& s : *materialSizes)
        sizes += std::to_string(s.width) + "x" + std::to_string(s.height) + " ";
    EXPECT_EQ(sizes, "300x600 600x600 800x800 ");
    EXPECT_EQ(ReadProductSizes(*dm, CategoryFilter::Models)->size(), 1u);
}

// The login rule: "SuperUser" is "superuser"; users by name and password;
// rights only for powers -999 and 0; the first administrator login must
// choose a non-empty password before it grants anything.
TEST(UserQueries, LoginGrantsRightsOnlyAsStored) {
    TempWorkspace ws;
    auto dm = ws.OpenModule();
    ASSERT_TRUE(dm->ExecSql("insert into TableUser values(?,?,?,?),(?,?,?,?)",
                            {SqlInt(1), SqlText("designer"), SqlText("1234"), SqlText("0"), SqlInt(2),
                             SqlText("sales"), SqlText("x"), SqlText("1")}).ok());
    CurrentUser user;
    EXPECT_EQ(*TryLogin(*dm, "SuperUser", "admin", user), LoginOutcome::Refused);
    EXPECT_EQ(*TryLogin(*dm, "superuser", "", user), LoginOutcome::ChooseAdministratorPassword);
    EXPECT_FALSE(HasMaintenanceRights(user));
    EXPECT_FALSE(ReadSuperUserPassword(*dm)->has_value());
    EXPECT_FALSE(ChooseAdministratorPassword(*dm, "", user).ok());
    ASSERT_TRUE(ChooseAdministratorPassword(*dm, "s3'cret", user).ok());
    EXPECT_EQ(user.UserPower, "-999");
    EXPECT_EQ(user.CurrentUserID, -999);
    EXPECT_FALSE(ChooseAdministratorPassword(*dm, "other", user).ok());  // only the first time
    CurrentUser next;
    EXPECT_EQ(*TryLogin(*dm, "SUPERUSER", "", next), LoginOutcome::Refused);
    EXPECT_EQ(*TryLogin(*dm, "SuperUser", "s3'cret", next), LoginOutcome::Granted);

    CurrentUser designer, sales;
    EXPECT_EQ(*TryLogin(*dm, "Designer", "1234", designer), LoginOutcome::Granted);
    EXPECT_TRUE(HasMaintenanceRights(designer));
    EXPECT_EQ(designer.CurrentUserID, 1);
    EXPECT_EQ(*TryLogin(*dm, "sales", "x", sales), LoginOutcome::Granted);
    EXPECT_FALSE(HasMaintenanceRights(sales));
    EXPECT_EQ(*TryLogin(*dm, "designer", "' or '1'='1", sales), LoginOutcome::Refused);
    EXPECT_EQ(*TryLogin(*dm, "", "", sales), LoginOutcome::Refused);
    auto found = FindUser(*dm, "Designer");
    ASSERT_TRUE(found->has_value());
    EXPECT_EQ((*found)->UserPower, "0");
    EXPECT_FALSE(FindUser(*dm, "' or 1=1 --")->has_value());
    EXPECT_EQ(**ReadSuperUserPassword(*dm), "s3'cret");  // a quote is a character like any other
}

TEST(TemplateQueries, FiltersAndOrder) {
    TempWorkspace ws;
    auto dm = ws.OpenModule();
    ASSERT_EQ(*InsertTemplate(*dm, "a", 1, 1), 1);
    ASSERT_EQ(*InsertTemplate(*dm, "b", 2, 1), 2);
    ASSERT_EQ(*InsertTemplate(*dm, "c", 1, 3), 3);
    auto all = *ReadTemplates(*dm, std::nullopt, std::nullopt);
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].SampleName, "c");
    auto room1 = *ReadTemplates(*dm, std::nullopt, int64_t{1});
    ASSERT_EQ(room1.size(), 2u);
    EXPECT_TRUE(ReadTemplates(*dm, int64_t{3}, int64_t{2})->empty());
    // Numbers of deleted templates are not given again.
    ASSERT_TRUE(DeleteTemplate(*dm, 3).ok());
    EXPECT_EQ(*InsertTemplate(*dm, "d", 1, 1), 4);
}

}  // namespace
}  // namespace v2d
