// Creation, first showing and closing of the main window.
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTimer>
#include <QUrl>

#include <filesystem>

#include "app/page_browser.h"
#include "app/picture_layer.h"
#include "app/uformmain.h"
#include "library/data_module.h"
#include "library/product_map.h"
#include "library/product_queries.h"
#include "library/pub_functions.h"
#include "base/picture_codec.h"

namespace v2d {

namespace {

// The product panel's descriptor before a product is chosen.
constexpr const char* kSampleProduct =
    "PartsName=布艺&PartsNumber=RY-043&PartsSpecs=600*600&PartsPrice=100.00&SalesName=维克赛尔样品";

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::filesystem::path ToPath(const QString& path) { return std::filesystem::path(path.toStdU16String()); }

}  // namespace

TFormMain::TFormMain(MainWindowSetup setup, QWidget* parent)
    : QMainWindow(parent), setup_(std::move(setup)), currentProduct_(kSampleProduct) {
    setObjectName("FormMain");
    if (setup_.prompts == nullptr) {
        ownPrompts_ = std::make_unique<WidgetPrompts>();
        prompts_ = ownPrompts_.get();
    } else {
        prompts_ = setup_.prompts;
    }
    BuildComponents();
    FormCreate();
}

TFormMain::~TFormMain() {
    if (qApp != nullptr) qApp->removeEventFilter(this);
}

QString TFormMain::ProgramPath(const QString& relative) const { return programFolder_ + "/" + relative; }

void TFormMain::FormCreate() {
    QApplication::setApplicationDisplayName(QString::fromUtf8(kApplicationTitle));
    setWindowTitle(QString::fromUtf8(kApplicationTitle));

    programFolder_ = setup_.programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : setup_.programFolder;
    while (programFolder_.size() > 1 && programFolder_.endsWith('/')) programFolder_.chop(1);
    QDir::setCurrent(programFolder_);

    // Every missing piece is reported; the program ends once they are all shown.
    for (const std::string& message : imageLibrary_.Load(programFolder_.toStdString())) {
        prompts_->Show(this, FromUtf8(message));
        terminateRequested_ = true;
    }

    if (!QFileInfo::exists(ProgramPath("temp"))) QDir().mkpath(ProgramPath("temp"));

    // The design-time picture becomes the background; the panel is centred.
    Image2->setPicture(scene_.background);
    LayoutView();

    // The overlay: a white canvas, white being transparent, on Image1 and Image3.
    ShowOverlay(FreshOverlay());
    qApp->installEventFilter(this);
}

void TFormMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_) return;
    shown_ = true;
    FormShow();
}

void TFormMain::FormShow() {
    NavigatePost(*CppWebBrowserAd, setup_.advertisementUrl, QString());
    if (QFileInfo::exists(ProgramPath("start/start.v2d"))) OpenScheme(ProgramPath("start/start.v2d"));
    TimerShowWeb->start();
    LabelHelp->hide();
    PanelHelp->hide();  // nothing to show until a hint is made visible
    if (dataModule_ != nullptr) {
        MergeUpdateDatabases();
        ShowNewestMaterial();
    }
}

void TFormMain::MergeUpdateDatabases() {
    const UpdateFolderReport report = MergeUpdateFolder(*dataModule_);
    for (const std::string& error : report.errors) prompts_->Show(this, FromUtf8(error));
}

void TFormMain::ShowNewestMaterial() {
    auto newest = ReadNewestMaterialProduct(*dataModule_);
    if (!newest) {
        prompts_->Show(this, FromUtf8(newest.error()));
        return;
    }
    if (!newest->has_value()) return;
    const ProductRow& row = **newest;
    LabelName->setText(QStringLiteral("名称：") + FromUtf8(row.PartsName));
    LabelNumber->setText(QStringLiteral("编号：") + FromUtf8(row.PartsNumber));
    LabelPrice->setText(QStringLiteral("价格：") + QString::number(row.PartsPrice, 'f', 2));
    LabelFact->setText(QStringLiteral("品牌：") + FromUtf8(row.SalesName));
    currentProduct_ = ProductDescriptor(row.PartsName, row.PartsNumber, row.SalesName, row.PartsSpecs);
    // The size edits follow the product, so the first tiling lays it at its
    // real size rather than at the panel's 600 x 600.
    const ProductSize size = ParseProductSpecs(row.PartsSpecs);
    EditPartsWidth->setText(QString::number(size.width));
    EditPartsHeight->setText(QString::number(size.height));

    const QString maps = ProgramPath("product/maps/") + FromUtf8(row.PartsNumber);
    if (QFileInfo::exists(maps + ".h2d")) {
        auto map = LoadProductMap(ToPath(maps + ".h2d"));
        if (!map) {
            prompts_->Show(this, FromUtf8(map.error()));
        } else {
            mapTolerance_ = map->tolerance;
            if (map->hasPicture()) {
                setProductPicture(map->picture);
                return;
            }
        }
    }
    if (QFileInfo::exists(maps + ".jpg")) {
        QImage picture;
        if (picture.load(maps + ".jpg", "JPG")) setProductPicture(picture.convertToFormat(QImage::Format_RGB32));
    }
}

void TFormMain::setProductPicture(const QImage& picture) {
    productPicture_ = picture;
    ImageParts->setPixmap(QPixmap::fromImage(picture));
}

void TFormMain::CppWebBrowserAdNavigateError() { CppWebBrowserAd->Tag = -1; }

void TFormMain::CppWebBrowserAdNavigateComplete() {
    if (CppWebBrowserAd->Tag != -1) return;
    const QString page = ProgramPath("say/ssno.htm");
    // One fallback per run: a local page that fails to show must not start
    // an endless round of error, completion and fallback.
    if (!QFileInfo::exists(page) || bannerFallbackUsed_) return;
    bannerFallbackUsed_ = true;
    CppWebBrowserAd->Tag = 0;
    NavigatePost(*CppWebBrowserAd, QUrl::fromLocalFile(QDir::cleanPath(page)).toString(), QString());
}

void TFormMain::SpeedButtonVedioClick() { QDesktopServices::openUrl(QUrl(QString::fromUtf8(kTutorialUrl))); }

void TFormMain::N2Click() {
    if (prompts_->Ask(this, QStringLiteral("是否退出软件?")) == PromptAnswer::Yes) close();
}

bool TFormMain::FormCloseQuery() {
    if (scene_.count() == 0) return true;
    switch (prompts_->Ask(this, QStringLiteral("退出软件前你要保存方案吗 ?"), PromptButtons::YesNoCancel)) {
        case PromptAnswer::Yes:
            // Only a written scheme lets the window close: a cancelled dialog or
            // a failed write would otherwise lose the scene.
            return SpeedButtonSaveFileClick() == SaveOutcome::Saved;
        case PromptAnswer::No: return true;
        default: return false;
    }
}

void TFormMain::closeEvent(QCloseEvent* event) {
    if (FormCloseQuery())
        event->accept();
    else
        event->ignore();
}

void TFormMain::resizeEvent(QResizeEvent* event) {
    // The bars follow the panel's size rather than showing whenever the window
    // changes: a bar over a picture that fits scrolls nothing.
    QMainWindow::resizeEvent(event);
    LayoutView();
}

}  // namespace v2d
