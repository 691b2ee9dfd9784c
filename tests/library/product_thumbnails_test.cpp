// The browser's pictures: the fit into a thumbnail cell, the file each
// picture comes from and its fallbacks, and the worker that hands the cells
// back in list order.
#include <gtest/gtest.h>

#include <mutex>

#include "base/atomic_file.h"
#include "base/picture_codec.h"
#include "library/product_map.h"
#include "library/product_thumbnails.h"
#include "tests/library/temp_workspace.h"

namespace v2d {
namespace {

using test::TempWorkspace;

TEST(ThumbnailCell, FitKeepsTheAspectCentresAndNeverGoesBelowTwoPixels) {
    const struct {
        QSize picture;
        int left, top, width, height;
    } cases[] = {
        {{160, 40}, 0, 30, 80, 20}, {{10, 1000}, 39, 0, 2, 80}, {{80, 80}, 0, 0, 80, 80},
        {{40, 160}, 30, 0, 20, 80}, {{1000, 1}, 0, 39, 80, 2},  {{30, 20}, 0, 13, 80, 53},
        {{0, 0}, 0, 0, 0, 0},       {{50, 0}, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        const CellFit fit = FitIntoCell(c.picture);
        EXPECT_EQ(QRect(fit.left, fit.top, fit.width, fit.height), QRect(c.left, c.top, c.width, c.height))
            << c.picture.width() << "x" << c.picture.height();
    }
    QImage wide(160, 40, QImage::Format_RGB32);
    wide.fill(Qt::red);
    const QImage cell = MakeThumbnailCell(wide);
    ASSERT_EQ(cell.size(), QSize(80, 80));
    EXPECT_EQ(cell.pixel(40, 29), qRgb(255, 255, 255));
    EXPECT_EQ(cell.pixel(40, 30), qRgb(255, 0, 0));
    EXPECT_EQ(cell.pixel(40, 49), qRgb(255, 0, 0));
    EXPECT_EQ(cell.pixel(40, 50), qRgb(255, 255, 255));
    const QImage empty = MakeThumbnailCell(QImage());
    ASSERT_EQ(empty.size(), QSize(80, 80));
    EXPECT_EQ(empty.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(empty.pixel(40, 40), qRgb(255, 255, 255));
}

QImage Filled(QColor colour, QSize size = {64, 32}) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// The strongest channel of a decoded picture's centre: 'r', 'g' or 'b';
// '-' for no picture.
char Colour(const QImage& image) {
    if (image.isNull()) return '-';
    const QRgb p = image.pixel(image.width() / 2, image.height() / 2);
    if (qRed(p) > 200 && qGreen(p) < 80) return 'r';
    if (qGreen(p) > 200 && qRed(p) < 80) return 'g';
    if (qBlue(p) > 200 && qRed(p) < 80) return 'b';
    return '?';
}

class ProductPictures : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(ws / "product/c2d");
        Jpeg("xjpg/A.jpg", Qt::red);
        Map("maps/A.h2d", Qt::green);
        Jpeg("jpg/A.jpg", Qt::blue);
        Map("maps/B.h2d", Qt::green);
        Jpeg("maps/C.jpg", Qt::red);
        Jpeg("xjpg/名字.jpg", Qt::blue);  // a product without a number goes by its name
        Jpeg("xjpg/M2.jpg", Qt::green);
        ASSERT_TRUE(WriteFileAtomically(ws / "product/c2d/M.c2d", Bytes{1}));
        ASSERT_TRUE(WriteFileAtomically(ws / "product/c2d/M2.c2d", Bytes{1}));
        ASSERT_TRUE(WriteFileAtomically(ws / "product/maps/BAD.h2d", Bytes{1, 2, 3}));
    }
    void Jpeg(const std::string& file, QColor colour) {
        ASSERT_TRUE(WriteFileAtomically(ws / ("product/" + file), *EncodeJpeg(Filled(colour), 95)));
    }
    void Map(const std::string& file, QColor colour) {
        ASSERT_TRUE(WriteFileAtomically(ws / ("product/" + file),
                                        BuildProductMap(*EncodeJpeg(Filled(colour), 95), ProductMapKind::Jpeg)));
    }
    ProductPictureSource Source() {
        return {ws.path(), [this](const std::filesystem::path& model) {
                    previewsRead.push_back(model.filename().string());
                    return Filled(Qt::blue);
                }};
    }
    TempWorkspace ws;
    std::vector<std::string> previewsRead;
};

constexpr ProductKind kMaterial = ProductKind::Material;
constexpr ProductKind kModel = ProductKind::Model;

TEST_F(ProductPictures, ThumbnailAndDetailsPicturesFallBackInOrder) {
    const struct {
        ThumbnailJob product;
        char thumbnail, details;
    } cases[] = {
        {{"", "A", kMaterial}, 'r', 'b'},     // xjpg; the photograph
        {{"", "B", kMaterial}, 'g', 'g'},     // the .h2d map for both
        {{"", "C", kMaterial}, '-', 'r'},     // no thumbnail; the maps .jpg
        {{"名字", "", kMaterial}, 'b', '-'},  // the name stands in for the number
        {{"", "M", kModel}, 'b', 'b'},        // the model file's preview for both
        {{"", "M2", kModel}, 'g', 'g'},       // a model's xjpg goes before its preview
        {{"", "NONE", kModel}, '-', '-'},     // no model file: no preview is read
        {{"", "A", kModel}, 'r', 'b'},        // the kind does not matter for xjpg and jpg
    };
    for (const auto& c : cases) {
        Result<QImage> thumbnail = ReadThumbnailPicture(Source(), c.product);
        Result<QImage> details = ReadDetailsPicture(Source(), c.product);
        ASSERT_TRUE(thumbnail && details) << c.product.PartsNumber;
        EXPECT_EQ(Colour(*thumbnail), c.thumbnail) << c.product.PartsNumber;
        EXPECT_EQ(Colour(*details), c.details) << c.product.PartsNumber;
    }
    EXPECT_EQ(previewsRead, (std::vector<std::string>{"M.c2d", "M.c2d"}));
    // A map that does not read is its message, for both pictures.
    EXPECT_EQ(ReadThumbnailPicture(Source(), {"", "BAD", kMaterial}).error(), kMsgMapInvalid);
    EXPECT_EQ(ReadDetailsPicture(Source(), {"", "BAD", kMaterial}).error(), kMsgMapInvalid);
}

TEST_F(ProductPictures, LoaderHandsTheCellsBackInListOrder) {
    ProductThumbnailLoader loader(Source());
    std::mutex lock;
    std::vector<std::pair<int, int>> arrived;  // batch, index
    std::vector<QString> messages;
    std::vector<QImage> cells;
    QObject::connect(&loader, &ProductThumbnailLoader::thumbnailReady, &loader,
                     [&](int batch, int index, const QImage& cell, const QString& message) {
                         const std::lock_guard guard(lock);
                         arrived.emplace_back(batch, index);
                         cells.push_back(cell);
                         messages.push_back(message);
                     }, Qt::DirectConnection);
    std::vector<ThumbnailJob> many(200, ThumbnailJob{"", "A", kMaterial});
    const int first = loader.Start(many);
    // A new list stops the old one at once: nothing of it comes after.
    const int second = loader.Start({{"", "A", kMaterial}, {"", "BAD", kMaterial}, {"", "NONE", kMaterial}});
    loader.Finish();
    EXPECT_EQ(second, first + 1);
    std::vector<std::pair<int, int>> ofSecond;
    for (size_t i = 0; i < arrived.size(); ++i) {
        if (arrived[i].first == first) EXPECT_TRUE(ofSecond.empty());
        else ofSecond.push_back(arrived[i]);
    }
    ASSERT_EQ(ofSecond, (std::vector<std::pair<int, int>>{{second, 0}, {second, 1}, {second, 2}}));
    const size_t at = arrived.size() - 3;
    EXPECT_EQ(Colour(cells[at].copy(0, 20, 80, 40)), 'r');
    EXPECT_EQ(messages[at + 1], QString::fromUtf8(kMsgMapInvalid));
    EXPECT_EQ(cells[at + 2].pixel(40, 40), qRgb(255, 255, 255));
}

}  // namespace
}  // namespace v2d
