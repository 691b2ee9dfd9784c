// Loading VexellDll.so by name and the messages for what is missing.
#include "imagelib/image_library.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <fstream>

namespace v2d {
namespace {

const std::string kLibraryMissing = "VexellDll.dll加载失败";
const std::string kExportMissing = "VexellDll.dll函数加载失败";
const std::string kBumpMapMissing = "GetBumpMap函数加载失败";
const std::string kBlurMissing = "GaussBlurCV2函数加载失败";

// transform, GaussBlur, GetBumpMap, atransform, TransformMesh, PsTransPoint,
// TransPoint, aTransPoint, GaussBlurCV2.
const std::vector<std::string> kNothingLoaded = {
    kLibraryMissing, kExportMissing, kExportMissing, kBumpMapMissing, kExportMissing,
    kExportMissing,  kExportMissing, kExportMissing, kExportMissing,  kBlurMissing,
};

TEST(ImageLibraryLoading, TheBuiltLibraryLoadsWithAllNineExports) {
    ImageLibrary library;
    EXPECT_TRUE(library.Load(VEXELL_LIBRARY_DIR).empty());
    EXPECT_TRUE(library.IsLoaded());
}

TEST(ImageLibraryLoading, AFolderWithoutTheLibraryGivesItsMessageAndOnePerExport) {
    QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    ImageLibrary library;
    EXPECT_EQ(library.Load(empty.path().toStdString()), kNothingLoaded);
    EXPECT_FALSE(library.IsLoaded());
    EXPECT_FALSE(library.LoadFailureDetail().empty());
}

TEST(ImageLibraryLoading, AFileThatIsNoLibraryIsTreatedAsMissing) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    std::ofstream(folder.filePath("VexellDll.so").toStdString()) << "not a shared object";
    ImageLibrary library;
    EXPECT_EQ(library.Load(folder.path().toStdString()), kNothingLoaded);
}

TEST(ImageLibraryLoading, ALibraryWithSomeExportsNamesEachMissingOneInOrder) {
    // The stand-in has transform, atransform, PsTransPoint and TransPoint.
    ImageLibrary library;
    const std::vector<std::string> expected = {kExportMissing, kBumpMapMissing, kExportMissing, kExportMissing,
                                               kBlurMissing};
    EXPECT_EQ(library.Load(VEXELL_STUB_DIR), expected);
    EXPECT_FALSE(library.IsLoaded());

    // What was found is the stand-in's own; what was not, yields nothing.
    const std::array<V2d_Point, 4> quad = {V2d_Point{0, 0}, V2d_Point{9, 0}, V2d_Point{9, 9}, V2d_Point{0, 9}};
    const std::vector<V2d_Point> one = {{1, 1}};
    const auto marked = library.TransPoint(one, quad);
    ASSERT_TRUE(marked);
    EXPECT_EQ(marked->front(), (V2d_Point{7, 7}));
    EXPECT_FALSE(library.ATransPoint(one, quad));
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(0);
    EXPECT_TRUE(library.GetBumpMap(picture, ReliefKind::Raised).isNull());
}

TEST(ImageLibraryLoading, ReloadingReplacesWhatWasLoaded) {
    ImageLibrary library;
    ASSERT_TRUE(library.Load(VEXELL_LIBRARY_DIR).empty());
    QTemporaryDir empty;
    EXPECT_EQ(library.Load(empty.path().toStdString()).size(), 10u);
    EXPECT_FALSE(library.IsLoaded());
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(0);
    EXPECT_TRUE(library.GaussBlurCV2(picture, 1, 1.0).isNull());
}

TEST(ImageLibraryLoading, MovingHandsTheLoadedLibraryOver) {
    ImageLibrary first;
    ASSERT_TRUE(first.Load(std::string(VEXELL_LIBRARY_DIR) + "/").empty());
    ImageLibrary second = std::move(first);
    EXPECT_TRUE(second.IsLoaded());
    EXPECT_FALSE(first.IsLoaded());  // NOLINT(bugprone-use-after-move): a moved-from library is empty
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(qRgb(1, 2, 3));
    EXPECT_EQ(second.GaussBlurCV2(picture, 1, 1.0), picture);
}

}  // namespace
}  // namespace v2d
