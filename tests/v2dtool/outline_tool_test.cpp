// The outline tool: a region clicked on a photo, saved and read back by the
// core; a bad region refused with nothing written; edits undone.
#include <QApplication>
#include <QLineEdit>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "base/atomic_file.h"
#include "base/picture_codec.h"
#include "scene/scheme_file.h"
#include "v2dtool/outline_canvas.h"
#include "v2dtool/outline_window.h"

namespace v2d::tool {
namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "v2dtool_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);  // never torn down among the exit handlers
    return *app;
}

struct OutlineTool : ::testing::Test {
    QTemporaryDir dir;
    QStringList messages;
    QString photo;
    void SetUp() override {
        App();
        QImage image(400, 300, QImage::Format_RGB32);
        image.fill(QColor(120, 110, 100));
        photo = dir.filePath("room.jpg");
        ASSERT_TRUE(WriteFileAtomically(photo.toStdString(), *EncodeJpeg(image, 90)));
    }
    std::function<void(const QString&)> Collect() {
        return [this](const QString& m) { messages << m; };
    }
};

TEST_F(OutlineTool, ARegionClickedOnAPhotoIsSavedAndReadBackByTheCore) {
    TFormV2dTool window(Collect());
    ASSERT_TRUE(window.OpenFile(photo));
    OutlineCanvas* canvas = window.canvas();
    canvas->SetZoom(2.0);  // clicks land on whole photo pixels
    window.ActionNewRegionClick(true);
    for (V2d_Point p : {V2d_Point{10, 200}, {390, 200}, {390, 290}, {10, 290}})
        QTest::mouseClick(canvas, Qt::LeftButton, {}, canvas->WidgetPoint(p));
    ASSERT_EQ(window.editor().draft().size(), 4u);
    window.findChild<QLineEdit*>("EditName")->setText(QStringLiteral("地面"));
    window.ActionFinishRegionClick();  // no real size yet: refused, the draft kept
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("实际宽度和高度必须大于0")));
    EXPECT_EQ(window.editor().draft().size(), 4u);
    window.findChild<QSpinBox*>("SpinWidth")->setValue(4000);
    window.findChild<QSpinBox*>("SpinHeight")->setValue(3000);
    window.ActionFinishRegionClick();
    ASSERT_EQ(window.editor().scene().count(), 1);
    EXPECT_EQ(canvas->current(), 0);

    const QString out = dir.filePath("room.v2d");
    ASSERT_TRUE(window.SaveTo(out));
    Result<SchemeFile> read = ReadSchemeFile(out.toStdString());
    ASSERT_TRUE(read.ok()) << read.error();
    EXPECT_EQ(read->version, kSchemeVersion);
    ASSERT_EQ(read->scene.count(), 1);
    const V2dPolygon& floor = *read->scene.at(0);
    EXPECT_EQ(floor.name, "地面");
    EXPECT_EQ(floor.points, (std::vector<V2d_Point>{{10, 200}, {390, 200}, {390, 290}, {10, 290}}));
    EXPECT_EQ(floor.realWidth, 4000);
    EXPECT_EQ(floor.corners[2], (V2d_Point{390, 290}));
    EXPECT_EQ(read->scene.background.size(), QSize(400, 300));
}

TEST_F(OutlineTool, EditsAreUndoneAndPointsOutsideThePhotoOrTooFewAreRefused) {
    OutlineEditor editor;
    ASSERT_TRUE(editor.StartFromPhoto(photo.toStdString()).ok());
    EXPECT_FALSE(editor.AddDraftPoint({400, 10}).ok());
    for (V2d_Point p : {V2d_Point{0, 0}, {100, 0}, {100, 100}}) ASSERT_TRUE(editor.AddDraftPoint(p).ok());
    ASSERT_TRUE(editor.FinishDraft("wall", 3000, 2800).ok());
    EXPECT_FALSE(editor.DeletePoint(0, 1).ok());  // three points stay
    ASSERT_TRUE(editor.MovePoint(0, 1, {120, 5}).ok());
    ASSERT_TRUE(editor.MovePoint(0, 1, {130, 6}, false).ok());  // the same drag
    ASSERT_TRUE(editor.MoveCorner(0, 2, {150, 140}).ok());
    ASSERT_TRUE(editor.DeleteRegion(0).ok());
    EXPECT_EQ(editor.scene().count(), 0);
    ASSERT_TRUE(editor.Undo());
    EXPECT_EQ(editor.scene().at(0)->corners[2], (V2d_Point{150, 140}));
    ASSERT_TRUE(editor.Undo());
    EXPECT_EQ(editor.scene().at(0)->points[1], (V2d_Point{130, 6}));
    ASSERT_TRUE(editor.Undo());
    EXPECT_EQ(editor.scene().at(0)->points[1], (V2d_Point{100, 0}));
    ASSERT_TRUE(editor.Undo());
    EXPECT_EQ(editor.scene().count(), 0);
    EXPECT_FALSE(editor.Undo());
    EXPECT_FALSE(editor.OpenScheme(photo.toStdString()).ok());  // a photo is no scheme
}

}  // namespace
}  // namespace v2d::tool
