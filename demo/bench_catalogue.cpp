#include "demo/bench_catalogue.h"

#include <QColor>
#include <QPainter>

#include <algorithm>
#include <string>
#include <system_error>

#include "base/atomic_file.h"
#include "base/picture_codec.h"
#include "library/data_module.h"
#include "library/product_database_file.h"

namespace v2d::demo {

namespace fs = std::filesystem;

namespace {

// Main categories hold about 25 sub-categories each, five of them first-level.
struct Layout {
    int mains, firstLevel, subCategories;
    int MainOf(int s) const { return 1 + (s - 1) % mains; }
    // A nested sub-category hangs under an earlier one, every seventh under
    // the next one (read after it). Sub-category 1 stays a leaf.
    int64_t ParentOf(int s) const {
        if (s <= firstLevel) return -1;
        if (s % 7 == 0 && s < subCategories) return s + 1;
        const int parent = s - firstLevel;
        return parent == kBenchPicturedSubCategory ? 2 : parent;
    }
};

Status WriteCategories(const SqlDatabase& db, const Layout& layout) {
    for (int m = 1; m <= layout.mains; ++m) {
        char memo[8];
        std::snprintf(memo, sizeof memo, "%03d", m);
        if (Status s = db.execute("insert into TablePartsMasterType(PMTypeID,PMTypeName,PMTypeMemo) values(?,?,?)",
                                  {SqlInt(m), SqlText("大类" + std::to_string(m)), SqlText(memo)});
            !s)
            return s;
    }
    for (int s = 1; s <= layout.subCategories; ++s) {
        if (Status st = db.execute(
                "insert into TablePartsSubType(PSTypeID,PSTypeName,PSTypeMemo,PartsSubType,ParentID,PMTypeID) "
                "values(?,?,'',2,?,?)",
                {SqlInt(s), SqlText("次类" + std::to_string(s)), SqlInt(layout.ParentOf(s)),
                 SqlInt(layout.MainOf(s))});
            !st)
            return st;
    }
    return db.executeScript(
        "insert into TableSales(SalesID,SalesName) values(1,'华丽陶瓷'),(2,'金石瓷业'),(3,'森林木业');"
        "insert into TableMatType(MatTypeID,MatTypeName,FanSheXiShu) values(1,'抛光',45),(2,'亚光',15);");
}

// A small product picture: a tinted tile with a darker band, in one of
// three shapes so the thumbnails show how they are fitted.
QImage BenchPicture(int index, int longSide) {
    const QSize sizes[] = {{longSide, longSide}, {longSide, longSide * 3 / 5}, {longSide * 3 / 5, longSide}};
    QImage image(sizes[index % 3], QImage::Format_RGB32);
    const QColor base = QColor::fromHsv((index * 37) % 360, 90, 230);
    image.fill(base);
    QPainter p(&image);
    p.fillRect(0, image.height() / 3, image.width(), image.height() / 3, base.darker(140));
    p.setPen(base.darker(200));
    p.drawRect(0, 0, image.width() - 1, image.height() - 1);
    return image;
}

Status WritePicture(const fs::path& file, const QImage& image) {
    const std::optional<Bytes> jpeg = EncodeJpeg(image, 85);
    if (!jpeg || !WriteFileAtomically(file, *jpeg)) return Error{"写文件失败。" + file.string()};
    return Status::Ok();
}

Status WriteProducts(const SqlDatabase& db, const fs::path& folder, const Layout& layout, int products) {
    Result<SqlStatement> insert = db.prepare(
        "insert into TableParts(PartsID,PartsName,PartsNumber,PartsSpecs,PartsPrice,SalesID,MatTypeID,PSTypeID,"
        "CUintID,CompID,StyleID) values(?,?,?,?,?,?,?,?,0,0,1)");
    if (!insert) return Error{insert.error()};
    const int pictured = std::min(products, kBenchPicturedProducts);
    for (int id = 1; id <= products; ++id) {
        // The pictured sub-category takes the first products; the rest go
        // round the other sub-categories.
        const int64_t subCategory =
            id <= pictured || layout.subCategories == 1 ? kBenchPicturedSubCategory
                                                        : 2 + (id - pictured) % (layout.subCategories - 1);
        char number[16];
        std::snprintf(number, sizeof number, "B-%05d", id);
        insert->reset();
        if (Status s = insert->bindAll(std::vector<SqlValue>{
                SqlInt(id), SqlText("产品" + std::to_string(id)), SqlText(number), SqlText(id % 2 ? "600*600" : "800*400"),
                SqlValue(50.0 + id % 300), SqlInt(1 + id % 3), SqlInt(1 + id % 2), SqlInt(subCategory)});
            !s)
            return s;
        if (Status s = insert->run(); !s) return s;
        if (id > pictured) continue;
        if (Status s = WritePicture(folder / "product" / "xjpg" / (std::string(number) + ".jpg"), BenchPicture(id, 100)); !s)
            return s;
        if (Status s = WritePicture(folder / "product" / "jpg" / (std::string(number) + ".jpg"), BenchPicture(id, 240)); !s)
            return s;
    }
    return Status::Ok();
}

}  // namespace

Status WriteBenchCatalogue(const fs::path& folder, BenchCatalogueSize size) {
    if (size.products < 0 || size.subCategories < 1) return Error{"products >= 0 and sub-categories >= 1"};
    std::error_code ec;
    for (const char* sub : {"DB", "temp", "product/xjpg", "product/jpg", "product/maps", "product/c2d"}) {
        fs::create_directories(folder / sub, ec);
        if (ec) return Error{"cannot create " + (folder / sub).string() + ": " + ec.message()};
    }
    const int mains = std::max(1, size.subCategories / 25);
    const Layout layout{mains, std::min(size.subCategories, mains * 5), size.subCategories};
    return CreateProductDatabaseFile(folder / kProductDatabaseFile, [&](const SqlDatabase& db) -> Status {
        if (Status s = WriteCategories(db, layout); !s) return s;
        return WriteProducts(db, folder, layout, size.products);
    });
}

}  // namespace v2d::demo
