#pragma once
// A scheme opened for a command as the window opens it: the image library,
// the document, and the terminal's bar following its progress.
#include <QObject>

#include <memory>
#include <string>

#include "base/result.h"
#include "cli/terminal_bar.h"
#include "document/scene_document.h"
#include "imagelib/image_library.h"

namespace v2d::cli {

// The terminal's bar follows the document's progress.
class ProgressBar {
public:
    ProgressBar(std::string label, const SceneDocument& doc) : bar_(std::move(label)) {
        if (bar_.shown()) connection_ = QObject::connect(&doc, &SceneDocument::progressChanged, [this](int p) { bar_.Draw(p); });
    }
    ~ProgressBar() { QObject::disconnect(connection_); }
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

private:
    TerminalBar bar_;
    QMetaObject::Connection connection_;
};

struct Session {
    ImageLibrary library;
    std::unique_ptr<SceneDocument> doc;
};

// Loads the library and opens the scheme, every record rendered: then
// doc->displayed() is the rendering as the window shows it.
Status OpenSession(Session& s, const std::string& scheme);

}  // namespace v2d::cli
