#include "webservice/workspace_catalogue.h"

#include <map>
#include <system_error>

#include "base/atomic_file.h"
#include "base/picture_codec.h"
#include "demo/shop_products.h"
#include "demo/web_catalogue.h"
#include "library/data_module.h"
#include "library/product_pictures.h"
#include "library/pub_functions.h"
#include "scene/model_file.h"
#include "templates/template_pages.h"

namespace v2d::web {
namespace fs = std::filesystem;

namespace {

constexpr int kThumbnailSide = 120;

class Publisher {
public:
    Publisher(Db& dm, fs::path workspace, fs::path root)
        : dm_(dm), workspace_(std::move(workspace)), files_(std::move(root) / "files") {}

    Status Products(CategoryFilter filter) {
        Result<std::vector<CategoryNode>> tree = BuildCategoryTree(dm_, filter);
        if (!tree) return tree.failure();
        return Nodes(*tree);
    }
    Status Templates(std::vector<std::string>& skipped);
    const std::string& index() const { return index_; }

private:
    Status Nodes(const std::vector<CategoryNode>& nodes) {
        for (const CategoryNode& node : nodes) {
            if (!node.isMainCategory) {
                Result<std::vector<ProductRow>> rows = ReadProductList(dm_, node.id);
                if (!rows) return rows.failure();
                for (const ProductRow& row : *rows)
                    if (Status s = Product(node.name, row); !s) return s;
            }
            if (Status s = Nodes(node.children); !s) return s;
        }
        return Status::Ok();
    }
    Status Product(const std::string& category, const ProductRow& row);
    Status Jpeg(const std::string& file, const QImage& picture) {
        const std::optional<Bytes> jpeg = EncodeJpeg(picture, 92);
        return jpeg ? Write(file, *jpeg) : Status(Error{"cannot encode " + file});
    }
    Status Write(const std::string& file, std::span<const uint8_t> bytes) {
        if (!WriteFileAtomically(files_ / file, bytes)) return Error{"cannot write " + (files_ / file).string()};
        return Status::Ok();
    }

    Db& dm_;
    fs::path workspace_, files_;
    std::string index_;
};

// A thumbnail of at most kThumbnailSide on its long side.
QImage Thumbnail(const QImage& picture) {
    return picture.scaled(kThumbnailSide, kThumbnailSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

// The picture file when it decodes; else null.
QImage ReadPicture(const fs::path& file) {
    const std::optional<Bytes> bytes = ReadWholeFile(file);
    return bytes ? DecodePicture(*bytes) : QImage();
}

}  // namespace

Status Publisher::Product(const std::string& category, const ProductRow& row) {
    Result<demo::ShopProduct> product = demo::ReadShopProduct(dm_, row);
    if (!product) return product.failure();
    const std::string& number = row.PartsNumber;
    const std::string what = "product " + number + " (" + row.PartsName + ")";
    // Files are named by the product's identifier: any number makes a safe
    // address, and a download never meets the shop's own thumbnail of the
    // same name.
    const std::string stem = "p" + std::to_string(row.PartsID);
    const ProductPicturePaths paths = PicturePathsOf(workspace_, number);
    std::string file;
    QImage thumb = ReadPicture(paths.thumbnail);
    if (product->isModel()) {
        const std::optional<Bytes> bytes = ReadWholeFile(paths.model);
        Result<ModelFile> model = bytes ? ParseModelFile(*bytes) : Result<ModelFile>(Error{"文件打不开。"});
        if (!model || model->records.empty())
            return Error{"cannot read the model file of " + what + ": " + paths.model.string() +
                         (model ? "" : " (" + model.error() + ")")};
        file = "c2d/" + stem + ".c2d";
        if (Status s = Write(file, *bytes); !s) return s;
        if (thumb.isNull()) thumb = model->records.front()->picture;
    } else {
        Result<std::optional<ProductMap>> map = LoadMaterialPicture(workspace_, number);
        if (!map || !*map)
            return Error{"cannot read the picture of " + what + ": " + paths.map.string() + " or " +
                         paths.mapJpeg.string() + (map ? "" : " (" + map.error() + ")")};
        file = "jpg/" + stem + ".jpg";
        if (Status s = Jpeg(file, (*map)->picture); !s) return s;
        if (thumb.isNull()) thumb = (*map)->picture;
    }
    if (Status s = Jpeg("xjpg/" + stem + ".jpg", Thumbnail(thumb)); !s) return s;
    index_ += demo::CatalogueLine(product->isModel() ? "model" : "material", category, product->descriptor, file,
                                  "xjpg/" + stem + ".jpg");
    return Status::Ok();
}

Status Publisher::Templates(std::vector<std::string>& skipped) {
    Result<std::vector<NamedID>> styles = ReadStyles(dm_);
    if (!styles) return styles.failure();
    std::map<int64_t, std::string> styleNames;
    for (const NamedID& s : *styles) styleNames[s.id] = s.name;
    Result<std::vector<TemplateRow>> rows = ReadTemplates(dm_, std::nullopt, std::nullopt);
    if (!rows) return rows.failure();
    for (const TemplateRow& row : *rows) {
        const std::string id = std::to_string(row.SampleID);
        const std::string name = row.SampleName.empty() ? "模板" + id : row.SampleName;
        const TemplateFiles local = TemplateFilesOf(workspace_, TemplateFileName(row));
        const std::optional<Bytes> scheme = ReadWholeFile(local.scheme);
        const QImage thumb = ReadTemplatePicture(TemplatePictureJob{row.SamplePic, local.thumbnail});
        if (!scheme || thumb.isNull()) {
            skipped.push_back("template " + id + " (" + name + "): no " +
                              (scheme ? "thumbnail" : "scheme file " + local.scheme.string()));
            continue;
        }
        const std::string stem = "sample-" + id;
        if (Status s = Write("temple/" + stem + ".v2d", *scheme); !s) return s;
        if (Status s = Jpeg("TempData/" + stem + ".jpg", thumb); !s) return s;
        const auto style = styleNames.find(row.StyleID);
        index_ += demo::CatalogueLine("template", style == styleNames.end() ? "其他" : style->second,
                                      "PartsName=" + name, "temple/" + stem + ".v2d", "TempData/" + stem + ".jpg");
    }
    return Status::Ok();
}

Status WriteWorkspaceCatalogue(const fs::path& workspace, const fs::path& root, std::vector<std::string>& skipped) {
    std::error_code error;
    if (!fs::is_directory(workspace, error)) return Error{"no workspace folder " + workspace.string()};
    if (!fs::is_regular_file(workspace / kProductDatabaseFile, error))
        return Error{std::string(kMsgDatabaseMissing) + (workspace / kProductDatabaseFile).string()};
    auto dm = TDataModule_Manager::DataModuleCreate(workspace, OpenMode::ReadOnly);
    if (!dm) return dm.failure();
    for (const char* folder : {"jpg", "xjpg", "c2d", "temple", "TempData"}) {
        fs::create_directories(root / "files" / folder, error);
        if (error) return Error{"cannot create " + (root / "files" / folder).string() + ": " + error.message()};
    }
    Publisher publisher(**dm, workspace, root);
    if (Status s = publisher.Products(CategoryFilter::Materials); !s) return s;
    if (Status s = publisher.Products(CategoryFilter::Models); !s) return s;
    if (Status s = publisher.Templates(skipped); !s) return s;
    return demo::WriteCatalogueIndex(root, publisher.index());
}

}  // namespace v2d::web
