#pragma once
// The main window over a throw-away program folder, with the controls found
// by their names and the document it owns.
#include <gtest/gtest.h>

#include <QListWidget>
#include <QPainter>
#include <QTest>

#include <algorithm>
#include <memory>
#include <vector>

#include "app/picture_layer.h"
#include "app/uformmain.h"
#include "app_test_support.h"

namespace v2d::test {

class WindowTest : public ::testing::Test {
protected:
    // A workspace made by the command line (start scheme, database) or only
    // the image library beside an empty folder.
    void OpenWindow(bool workspace) {
        App();
        if (workspace) ASSERT_EQ(RunCli("make-workspace '" + ws_.path().string() + "'"), 0);
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
    }
    void TearDown() override { main_.reset(); }

    template <class T>
    T& Find(const char* name) { return Child<T>(*main_, name); }
    SceneDocument& Doc() { return main_->document(); }
    V2dPolygon& Record(int i) { return *Doc().scene().at(i); }
    QImage Shown() { return Doc().displayed().copy(); }
    const QImage& Overlay() { return Find<PictureLayer>("Image1").picture(); }

    // The rows ListBoxPoly shows selected.
    std::vector<int> ListSelection() {
        auto& list = Find<QListWidget>("ListBoxPoly");
        std::vector<int> rows;
        for (const QListWidgetItem* item : list.selectedItems()) rows.push_back(list.row(item));
        std::sort(rows.begin(), rows.end());
        return rows;
    }
    void Click(QPoint at, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mouseClick(&Find<PictureLayer>("Image1"), Qt::LeftButton, modifiers, at);
    }
    void UseProduct(const QImage& picture, const char* descriptor) {
        CurrentProduct product = Doc().product();
        product.picture = picture;
        product.descriptor = descriptor;
        Doc().SetProduct(std::move(product));
    }
    void ClickButton(const char* name) { QTest::mouseClick(&Find<QWidget>(name), Qt::LeftButton); }
    // The key goes where the user's key would: the focused control.
    void Key(int key, Qt::KeyboardModifiers modifiers = {}) {
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus != nullptr && focus->window() == main_.get() ? focus : main_.get(),
                        static_cast<Qt::Key>(key), modifiers);
    }

    TempFolder ws_;
    ScriptedPrompts prompts_;
    std::unique_ptr<TFormMain> main_;
};

// A product of two pure colours in a 2 x 2 checker.
inline QImage Checker(QColor a, QColor b, int side = 64) {
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(a);
    QPainter p(&image);
    p.fillRect(side / 2, 0, side - side / 2, side / 2, b);
    p.fillRect(0, side / 2, side / 2, side - side / 2, b);
    return image;
}

}  // namespace v2d::test
