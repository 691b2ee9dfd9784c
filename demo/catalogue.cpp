// The demo product catalogue: categories of both kinds, dealers, surface
// materials and products, with pictures drawn by the program.
#include <QColor>

#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "demo/database.h"
#include "demo/model_files.h"
#include "demo/product_pictures.h"
#include "library/product_map.h"
#include "library/product_descriptor.h"
#include "library/pub_functions.h"
#include "base/atomic_file.h"

namespace v2d::demo {

namespace {

namespace pic = pictures;
namespace fs = std::filesystem;

constexpr const char* kCategoryScript = R"SQL(
insert into TablePartsMasterType(PMTypeID,PMTypeName,PMTypeMemo) values
  (1,'瓷砖','01'),(2,'木地板','02'),(3,'墙纸','03'),(4,'石材','04'),(5,'布艺','05'),
  (6,'家具','06'),(7,'门窗','07'),(8,'软装饰','08');
insert into TablePartsSubType(PSTypeID,PSTypeName,PSTypeMemo,PartsSubType,ParentID,PMTypeID) values
  (101,'地砖','',2,-1,1),(102,'抛光砖','',2,101,1),(103,'仿古砖','',2,101,1),(104,'墙砖','',2,-1,1),
  (201,'实木地板','',2,-1,2),(202,'复合地板','',2,-1,2),
  (301,'欧式墙纸','',2,-1,3),(302,'条纹墙纸','',2,-1,3),(303,'田园墙纸','',2,-1,3),
  (401,'大理石','',2,-1,4),(402,'花岗岩','',2,-1,4),
  (501,'窗帘布','',2,-1,5),(502,'沙发布','',2,-1,5),
  (601,'沙发','沙发',1,-1,6),(603,'衣柜','衣柜',1,-1,6),
  (701,'门','门',1,-1,7),(702,'窗帘','窗帘',1,-1,7),
  (801,'装饰画','装饰画',1,-1,8),(802,'地毯','地毯',1,-1,8);
insert into TableSubTypeUnit(PSTypeID,PartsUnit) values
  (101,'m2'),(102,'m2'),(103,'m2'),(104,'box'),(201,'m2'),(202,'m2'),(301,'roll'),(302,'roll'),(303,'roll'),
  (401,'m2'),(402,'m2'),(501,'m2'),(502,'m2');
insert into TableSales(SalesID,SalesName) values
  (1,'华丽陶瓷'),(2,'金石瓷业'),(3,'森林木业'),(4,'雅居墙纸'),(5,'石韵石材'),(6,'锦绣布艺'),(7,'美家家具');
insert into TableMatType(MatTypeID,MatTypeName,FanSheXiShu) values
  (1,'抛光',45),(2,'亚光',15),(3,'釉面',30),(4,'木纹',20),(5,'纸面',5),(6,'布面',0),(7,'石材抛光',55),
  (8,'真皮',10),(9,'实木',15),(10,'烤漆',30),(11,'画布',0),(12,'羊毛',0),(13,'化纤',0);
)SQL";

enum class MapFile { Jpeg, H2dJpeg, H2dBmp };

struct DemoMaterial {
    int subType;
    pic::Pattern pattern;
    const char* name;
    const char* number;
    const char* specs;
    QColor base, accent;
    int matType, sales;
    double price;  // per the unit
    MapFile map;
    int perBox = 0;
    std::optional<PriceUnit> unit;  // none: its category's (CategoryUnit)
};

// A wallpaper roll, 0.53 × 10 m, and its pattern repeat: one picture of the
// product shows one repeat.
constexpr const char* kRollSpecs = "530*10000";
constexpr int kWallpaperRepeat = 530;

// As the category script prices each sub-category: large tiles, wood,
// stone and fabric per m², wall tiles per box, wallpaper per roll.
PriceUnit CategoryUnit(int subType) {
    switch (subType / 100) {
        case 3: return PriceUnit::Roll;
        case 1: return subType == 104 ? PriceUnit::Box : PriceUnit::SquareMetre;
        default: return subType >= 600 ? PriceUnit::Piece : PriceUnit::SquareMetre;
    }
}

std::vector<DemoMaterial> Materials() {
    using P = pic::Pattern;
    using M = MapFile;
    return {
        {102, P::PolishedTile, "象牙白抛光砖", "PG-8001", "800*800", {236, 230, 216}, {214, 204, 186}, 1, 1, 168, M::H2dJpeg},
        {102, P::PolishedTile, "米黄抛光砖", "PG-8002", "800*800", {226, 208, 172}, {200, 178, 140}, 1, 1, 158, M::Jpeg},
        {102, P::PolishedTile, "雪花白抛光砖", "PG-6003", "600*600", {240, 240, 236}, {220, 220, 214}, 1, 2, 98, M::Jpeg},
        {102, P::PolishedTile, "浅灰抛光砖", "PG-6004", "600*600", {200, 200, 198}, {170, 170, 168}, 1, 2, 105, M::H2dJpeg},
        {102, P::PolishedTile, "金沙抛光砖", "PG-8005", "800*800", {214, 186, 140}, {180, 150, 105}, 1, 1, 188, M::Jpeg},
        {102, P::Granite, "芝麻灰微晶石", "PG-8006", "800*800", {170, 170, 170}, {110, 110, 112}, 1, 2, 230, M::Jpeg},
        {103, P::RusticTile, "复古红仿古砖", "FG-6001", "600*600", {170, 90, 60}, {120, 60, 40}, 2, 1, 128, M::H2dJpeg},
        {103, P::RusticTile, "沙漠黄仿古砖", "FG-6002", "600*600", {205, 170, 120}, {160, 120, 80}, 2, 1, 118, M::Jpeg},
        {103, P::RusticTile, "青石灰仿古砖", "FG-6003", "600*600", {130, 135, 130}, {95, 100, 98}, 2, 2, 122, M::Jpeg},
        {103, P::RusticTile, "咖啡仿古砖", "FG-3004", "300*300", {130, 95, 70}, {90, 62, 45}, 2, 2, 72, M::H2dJpeg, 11, PriceUnit::Box},
        {103, P::RusticTile, "米白仿古砖", "FG-6005", "600*600", {225, 212, 190}, {190, 172, 145}, 2, 1, 115, M::Jpeg},
        {104, P::WallTile, "白色釉面墙砖", "QZ-3001", "300*450", {245, 245, 242}, {225, 225, 222}, 3, 2, 49, M::H2dBmp, 8},
        {104, P::WallTile, "浅蓝釉面墙砖", "QZ-3002", "300*450", {200, 222, 235}, {170, 196, 215}, 3, 2, 52, M::Jpeg, 8},
        {104, P::WallTile, "米色腰线墙砖", "QZ-3003", "300*450", {232, 220, 198}, {170, 140, 100}, 3, 1, 56, M::Jpeg, 8},
        {104, P::WallTile, "淡绿釉面墙砖", "QZ-3004", "300*600", {210, 228, 205}, {180, 205, 175}, 3, 2, 60, M::H2dJpeg, 6},
        {104, P::WallTile, "珍珠白墙砖", "QZ-3005", "300*600", {240, 236, 228}, {222, 216, 205}, 3, 1, 63, M::Jpeg, 6},
        {104, P::WallTile, "深灰釉面墙砖", "QZ-3006", "300*450", {120, 122, 125}, {90, 92, 96}, 3, 2, 54, M::Jpeg, 8},
        {201, P::WoodPlank, "柚木实木地板", "MB-1201", "1200*200", {176, 120, 70}, {120, 75, 40}, 4, 3, 380, M::H2dJpeg},
        {201, P::WoodPlank, "橡木实木地板", "MB-1202", "1200*200", {200, 160, 110}, {150, 110, 70}, 4, 3, 420, M::Jpeg},
        {201, P::WoodPlank, "黑胡桃实木地板", "MB-9103", "910*125", {110, 75, 50}, {70, 45, 30}, 4, 3, 560, M::Jpeg},
        {201, P::WoodPlank, "樱桃木实木地板", "MB-9104", "910*125", {170, 95, 60}, {125, 65, 40}, 4, 3, 460, M::H2dJpeg},
        {202, P::WoodPlank, "白橡复合地板", "MB-1205", "1215*195", {215, 195, 165}, {180, 155, 120}, 4, 3, 160, M::Jpeg, 8},
        {202, P::WoodPlank, "灰橡复合地板", "MB-1206", "1215*195", {160, 150, 140}, {120, 110, 100}, 4, 3, 170, M::Jpeg, 8},
        {202, P::WoodPlank, "枫木复合地板", "MB-1207", "1215*195", {225, 190, 140}, {190, 150, 100}, 4, 3, 150, M::H2dJpeg, 8},
        {301, P::Damask, "金色大马士革墙纸", "BZ-5301", kRollSpecs, {222, 206, 170}, {170, 140, 80}, 5, 4, 260, M::Jpeg},
        {301, P::Damask, "酒红大马士革墙纸", "BZ-5302", kRollSpecs, {140, 40, 45}, {200, 150, 110}, 5, 4, 280, M::H2dJpeg},
        {301, P::Damask, "银灰欧式墙纸", "BZ-5303", kRollSpecs, {200, 200, 205}, {150, 150, 160}, 5, 4, 240, M::Jpeg},
        {302, P::Stripes, "米白条纹墙纸", "BZ-5304", kRollSpecs, {238, 230, 214}, {200, 185, 160}, 5, 4, 180, M::Jpeg},
        {302, P::Stripes, "蓝白条纹墙纸", "BZ-5305", kRollSpecs, {235, 240, 245}, {110, 140, 180}, 5, 4, 190, M::H2dJpeg},
        {302, P::Stripes, "咖啡条纹墙纸", "BZ-5306", kRollSpecs, {210, 190, 165}, {120, 85, 60}, 5, 4, 185, M::Jpeg},
        {303, P::Floral, "粉色碎花墙纸", "BZ-5307", kRollSpecs, {245, 232, 228}, {230, 140, 150}, 5, 4, 200, M::Jpeg},
        {303, P::Floral, "田园小花墙纸", "BZ-5308", kRollSpecs, {240, 238, 220}, {240, 170, 80}, 5, 4, 195, M::H2dJpeg},
        {303, P::Floral, "绿叶田园墙纸", "BZ-5309", kRollSpecs, {228, 236, 220}, {120, 160, 200}, 5, 4, 205, M::Jpeg},
        {401, P::Marble, "卡拉拉白大理石", "DL-8001", "800*800", {240, 240, 238}, {120, 122, 128}, 7, 5, 680, M::H2dJpeg},
        {401, P::Marble, "黑金花大理石", "DL-8002", "800*800", {45, 35, 30}, {215, 180, 120}, 7, 5, 760, M::Jpeg},
        {401, P::Marble, "金线米黄大理石", "DL-8003", "800*800", {228, 208, 170}, {160, 120, 70}, 7, 5, 720, M::Jpeg},
        {401, P::Marble, "爵士白大理石", "DL-6004", "600*1200", {236, 236, 236}, {150, 150, 155}, 7, 5, 650, M::H2dJpeg},
        {401, P::Marble, "啡网纹大理石", "DL-8005", "800*800", {120, 85, 60}, {230, 215, 190}, 7, 5, 700, M::Jpeg},
        {402, P::Granite, "芝麻白花岗岩", "HG-6001", "600*600", {200, 198, 195}, {140, 138, 136}, 7, 5, 220, M::Jpeg},
        {402, P::Granite, "印度红花岗岩", "HG-6002", "600*600", {150, 60, 50}, {90, 40, 35}, 7, 5, 260, M::H2dJpeg},
        {402, P::Granite, "中国黑花岗岩", "HG-6003", "600*600", {50, 50, 52}, {20, 20, 22}, 7, 5, 300, M::Jpeg},
        {501, P::Fabric, "米色亚麻窗帘布", "BY-1401", "1400*1400", {220, 205, 180}, {190, 170, 140}, 6, 6, 88, M::Jpeg},
        {501, P::Fabric, "蓝色格子窗帘布", "BY-1402", "1400*1400", {200, 215, 230}, {90, 120, 170}, 6, 6, 96, M::H2dJpeg},
        {502, P::Fabric, "灰色绒布", "BY-1403", "1400*1400", {150, 150, 155}, {120, 120, 126}, 6, 6, 120, M::Jpeg},
        {502, P::Fabric, "红色格子布", "BY-1404", "1400*1400", {200, 80, 70}, {240, 220, 200}, 6, 6, 110, M::Jpeg},
        {102, P::Marble, "大理石纹抛光砖", "PG-8007", "800*800", {236, 232, 226}, {150, 140, 130}, 1, 1, 198, M::H2dJpeg},
    };
}

struct DemoModel {
    int subType;
    pic::ModelShape shape;
    const char* name;
    const char* number;
    const char* specs;
    QColor colour;
    double price;
};

std::vector<DemoModel> Models() {
    using S = pic::ModelShape;
    return {
        {601, S::Sofa, "布艺三人沙发", "SF-001", "2100*900*850", {150, 140, 130}, 4800},
        {601, S::Sofa, "真皮沙发", "SF-002", "2200*950*900", {110, 70, 45}, 9800},
        {601, S::Sofa, "北欧双人沙发", "SF-003", "1600*850*800", {90, 130, 150}, 3600},
        {701, S::Door, "实木套装门", "MM-001", "900*2100", {140, 95, 60}, 2600},
        {701, S::Door, "白色烤漆门", "MM-002", "900*2100", {235, 232, 225}, 2200},
        {702, S::Curtain, "米色布艺窗帘", "CL-001", "2800*2600", {220, 200, 170}, 900},
        {702, S::Curtain, "蓝色遮光窗帘", "CL-002", "2800*2600", {90, 110, 150}, 1100},
        {801, S::Picture, "山水装饰画", "GH-001", "900*600", {150, 190, 220}, 380},
        {801, S::Picture, "落日装饰画", "GH-002", "1200*600", {230, 150, 90}, 450},
        {802, S::Carpet, "波斯地毯", "DT-001", "2000*1400", {150, 50, 45}, 1800},
        {802, S::Carpet, "灰色简约地毯", "DT-002", "2000*1400", {130, 130, 135}, 900},
    };
}

// What each demo model is made of (TableMatType): leather, solid wood,
// lacquer, canvas, wool, man-made fibre; fabric for the rest.
int ModelMaterial(const std::string& number) {
    const std::pair<const char*, int> materials[] = {{"SF-002", 8},  {"MM-001", 9},  {"GZ-001", 9}, {"MM-002", 10},
                                                     {"GH-001", 11}, {"GH-002", 11}, {"DT-001", 12}, {"DT-002", 13}};
    for (const auto& [model, material] : materials)
        if (number == model) return material;
    return 6;
}

// The sub-category memos of the demo's model categories.
const char* ModelMemo(int subType) {
    switch (subType) {
        case 601: return "沙发";
        case 603: return "衣柜";
        case 701: return "门";
        case 702: return "窗帘";
        case 801: return "装饰画";
        case 802: return "地毯";
        default: return "";
    }
}


Status WriteJpeg(const fs::path& path, const QImage& image, int quality) {
    std::optional<Bytes> jpeg = EncodeJpeg(image, quality);
    if (!jpeg || !WriteFileAtomically(path, *jpeg)) return Error{"写文件失败。" + path.string()};
    return Status::Ok();
}

Status WriteModelProduct(const fs::path& product, const std::string& number, const QImage& picture) {
    if (Status s = WriteJpeg(product / "jpg" / (number + ".jpg"), picture, 90); !s) return s;
    return WriteJpeg(product / "xjpg" / (number + ".jpg"), pic::MakeThumbnail(picture, 100), 90);
}

Status WriteMap(const fs::path& maps, const DemoMaterial& m, const QImage& picture) {
    const std::string number = m.number;
    if (m.map == MapFile::Jpeg) return WriteJpeg(maps / (number + ".jpg"), picture, 92);
    Bytes bytes;
    ProductMapKind kind = ProductMapKind::Jpeg;
    if (m.map == MapFile::H2dBmp) {
        kind = ProductMapKind::Bmp;
        // A 32-bit BMP file: file header, info header, bottom-up rows.
        const int w = picture.width(), h = picture.height();
        const uint32_t pixelBytes = uint32_t(w) * uint32_t(h) * 4;
        auto put = [&](uint32_t v, int size) {
            for (int i = 0; i < size; ++i) bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
        };
        bytes.push_back('B');
        bytes.push_back('M');
        put(54 + pixelBytes, 4);
        put(0, 4);
        put(54, 4);
        put(40, 4);
        put(uint32_t(w), 4);
        put(uint32_t(h), 4);
        put(1, 2);
        put(32, 2);
        put(0, 4);
        put(pixelBytes, 4);
        put(2835, 4);
        put(2835, 4);
        put(0, 4);
        put(0, 4);
        const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
        for (int y = h - 1; y >= 0; --y) {
            const auto* row = rgb.constScanLine(y);
            bytes.insert(bytes.end(), row, row + w * 4);
        }
    } else {
        std::optional<Bytes> jpeg = EncodeJpeg(picture, 92);
        if (!jpeg) return Error{"写文件失败。"};
        bytes = std::move(*jpeg);
    }
    const Bytes map = BuildProductMap(bytes, kind, kProductMapDefaultTolerance);
    const fs::path file = maps / (number + ".h2d");
    if (!WriteFileAtomically(file, map)) return Error{"写文件失败。" + file.string()};
    return Status::Ok();
}

// How a product is priced: per its unit, boxed, a wallpaper's repeat.
struct Pricing {
    double price = 0;
    PriceUnit unit = PriceUnit::Piece;
    int perBox = 0;
    int repeat = 0;
};

Pricing PricingOf(const DemoMaterial& m) {
    const PriceUnit unit = m.unit.value_or(CategoryUnit(m.subType));
    return {m.price, unit, m.perBox, unit == PriceUnit::Roll ? kWallpaperRepeat : 0};
}

Status InsertPart(SqlStatement& insert, int64_t id, const char* name, const char* number,
                  const char* specs, const Pricing& pricing, int sales, int matType, int subType) {
    insert.reset();
    if (Status s = insert.bindAll(std::vector<SqlValue>{
            SqlInt(id), SqlText(name), SqlText(number), SqlText(specs), SqlValue(pricing.price),
            SqlInt(sales), SqlInt(matType), SqlInt(subType), SqlInt(4), SqlInt(0), SqlInt(1), SqlInt(pricing.perBox),
            SqlText(std::string(PriceUnitWord(pricing.unit))), SqlInt(pricing.repeat)});
        !s)
        return s;
    return insert.run();
}

// A model file's product string: a model is sold by the piece at its price.
std::string ModelDescriptor(const char* name, const char* number, const char* specs, int subType, double price) {
    return ProductDescriptor::Model(name, number, "美家家具", specs, ModelMemo(subType))
        .WithPricing(price, 0, PriceUnit::Piece)
        .ToString();
}

}  // namespace

