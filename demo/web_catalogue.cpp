// The online shop's catalogue, drawn by the demo's own picture code.
#include "demo/web_catalogue.h"

#include <string>
#include <system_error>
#include <vector>

#include "base/atomic_file.h"
#include "base/picture_codec.h"
#include "demo/demo_room.h"
#include "demo/sample_rooms.h"
#include "scene/scheme_file.h"
#include "demo/model_files.h"
#include "demo/product_pictures.h"
#include "library/product_descriptor.h"
#include "library/pub_functions.h"

namespace v2d::demo {

namespace {

namespace fs = std::filesystem;
namespace pic = pictures;

struct WebMaterial {
    const char* category;
    pic::Pattern pattern;
    const char* name;
    const char* number;
    const char* specs;
    QColor base, accent;
    int reflection;
    const char* sales;
};

struct WebModel {
    const char* category;
    pic::ModelShape shape;
    const char* name;
    const char* number;
    const char* specs;
    QColor colour;
};

struct WebTemplate {
    const char* style;
    const char* name;
    const char* file;
    size_t room;  // the sample room whose walls it has, bare
};

const WebMaterial kMaterials[] = {
    {"抛光砖", pic::Pattern::PolishedTile, "云白抛光砖", "WS-8101", "800*800", {242, 238, 230}, {220, 214, 200}, 45, "华丽陶瓷"},
    {"抛光砖", pic::Pattern::PolishedTile, "香槟金抛光砖", "WS-8102", "800*800", {222, 196, 150}, {190, 160, 115}, 45, "华丽陶瓷"},
    {"抛光砖", pic::Pattern::Granite, "黑金花微晶石", "WS-8103", "800*800", {70, 62, 58}, {190, 160, 110}, 55, "金石瓷业"},
    {"仿古砖", pic::Pattern::RusticTile, "托斯卡纳仿古砖", "WS-6201", "600*600", {185, 120, 80}, {130, 80, 50}, 15, "金石瓷业"},
    {"仿古砖", pic::Pattern::RusticTile, "青灰石纹砖", "WS-6202", "600*600", {120, 128, 126}, {88, 94, 92}, 15, "金石瓷业"},
    {"木地板", pic::Pattern::WoodPlank, "北美白橡地板", "WS-1301", "1200*200", {214, 180, 130}, {165, 125, 80}, 20, "森林木业"},
    {"木地板", pic::Pattern::WoodPlank, "深胡桃地板", "WS-1302", "1200*200", {100, 66, 44}, {62, 40, 26}, 20, "森林木业"},
    {"墙纸", pic::Pattern::Damask, "金色大马士革墙纸", "WS-5301", "530*530", {200, 170, 110}, {150, 115, 60}, 5, "雅居墙纸"},
    {"墙纸", pic::Pattern::Stripes, "蓝白条纹墙纸", "WS-5302", "530*530", {215, 228, 240}, {120, 150, 190}, 5, "雅居墙纸"},
    {"墙纸", pic::Pattern::Floral, "小碎花墙纸", "WS-5303", "530*530", {240, 232, 220}, {210, 120, 130}, 5, "雅居墙纸"},
    {"石材", pic::Pattern::Marble, "爵士白大理石", "WS-4401", "800*800", {236, 236, 234}, {120, 120, 125}, 55, "石韵石材"},
    {"石材", pic::Pattern::Marble, "西班牙米黄", "WS-4402", "800*800", {226, 206, 170}, {170, 140, 100}, 55, "石韵石材"},
};

const WebModel kModels[] = {
    {"沙发", pic::ModelShape::Sofa, "北欧布艺沙发", "WM-6101", "2200*900", {110, 130, 150}},
    {"沙发", pic::ModelShape::Sofa, "真皮三人沙发", "WM-6102", "2100*950", {120, 70, 45}},
    {"门", pic::ModelShape::Door, "白色实木门", "WM-7101", "900*2100", {236, 232, 224}},
    {"装饰画", pic::ModelShape::Picture, "抽象装饰画", "WM-8101", "900*600", {60, 110, 160}},
    {"地毯", pic::ModelShape::Carpet, "几何地毯", "WM-8201", "2000*1400", {170, 60, 55}},
    {"窗帘", pic::ModelShape::Curtain, "米色布艺窗帘", "WM-7201", "1800*2600", {214, 196, 160}},
};

const WebTemplate kTemplates[] = {
    {"现代简约", "现代简约客厅", "web-modern-living.v2d", 0},
    {"现代简约", "现代简约卧室", "web-modern-bedroom.v2d", 12},
    {"欧式古典", "欧式古典客厅", "web-classic-living.v2d", 1},
    {"欧式古典", "欧式古典餐厅", "web-classic-dining.v2d", 4},
    {"田园风格", "田园风格卧室", "web-country-bedroom.v2d", 3},
};

Status WriteBytes(const fs::path& path, const Bytes& bytes) {
    if (!WriteFileAtomically(path, bytes)) return Error{"写文件失败。" + path.string()};
    return Status::Ok();
}

Status WriteJpeg(const fs::path& path, const QImage& image) {
    std::optional<Bytes> jpeg = EncodeJpeg(image, 90);
    if (!jpeg) return Error{"写文件失败。" + path.string()};
    return WriteBytes(path, *jpeg);
}

}  // namespace

Status WriteWebCatalogue(const fs::path& root) {
    const fs::path files = root / "files";
    std::error_code error;
    for (const char* folder : {"jpg", "xjpg", "c2d", "temple", "TempData"}) {
        fs::create_directories(files / folder, error);
        if (error) return Error{"cannot create " + (files / folder).string() + ": " + error.message()};
    }
    std::string index;
    uint32_t seed = 101;
    for (const WebMaterial& m : kMaterials) {
        pic::PictureSpec spec;
        spec.pattern = m.pattern;
        spec.base = m.base;
        spec.accent = m.accent;
        spec.seed = seed++;
        const ProductSize size = ParseProductSpecs(m.specs);
        spec.widthMm = size.width;
        spec.heightMm = size.height;
        const QImage picture = pic::DrawProductPicture(spec);
        const std::string number = m.number;
        if (Status s = WriteJpeg(files / "jpg" / (number + ".jpg"), picture); !s) return s;
        if (Status s = WriteJpeg(files / "xjpg" / (number + ".jpg"), pic::MakeThumbnail(picture, 120)); !s) return s;
        index += CatalogueLine("material", m.category,
                               ProductDescriptor::Material(m.name, m.number, m.sales, m.specs, std::to_string(m.reflection))
                                   .ToString(),
                               "jpg/" + number + ".jpg", "xjpg/" + number + ".jpg");
    }
    for (const WebModel& m : kModels) {
        const std::string number = m.number;
        const std::string descriptor =
            ProductDescriptor::Model(m.name, m.number, "美家家具", m.specs, m.category).ToString();
        if (Status s = WriteDemoModelFile(files / "c2d" / (number + ".c2d"), m.shape, m.colour, descriptor); !s)
            return s;
        const QImage preview = pic::DrawModelPicture(m.shape, m.colour, 240);
        if (Status s = WriteJpeg(files / "xjpg" / (number + ".jpg"), preview); !s) return s;
        index += CatalogueLine("model", m.category, descriptor, "c2d/" + number + ".c2d", "xjpg/" + number + ".jpg");
    }
    for (const WebTemplate& t : kTemplates) {
        const std::string stem = fs::path(t.file).stem().string();
        const Scene room = BuildRoomScene(SampleRooms()[t.room].geometry, 800, 600);
        Result<Bytes> scheme = SerializeScheme(room);
        if (!scheme) return Error{scheme.error()};
        Result<Bytes> thumb = BareRoomThumbnail(room);
        if (!thumb) return Error{thumb.error()};
        if (Status s = WriteBytes(files / "temple" / t.file, *scheme); !s) return s;
        if (Status s = WriteBytes(files / "TempData" / (stem + ".jpg"), *thumb); !s) return s;
        index += CatalogueLine("template", t.style, std::string("PartsName=") + t.name, "temple/" + std::string(t.file),
                               "TempData/" + stem + ".jpg");
    }
    return WriteCatalogueIndex(root, index);
}

std::string CatalogueLine(std::string_view kind, std::string_view category, std::string_view descriptor,
                          std::string_view file, std::string_view thumb) {
    return "Kind=" + std::string(kind) + "&Category=" + std::string(category) + "&" + std::string(descriptor) +
           "&File=" + std::string(file) + "&Thumb=" + std::string(thumb) + "\n";
}

Status WriteCatalogueIndex(const fs::path& root, const std::string& index) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(index.data());
    if (!WriteFileAtomically(root / kWebCatalogueIndex, std::span<const uint8_t>(bytes, index.size())))
        return Error{"写文件失败。" + (root / kWebCatalogueIndex).string()};
    return Status::Ok();
}

Status WriteOnlineErrorPage(const fs::path& workspace) {
    static const char kPage[] = R"(<!DOCTYPE html>
<html lang="zh-CN"><head><meta charset="utf-8"><title>网络连接失败</title></head>
<body style="font-family:sans-serif;background:#f6f2ec;color:#3d3327;padding:40px">
<h2 style="color:#7a5a3a">暂时无法连接网上展厅</h2>
<p>请检查网络连接，或在工作目录的 vexel2d.ini 中设置服务器地址（WebHost=），然后关闭窗口再试。</p>
</body></html>
)";
    std::error_code error;
    fs::create_directories(workspace / "say", error);
    const auto* bytes = reinterpret_cast<const uint8_t*>(kPage);
    if (!WriteFileAtomically(workspace / "say" / "qrnv2010.html", std::span<const uint8_t>(bytes, sizeof kPage - 1)))
        return Error{"写文件失败。" + (workspace / "say" / "qrnv2010.html").string()};
    return Status::Ok();
}

}  // namespace v2d::demo
