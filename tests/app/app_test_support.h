#pragma once
// Shared pieces of the window tests: the application object, a scripted
// message-box seam and throw-away workspaces made with the command line.
#include <QApplication>
#include <QStringList>

#include <atomic>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>

#include <unistd.h>

#include "app/user_prompts.h"

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

// Answers questions from a script and keeps every text it was shown.
class ScriptedPrompts final : public UserPrompts {
public:
    std::deque<PromptAnswer> answers;  // for Yes/No boxes, in order
    std::deque<QString> saveNames;     // "" cancels the dialog
    std::deque<QString> openNames;
    std::deque<std::optional<QColor>> colours;  // the colour dialog's answers; empty cancels
    QStringList texts;
    int saveDialogs = 0;

    PromptAnswer Message(QWidget*, const QString& text, PromptButtons buttons, PromptIcon) override {
        texts << text;
        if (buttons == PromptButtons::Ok) return PromptAnswer::Ok;
        if (answers.empty()) return PromptAnswer::Cancel;
        const PromptAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    QString SaveFileName(QWidget*, const QString&, const QString&, const QString&) override {
        ++saveDialogs;
        if (saveNames.empty()) return {};
        QString name = saveNames.front();
        saveNames.pop_front();
        return name;
    }
    std::optional<QColor> ChooseColour(QWidget*, const QColor&) override {
        if (colours.empty()) return std::nullopt;
        std::optional<QColor> colour = colours.front();
        colours.pop_front();
        return colour;
    }
    QString OpenFileName(QWidget*, const QString&, const QString&) override {
        if (openNames.empty()) return {};
        QString name = openNames.front();
        openNames.pop_front();
        return name;
    }
};

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

}  // namespace v2d::test
