#pragma once
// Shared pieces of the window tests: the application object, a scripted
// message-box seam, throw-away program folders made with the command line,
// and the main window over one with its controls found by their names.
#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QPainter>
#include <QTest>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <deque>
#include <functional>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <unistd.h>

#include "app/handle_layer.h"
#include "app/hint_layer.h"
#include "app/overlay_layer.h"
#include "app/picture_layer.h"
#include "app/scene_view.h"
#include "app/uformmain.h"

namespace v2d::test {

// Made once and never destroyed: a static QApplication torn down among the
// exit handlers meets input devices that the test library already freed.
inline QApplication& App() {
    static int argc = 1;
    static char name[] = "app_window_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// A control found by its object name; a missing one fails the test.
template <class T>
T& Child(const QObject& root, const char* name) {
    T* found = root.findChild<T*>(QString::fromLatin1(name));
    if (found == nullptr) throw std::runtime_error(std::string("no control named ") + name);
    return *found;
}

// Answers from a script (an empty script cancels) and keeps every text shown.
class ScriptedPrompts final : public UserPrompts {
public:
    std::deque<PromptAnswer> answers;  // for Yes/No boxes, in order
    std::deque<QString> saveNames;     // "" cancels the dialog
    std::deque<QString> openNames;
    std::deque<std::optional<QColor>> colours;  // the colour dialog's answers
    QStringList texts;
    QList<QUrl> openedUrls;  // what the shell's "open" was handed
    int saveDialogs = 0;

    PromptAnswer Message(QWidget*, const QString& text, PromptButtons buttons, PromptIcon) override {
        texts << text;
        return buttons == PromptButtons::Ok ? PromptAnswer::Ok : Next(answers, PromptAnswer::Cancel);
    }
    QString SaveFileName(QWidget*, const QString&, const QString&, const QString&) override {
        ++saveDialogs;
        return Next(saveNames, QString());
    }
    QString OpenFileName(QWidget*, const QString&, const QString&) override { return Next(openNames, QString()); }
    std::optional<QColor> ChooseColour(QWidget*, const QColor&) override {
        return Next(colours, std::optional<QColor>());
    }
    bool browserFails = false;  // the shell's "open" finds no program
    void OpenUrl(const QUrl& url, std::function<void()> failed) override {
        openedUrls << url;
        if (browserFails && failed) failed();
    }

private:
    template <class T>
    static T Next(std::deque<T>& script, T none) {
        if (script.empty()) return none;
        T next = script.front();
        script.pop_front();
        return next;
    }
};

// Until the window's work off its thread (a laying, the merge) has ended.
inline void WaitUntilIdle(const TFormMain& main) {
    for (int i = 0; i < 6000 && main.busy(); ++i) QTest::qWait(5);
}

class TempFolder {
public:
    TempFolder() {
        static std::atomic<int> counter{0};
        root_ = std::filesystem::temp_directory_path() /
                ("vexel-app-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
    const std::filesystem::path& path() const { return root_; }
    QString qpath() const { return QString::fromStdString(root_.string()); }

private:
    std::filesystem::path root_;
};

inline int RunCli(const std::string& arguments) {
    const std::string command = std::string("'") + VEXEL_CLI + "' " + arguments + " >/dev/null 2>&1";
    return std::system(command.c_str());
}

inline void CopyImageLibrary(const std::filesystem::path& folder) {
    std::filesystem::copy_file(VEXELL_LIBRARY, folder / "VexellDll.so",
                               std::filesystem::copy_options::overwrite_existing);
}

class WindowTest : public ::testing::Test {
protected:
    // With a workspace: the command line's demo (start scheme, database);
    // without: only the image library in the program folder.
    void OpenWindow(bool workspace) {
        App();
        if (workspace) {
            ASSERT_EQ(RunCli("make-workspace '" + ws_.path().string() + "'"), 0);
        }
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
        WaitUntilIdle();
    }
    void TearDown() override { main_.reset(); }

    template <class T>
    T& Find(const char* name) { return Child<T>(*main_, name); }
    SceneDocument& Doc() { return main_->document(); }
    const V2dPolygon& Record(int i) { return *Doc().scene().at(i); }
    QImage Shown() { return Doc().displayed().copy(); }
    QImage Overlay() { return Find<OverlayLayer>("Image1").picture(); }
    SceneView& View() { return Find<SceneView>("PanelView"); }
    QWidget& Viewport() { return Find<QWidget>("PanelBack"); }  // the view's visible area
    QPoint OnView(QPoint picturePixel) { return picturePixel + View().ViewOffset(); }
    // A handle as the person sees it: where its box is and whether it shows.
    struct HandleLook {
        QPoint at;
        bool shown;
        QPoint pos() const { return at; }
        bool isVisible() const { return shown; }
    };
    HandleLook Handle(const char* name) {
        const auto& handles = Find<HandleLayer>("Image3");
        return {handles.pos(HandleLayer::IndexOf(QString::fromLatin1(name))), handles.isVisible()};
    }
    std::vector<int> ListSelection() {  // the rows ListBoxPoly shows selected
        auto& list = Find<QListWidget>("ListBoxPoly");
        std::vector<int> rows;
        for (const QListWidgetItem* item : list.selectedItems()) rows.push_back(list.row(item));
        std::sort(rows.begin(), rows.end());
        return rows;
    }
    void Click(QPoint at, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mouseClick(&Viewport(), Qt::LeftButton, modifiers, OnView(at));
    }
    // A button's work (a laying among it) has ended when this returns.
    void ClickButton(const char* name) {
        QTest::mouseClick(&Find<QWidget>(name), Qt::LeftButton);
        WaitUntilIdle();
    }
    void WaitUntilIdle() { test::WaitUntilIdle(*main_); }
    // The key goes where the user's key would: the focused control.
    void Key(int key, Qt::KeyboardModifiers modifiers = {}) {
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus != nullptr && focus->window() == main_.get() ? focus : main_.get(),
                        static_cast<Qt::Key>(key), modifiers);
    }
    void UseProduct(const QImage& picture, const char* descriptor) {
        CurrentProduct product = Doc().product();
        product.picture = picture;
        product.product = Product::Parse(descriptor);
        Doc().SetProduct(std::move(product));
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