Status WriteDemoCatalogue(const SqlDatabase& db, const fs::path& workspace) {
    if (Status s = db.executeScript(kCategoryScript); !s) return s;
    const fs::path product = workspace / "product";
    std::error_code ec;
    for (const char* folder : {"maps", "jpg", "xjpg", "c2d", "models"})
        fs::create_directories(product / folder, ec);

    Result<SqlStatement> insert = db.prepare(
        "insert into TableParts(PartsID,PartsName,PartsNumber,PartsSpecs,PartsPrice,SalesID,"
        "MatTypeID,PSTypeID,CUintID,CompID,StyleID,PartsPerBox,PartsUnit,PatternRepeat) "
        "values(?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    if (!insert) return Error{insert.error()};

    // Models first, materials after them: start-up preselects the newest material.
    int64_t id = 1;
    for (const DemoModel& m : Models()) {
        if (Status s = InsertPart(*insert, id++, m.name, m.number, m.specs, {m.price}, 7, ModelMaterial(m.number),
                                  m.subType);
            !s)
            return s;
        const std::string descriptor = ModelDescriptor(m.name, m.number, m.specs, m.subType, m.price);
        if (Status s = WriteDemoModelFile(product / "c2d" / (std::string(m.number) + ".c2d"), m.shape, m.colour,
                                          descriptor);
            !s)
            return s;
        if (Status s = WriteModelProduct(product, m.number, pic::DrawModelPicture(m.shape, m.colour, 400)); !s)
            return s;
    }

    uint32_t seed = 11;
    for (const DemoMaterial& m : Materials()) {
        const Pricing pricing = PricingOf(m);
        if (Status s = InsertPart(*insert, id++, m.name, m.number, m.specs, pricing, m.sales, m.matType, m.subType);
            !s)
            return s;
        pic::PictureSpec spec;
        spec.pattern = m.pattern;
        spec.base = m.base;
        spec.accent = m.accent;
        spec.seed = seed++;
        // A wallpaper's picture is one pattern repeat of its roll.
        const ProductSize size = PictureSizeOf(m.specs, pricing.unit, pricing.repeat);
        spec.widthMm = size.width;
        spec.heightMm = size.height;
        const QImage picture = pic::DrawProductPicture(spec);
        if (Status s = WriteMap(product / "maps", m, picture); !s) return s;
        // The photograph: the product at a size the browser shows whole.
        const QImage photo = picture.height() > 4 * picture.width()
                                 ? picture.copy(0, 0, picture.width(), picture.width() * 2)
                                 : picture;
        if (Status s = WriteJpeg(product / "jpg" / (std::string(m.number) + ".jpg"),
                                 photo.scaled(400, 400, Qt::KeepAspectRatio, Qt::SmoothTransformation), 90);
            !s)
            return s;
        if (Status s = WriteJpeg(product / "xjpg" / (std::string(m.number) + ".jpg"),
                                 pic::MakeThumbnail(picture, 100), 90);
            !s)
            return s;
    }
    // Added after the first catalogue, so the products before it keep their identifiers.
    if (Status s = InsertPart(*insert, id++, "三门衣柜", "GZ-001", "1800*2000", {5600}, 7, ModelMaterial("GZ-001"), 603);
        !s)
        return s;
    const Result<QImage> wardrobe =
        WriteDemoWardrobe(product / "c2d" / "GZ-001.c2d", ModelDescriptor("三门衣柜", "GZ-001", "1800*2000", 603, 5600));
    if (!wardrobe) return Error{wardrobe.error()};
    if (Status s = WriteModelProduct(product, "GZ-001", *wardrobe); !s) return s;
    return Status::Ok();
}

}  // namespace v2d::demo
