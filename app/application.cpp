#include "app/application.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QThread>

#include "app/uabout.h"
#include "app/uformhximage.h"
#include "app/uformloadtype.h"
#include "app/uformselparts.h"
#include "app/uformsuperlogin.h"
#include "widgets/interface_language.h"
#include "widgets/widget_helpers.h"
#include "base/process_setup.h"
#include "base/workspace_location.h"
#include "demo/workspace.h"
#include "library/data_module.h"
#include "templates/uformsample.h"
#include "templates/uformtemple.h"
#include "online/service_settings.h"
#include "tools/Uformcolor.h"
#include "web/uformproductie.h"
#include "web/uformwebtemp.h"

namespace v2d {

ApplicationWindows::ApplicationWindows() = default;
ApplicationWindows::~ApplicationWindows() {
    // The windows go before the data module they read through; the template
    // windows are the main window's children and go before it.
    temple.reset();
    sample.reset();
    about.reset();
    main.reset();
    productIE.reset();
    webTemplates.reset();
    loadType.reset();
    colour.reset();
    photo.reset();
    productBrowser.reset();
    dataModule.reset();
}

namespace {

void ShowSplash(int milliseconds) {
    TFormAbout splash;
    splash.setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
    splash.setWindowTitle(ShownText(kStartTitle));
    splash.resize(TFormAbout::kWidth, TFormAbout::kHeight);
    splash.show();
    splash.repaint();
    QElapsedTimer shown;
    shown.start();
    while (shown.elapsed() < milliseconds) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
}

// The demo workspace written on a first start, with a word on screen while
// it is made. Without the image library nothing is made: the start reports
// the library.
Status MakeMissingWorkspace(const std::filesystem::path& folder) {
    std::error_code error;
    if (std::filesystem::exists(folder, error)) return Status::Ok();
    ImageLibrary library;
    if (!library.Load(ImageLibrary::ProgramLibraryFolder()).empty()) return Status::Ok();
    QLabel note(QCoreApplication::translate("Messages", "正在创建工作文件夹 %1 …").arg(FromPath(folder)));
    note.setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
    note.setMargin(24);
    note.show();
    QCoreApplication::processEvents();
    return CreateWorkspaceIfMissing(folder, [&](const std::filesystem::path& scratch) {
        return demo::MakeWorkspace(scratch, library);
    });
}

}  // namespace

Result<StartupOptions> StartupFromArguments(const QStringList& arguments) {
    std::vector<std::string> given;
    for (const QString& a : arguments.mid(1)) given.push_back(a.toStdString());
    const auto taken = TakeWorkspaceArgument(given);
    if (!taken) return taken.failure();
    const WorkspaceChoice workspace = ChooseWorkspace({taken->folder, {}, ExecutableFolder(), UserDataHome()});
    if (workspace.kind == WorkspaceKind::User || workspace.kind == WorkspaceKind::Given)
        if (Status made = MakeMissingWorkspace(workspace.folder); !made) return made.failure();
    StartupOptions options;
    options.programFolder = FromPath(workspace.folder);
    options.libraryFolder = QString::fromStdString(ImageLibrary::ProgramLibraryFolder());
    for (const std::string& file : taken->rest)
        if (!file.empty() && file[0] != '-') options.startFile = QFileInfo(QString::fromStdString(file)).absoluteFilePath();
    return options;
}

std::unique_ptr<ApplicationWindows> CreateApplicationWindows(const StartupOptions& options) {
    if (options.splashMs > 0) ShowSplash(options.splashMs);

    // The one place the program folder becomes the current folder.
    const QString folder = options.programFolder.isEmpty() ? FromPath(ExecutableFolder())
                                                           : options.programFolder;
    QDir::setCurrent(folder);

    auto windows = std::make_unique<ApplicationWindows>();
    // The web service named in the workspace's settings; without one every
    // online page falls back to its local error page.
    const ServiceSettings service = ReadServiceSettings(ToPath(folder));
    const std::string host = service.host.empty() ? std::string("http://127.0.0.1:9") : service.host;
    MainWindowSetup setup;
    setup.programFolder = folder;
    setup.prompts = options.prompts;
    setup.advertisementUrl = options.advertisementUrl;
    if (!service.host.empty() && options.advertisementUrl == QString::fromUtf8(kAdvertisementUrl))
        setup.advertisementUrl = QString::fromStdString(AdvertisementPage(service.host));
    setup.templateBrowserDelayMs = options.templateBrowserDelayMs;
    setup.libraryFolder = options.libraryFolder;
    setup.startFile = options.startFile;
    windows->main = std::make_unique<TFormMain>(setup);
    windows->creationOrder << "TFormMain";
    const QString serviceName = QString::fromStdString(service.serviceName);
    const QString errorPage = folder + "/say/qrnv2010.html";
    windows->webTemplates = std::make_unique<TFormWebTemp>(
        serviceName, QString::fromStdString(TemplateCataloguePage(host)), errorPage);
    windows->creationOrder << "TFormWebTemp";
    windows->productIE = std::make_unique<TFormProductIE>(serviceName, errorPage);
    windows->creationOrder << "TFormProductIE";
    windows->main->setOnlineWindows(windows->webTemplates.get(), windows->productIE.get(), service.materialsOnline,
                                    QString::fromStdString(ProductCataloguePage(host)),
                                    QString::fromStdString(ModelCataloguePage(host)));

    // The data module comes fourth.
    auto module = TDataModule_Manager::DataModuleCreate(ToPath(folder));
    if (module) {
        windows->dataModule = std::move(*module);
        windows->main->setDataModule(windows->dataModule.get());
    } else {
        windows->main->prompts().Show(windows->main.get(), QString::fromStdString(module.error()));
    }
    windows->creationOrder << "TDataModule_Manager";

    // The browser fills its lists from the database when it is made.
    if (windows->dataModule != nullptr)
        windows->productBrowser = std::make_unique<TFormSelParts>(*windows->dataModule, windows->main->prompts(),
                                                                  windows->main->programFolder());
    windows->creationOrder << "TFormSelParts";
    windows->photo = std::make_unique<TFormHxImage>();
    if (windows->productBrowser != nullptr) windows->productBrowser->setPhotoWindow(windows->photo.get());
    windows->creationOrder << "TFormHxImage";

    // Deleting and storing templates need maintenance rights.
    RightsCheck rights;
    if (windows->dataModule != nullptr) {
        rights = [dm = windows->dataModule.get(), prompts = &windows->main->prompts()](QWidget* parent,
                                                                                      const QString& refusal) {
            return CheckRights(parent, *dm, *prompts, refusal);
        };
        windows->sample = std::make_unique<TFormSample>(*windows->dataModule, windows->main->prompts(),
                                                        windows->main->programFolder(), rights, windows->main.get());
        windows->temple = std::make_unique<TFormTemple>(*windows->dataModule, windows->main.get());
    }
    windows->creationOrder << "TFormSample";
    windows->creationOrder << "TFormTemple";
    windows->main->setTemplateWindows(windows->sample.get(), windows->temple.get(), rights);

    // The colour cards are drawn once, from the database, when they are made.
    windows->colour = std::make_unique<TFormColor>();
    if (windows->dataModule != nullptr) {
        if (Status drawn = windows->colour->FormCreate(*windows->dataModule); !drawn)
            windows->main->prompts().Show(windows->main.get(), QString::fromStdString(drawn.error()));
    }
    windows->main->setColourCards(windows->colour.get());
    windows->creationOrder << "TFormColor";

    windows->loadType = std::make_unique<TFormLoadType>();
    windows->main->setProductWindows(windows->productBrowser.get(), windows->loadType.get());
    windows->creationOrder << "TFormLoadType";

    windows->about = std::make_unique<TFormAbout>();
    windows->creationOrder << "TFormAbout";
    return windows;
}

int RunVexel2D(QApplication& app, const StartupOptions& options) {
    const auto windows = CreateApplicationWindows(options);
    if (windows->main->terminateRequested()) return 1;
    windows->main->RestorePlacement();
    windows->main->show();
    return app.exec();
}

}  // namespace v2d
