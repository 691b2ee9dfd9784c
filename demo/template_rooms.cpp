#include "demo/template_rooms.h"

#include <cmath>

#include "demo/demo_room.h"
#include "demo/shop_products.h"
#include "library/product_descriptor.h"
#include "library/product_pictures.h"
#include "library/pub_functions.h"
#include "templates/template_store.h"

namespace v2d::demo {
namespace fs = std::filesystem;

namespace {

Result<int> RegionNamed(const Scene& scene, const std::string& name) {
    for (int i = 0; i < scene.count(); ++i)
        if (scene.at(i)->kind == RecordKind::Region && scene.at(i)->name == name) return i;
    return Error{"the sample room has no region " + name};
}

// The product panel after choosing the material in the browser.
Result<ProductPanelState> MaterialPanel(Db& dm, const fs::path& workspace, const std::string& number) {
    Result<ShopProduct> product = ReadShopProduct(dm, number);
    if (!product) return product.failure();
    Result<std::optional<ProductMap>> map = LoadMaterialPicture(workspace, number);
    if (!map) return map.failure();
    if (!*map) return Error{"no picture for " + number};
    ProductPanelState panel;
    panel.picture = (*map)->picture;
    panel.product = Product::Parse(product->descriptor);
    const ProductSize size = panel.product.pictureSize();
    panel.widthMm = size.width;
    panel.heightMm = size.height;
    panel.reflect = std::atoi(panel.product.reflectionText().c_str());
    return panel;
}

Status Lay(SceneDocument& doc, Db& dm, const fs::path& workspace, const SampleLaying& laying) {
    std::vector<int> regions;
    for (const std::string& name : laying.regions) {
        Result<int> region = RegionNamed(doc.scene(), name);
        if (!region) return region.failure();
        regions.push_back(*region);
    }
    Result<ProductPanelState> panel = MaterialPanel(dm, workspace, laying.number);
    if (!panel) return panel.failure();
    doc.SetProduct(CurrentProduct{panel->picture, panel->product});
    doc.SetSelection(RegionSelection{regions.front(), regions});
    doc.SetPanelControls(*panel);
    const Outcome tiled = doc.TileSelection();
    if (tiled.refused()) return tiled.failure();
    if (!tiled.notes.empty()) return tiled.notes.front();
    return Status::Ok();
}

Status Place(SceneDocument& doc, Db& dm, const fs::path& workspace, const SampleRoom& room,
             const SampleFurniture& furniture) {
    Result<ShopProduct> product = ReadShopProduct(dm, furniture.number);
    if (!product) return product.failure();
    Result<int> region = RegionNamed(doc.scene(), furniture.region);
    if (!region) return region.failure();
    const QPointF point = SamplePoint(room.geometry, furniture, doc.scene().background.width());
    ModelDrop drop;
    drop.modelFile = PicturePathsOf(workspace, furniture.number).model;
    drop.product = Product::Parse(product->descriptor);
    drop.point = {static_cast<int32_t>(std::lround(point.x())), static_cast<int32_t>(std::lround(point.y()))};
    drop.target = *region;
    drop.fitIntoRegion = true;
    Outcome placed = doc.DropModel(drop);
    if (placed.refused()) return placed.failure();
    if (*placed < 0) return Error{"no model file for " + furniture.number};
    return Status::Ok();
}

}  // namespace

Status FurnishSampleRoom(SceneDocument& doc, Db& dm, const fs::path& workspace, const SampleRoom& room) {
    doc.LoadScene(BuildRoomScene(room.geometry, kSampleRoomWidth, kSampleRoomHeight));
    for (const SampleLaying& laying : room.layings)
        if (Status laid = Lay(doc, dm, workspace, laying); !laid) return Error{room.name + ": " + laid.error()};
    for (const SampleFurniture& furniture : room.furniture)
        if (Status placed = Place(doc, dm, workspace, room, furniture); !placed)
            return Error{room.name + ": " + placed.error()};
    doc.ClearSelection();
    return Status::Ok();
}

Status WriteDemoTemplates(Db& dm, const fs::path& workspace, const ImageOperations& ops) {
    SceneDocument doc(ops);
    for (const SampleRoom& room : SampleRooms()) {
        if (Status furnished = FurnishSampleRoom(doc, dm, workspace, room); !furnished) return furnished;
        Result<int64_t> stored =
            StoreTemplate(dm, workspace, doc.scene(), doc.displayed(), NewTemplate{room.name, room.roomType, room.style});
        if (!stored) return stored.failure();
    }
    return Status::Ok();
}

}  // namespace v2d::demo
