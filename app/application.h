#pragma once
// Program entry: titles, splash, the program folder as current directory, the
// windows in their fixed order (main window first, data module fourth), and
// the message loop.
#include <QString>
#include <QStringList>

#include <memory>

#include "app/uformmain.h"
#include "base/result.h"

class QApplication;

namespace v2d {

class TDataModule_Manager;
class TFormAbout;
class TFormColor;
class TFormHxImage;
class TFormLoadType;
class TFormSample;
class TFormSelParts;
class TFormTemple;
class TFormProductIE;
class TFormWebTemp;

inline constexpr const char* kStartTitle = "Vexel 配色选材软件2011";

struct StartupOptions {
    QString programFolder;           // the workspace; empty: the executable's folder
    QString libraryFolder;           // where VexellDll.so lies; empty: the program folder
    QString startFile;               // a scheme or model file opened first; empty: the start scheme
    UserPrompts* prompts = nullptr;  // not owned; null: the real message boxes
    int splashMs = 1000;
    QString advertisementUrl = QString::fromUtf8(kAdvertisementUrl);
    int templateBrowserDelayMs = 1000;
};

// Everything created at start-up, alive until the program ends.
struct ApplicationWindows {
    ApplicationWindows();
    ~ApplicationWindows();
    ApplicationWindows(const ApplicationWindows&) = delete;
    ApplicationWindows& operator=(const ApplicationWindows&) = delete;

    std::unique_ptr<TFormMain> main;
    std::unique_ptr<TFormWebTemp> webTemplates;
    std::unique_ptr<TFormProductIE> productIE;
    std::unique_ptr<TDataModule_Manager> dataModule;
    std::unique_ptr<TFormSelParts> productBrowser;  // null without a data module
    std::unique_ptr<TFormHxImage> photo;
    std::unique_ptr<TFormSample> sample;  // the template browser; null without a data module
    std::unique_ptr<TFormTemple> temple;  // the template name window; null without a data module
    std::unique_ptr<TFormColor> colour;  // the colour cards
    std::unique_ptr<TFormLoadType> loadType;
    std::unique_ptr<TFormAbout> about;
    QStringList creationOrder;  // class names, in the order they were made
};

// Steps 1 to 5 of the start-up: the titles, the splash for splashMs, the
// current directory and the windows. Showing the main window is the caller's.
std::unique_ptr<ApplicationWindows> CreateApplicationWindows(const StartupOptions& options);

// The options of a start from the command line,
//   vexel2d [--workspace DIR] [FILE.v2d | FILE.c2d]
// (arguments as QCoreApplication::arguments() gives them). The workspace is
// the one named, else the portable folder of the executable, else the
// user's; a missing one is made from the demo workspace first. The file is
// made absolute before the workspace becomes the current folder. The error
// is the message to show.
Result<StartupOptions> StartupFromArguments(const QStringList& arguments);

// The whole program (its language installed first by the caller); returns the exit code. A missing
// image library ends it before the main window is shown.
int RunVexel2D(QApplication& app, const StartupOptions& options);

}  // namespace v2d
