#pragma once
// The main window over a generated workspace with its demo room open, and
// the picture checks the rendering tests share.
#include <gtest/gtest.h>

#include <QPainter>
#include <QProgressBar>
#include <QTest>
#include <QToolButton>

#include <memory>
#include <vector>

#include "app/picture_layer.h"
#include "models/scene_selection.h"
#include "app/uformmain.h"
#include "app_test_support.h"

namespace v2d::test {

// Where a pixel lies against a record's outline. Pixels within two pixels
// of the outline are left out: the outline is drawn anti-aliased.
enum class Side { Outside, Edge, Inside };

class OutlineMask {
public:
    OutlineMask(const V2dPolygon& record, QSize size) : mask_(size, QImage::Format_RGB32) {
        mask_.fill(Qt::black);
        QPainter painter(&mask_);
        const QPainterPath path = OutlinePath(record);
        painter.fillPath(path, Qt::white);
        painter.strokePath(path, QPen(QColor(128, 128, 128), 4));
    }
    Side at(int x, int y) const {
        const QRgb p = mask_.pixel(x, y);
        return p == qRgb(255, 255, 255) ? Side::Inside : p == qRgb(0, 0, 0) ? Side::Outside : Side::Edge;
    }

private:
    QImage mask_;
};

struct PixelChanges {
    int insideChanged = 0, insideTotal = 0, outsideChanged = 0;
};

inline PixelChanges CompareAgainstOutline(const QImage& before, const QImage& after, const OutlineMask& mask) {
    PixelChanges c;
    for (int y = 0; y < before.height(); ++y) {
        for (int x = 0; x < before.width(); ++x) {
            const bool changed = (before.pixel(x, y) & 0xFFFFFF) != (after.pixel(x, y) & 0xFFFFFF);
            switch (mask.at(x, y)) {
                case Side::Inside: ++c.insideTotal, c.insideChanged += changed; break;
                case Side::Outside: c.outsideChanged += changed; break;
                case Side::Edge: break;
            }
        }
    }
    return c;
}

// A product of two pure colours in a 2 x 2 checker.
inline QImage Checker(QColor a, QColor b, int side = 64) {
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(a);
    QPainter p(&image);
    p.fillRect(side / 2, 0, side - side / 2, side / 2, b);
    p.fillRect(0, side / 2, side / 2, side - side / 2, b);
    return image;
}

inline const char* const kTileA = "PartsName=测试砖A&PartsNumber=T-A&SalesName=样品&PartsSpecs=600*600&FanSheXiShu=0";
inline const char* const kTileB = "PartsName=测试砖B&PartsNumber=T-B&SalesName=样品&PartsSpecs=300*300&FanSheXiShu=0";

class RenderingWindow : public ::testing::Test {
protected:
    void SetUp() override {
        App();
        ASSERT_EQ(RunCli("make-workspace '" + ws_.path().string() + "'"), 0);
        CopyImageLibrary(ws_.path());
        MainWindowSetup setup;
        setup.programFolder = ws_.qpath();
        setup.prompts = &prompts_;
        setup.advertisementUrl = "http://127.0.0.1:9/ad";
        setup.templateBrowserDelayMs = 100000;
        main_ = std::make_unique<TFormMain>(setup);
        ASSERT_FALSE(main_->terminateRequested()) << prompts_.texts.join("|").toStdString();
        main_->show();  // the first showing opens the start scheme
        ASSERT_TRUE(QTest::qWaitForWindowExposed(main_.get()));
        main_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(main_.get()));
        ASSERT_GT(main_->scene().count(), 0);
        floor_ = FindRegion("地面");
        wall_ = FindRegion("背景墙");
        ASSERT_GE(floor_, 0);
        ASSERT_GE(wall_, 0);
        QObject::connect(main_->ProgressBar1, &QProgressBar::valueChanged, [this](int v) {
            progressValues_.push_back(v);
            if (v == 100) ++completedRedraws_;
        });
    }
    void TearDown() override {
        main_.reset();
        std::filesystem::current_path(std::filesystem::temp_directory_path());
    }

    int FindRegion(const char* name) const {
        for (int i = 0; i < main_->scene().count(); ++i)
            if (main_->scene().at(i)->name == name) return i;
        return -1;
    }
    V2dPolygon& Record(int i) { return *main_->scene().at(i); }
    QImage Shown() const { return main_->displayedScene().copy(); }

    void UseProduct(const QImage& picture, const char* descriptor) {
        main_->setProductPicture(picture);
        main_->setCurrentProduct(descriptor);
    }
    // Tiles region i alone with the product in the panel, through the button.
    void TileAlone(int i) {
        main_->SelectRecord(i);
        ASSERT_TRUE(main_->BitBtnApply->isEnabled());
        QTest::mouseClick(main_->BitBtnApply, Qt::LeftButton);
    }

    TempFolder ws_;
    ScriptedPrompts prompts_;
    std::unique_ptr<TFormMain> main_;
    int floor_ = -1, wall_ = -1;
    std::vector<int> progressValues_;
    int completedRedraws_ = 0;
};

}  // namespace v2d::test
