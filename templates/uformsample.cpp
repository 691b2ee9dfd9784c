#include "templates/uformsample.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <QToolButton>

#include <algorithm>
#include <system_error>

#include "widgets/user_prompts.h"
#include "widgets/widget_helpers.h"
#include "base/integer_text.h"
#include "library/product_queries.h"
#include "templates/template_store.h"

namespace v2d {
namespace fs = std::filesystem;

namespace {

constexpr int kCaptionWidth = 236, kCaptionHeight = 33, kColumnStep = 252, kRowStep = 197;
constexpr int kGridLeft = 30, kGridTop = 100;
constexpr const char* kMsgEnterPage = QT_TRANSLATE_NOOP("Messages", "请输入要跳转到的页面");
constexpr const char* kMsgTemplateLost = QT_TRANSLATE_NOOP("Messages", "该样板房不存在，可能数据文件丢失！");
constexpr const char* kMsgDeleteQuestion = QT_TRANSLATE_NOOP("Messages", "删除该模板文件后不能恢复，是否删除该模板文件?");
constexpr const char* kMsgNoDeleteRights = QT_TRANSLATE_NOOP("Messages", "您没有维护权限，不能删除模板。");

// The window's background picture: a warm paper tone under a title band.
QPixmap BackgroundPicture(QSize size) {
    QPixmap picture(size);
    QPainter p(&picture);
    QLinearGradient paper(0, 0, 0, size.height());
    paper.setColorAt(0, QColor(0xfb, 0xf8, 0xf3));
    paper.setColorAt(1, QColor(0xee, 0xe6, 0xda));
    p.fillRect(picture.rect(), paper);
    p.fillRect(QRect(0, 0, size.width(), 52), QColor(0x8a, 0x6a, 0x45));
    p.setPen(Qt::white);
    QFont title(QStringLiteral("Noto Sans CJK SC"));
    title.setPixelSize(22);
    title.setBold(true);
    p.setFont(title);
    p.drawText(QRect(30, 0, 400, 52), Qt::AlignVCenter | Qt::AlignLeft, QCoreApplication::translate("v2d::TFormSample", "装修模板"));
    title.setPixelSize(13);
    title.setBold(false);
    p.setFont(title);
    p.drawText(QRect(0, 0, size.width() - 30, 52), Qt::AlignVCenter | Qt::AlignRight,
               QCoreApplication::translate("v2d::TFormSample", "选一间样板房，开始搭配"));
    p.setPen(QColor(0xd6, 0xc9, 0xb5));
    p.drawLine(30, 505, size.width() - 30, 505);
    p.setPen(QColor(0x8a, 0x6a, 0x45));
    p.drawRect(picture.rect().adjusted(0, 0, -1, -1));
    return picture;
}

QLabel* MakeLabel(const QString& text, QWidget* parent, QRect geometry) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(geometry);
    label->setStyleSheet(QStringLiteral("color:#5a4128;"));
    return label;
}

QToolButton* MakeNavButton(const char* name, const QString& caption, QWidget* parent, QRect geometry) {
    QToolButton* button = MakeButton(QString::fromLatin1(name), caption, parent);
    button->setGeometry(geometry);
    button->setStyleSheet(QStringLiteral(
        "QToolButton{color:#fff;background:#8a6a45;border-radius:3px;}"
        "QToolButton:hover{background:#a07c52;}QToolButton:disabled{background:#c9bba8;}"));
    return button;
}

}  // namespace

TFormSample::TFormSample(Db& dm, UserPrompts& prompts, QString programFolder, RightsCheck rights, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint),
      dm_(dm),
      prompts_(prompts),
      programFolder_(std::move(programFolder)),
      rights_(std::move(rights)) {
    setObjectName(QStringLiteral("TFormSample"));
    setWindowTitle(tr("装修模板"));
    setFixedSize(800, 600);
    ImageBack = Named(new QLabel(this), QStringLiteral("ImageBack"));
    ImageBack->setGeometry(rect());
    ImageBack->setPixmap(BackgroundPicture(size()));

    MakeLabel(tr("房间类型"), this, {30, 62, 64, 26});
    ComboBoxSales = Named(new QComboBox(this), QStringLiteral("ComboBoxSales"));
    ComboBoxSales->setGeometry(94, 62, 160, 26);
    MakeLabel(tr("装修风格"), this, {282, 62, 64, 26});
    ComboBoxStyle = Named(new QComboBox(this), QStringLiteral("ComboBoxStyle"));
    ComboBoxStyle->setGeometry(346, 62, 160, 26);

    for (int i = 0; i < kTemplatePageSize; ++i) {
        const int left = kGridLeft + (i % 3) * kColumnStep, top = kGridTop + (i / 3) * kRowStep;
        QLabel* tile = Named(new QLabel(this), QStringLiteral("Image%1").arg(i + 1));
        tile->setGeometry(left + (kCaptionWidth - kTemplateThumbnailSize.width()) / 2, top,
                          kTemplateThumbnailSize.width(), kTemplateThumbnailSize.height());
        tile->setAlignment(Qt::AlignCenter);
        tile->setStyleSheet(QStringLiteral("background:#fff;border:1px solid #cdbda6;"));
        tile->installEventFilter(this);
        tile->setCursor(Qt::PointingHandCursor);
        QToolButton* caption = MakeButton(QStringLiteral("SpeedButton%1").arg(i + 1), QString(), this);
        caption->setGeometry(left, top + kTemplateThumbnailSize.height() + 2, kCaptionWidth, kCaptionHeight);
        caption->setStyleSheet(QStringLiteral("QToolButton{color:#3b2f22;font-size:14px;border:none;}"
                                              "QToolButton:hover{color:#8a6a45;text-decoration:underline;}"));
        connect(caption, &QToolButton::clicked, this, [this, i] { OpenTile(i, true); });
        tiles_[static_cast<size_t>(i)] = tile;
        captions_[static_cast<size_t>(i)] = caption;
    }

    QToolButton* up = MakeNavButton("SButtonPageUp", tr("上一页"), this, {30, 530, 76, 30});
    QToolButton* down = MakeNavButton("SButtonPageDown", tr("下一页"), this, {114, 530, 76, 30});
    LabelPage = Named(MakeLabel(QString(), this, {210, 530, 150, 30}), QStringLiteral("LabelPage"));
    MakeLabel(tr("跳转到第"), this, {420, 530, 60, 30});
    EditJump = Named(new QLineEdit(this), QStringLiteral("EditJump"));
    EditJump->setGeometry(480, 532, 50, 26);
    EditJump->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,6}")), EditJump));
    MakeLabel(tr("页"), this, {536, 530, 20, 30});
    QToolButton* close = MakeNavButton("SButtonClose", tr("关闭"), this, {694, 530, 76, 30});
    connect(up, &QToolButton::clicked, this, &TFormSample::SButtonPageUpClick);
    connect(down, &QToolButton::clicked, this, &TFormSample::SButtonPageDownClick);
    connect(close, &QToolButton::clicked, this, &TFormSample::SButtonCloseClick);
    connect(EditJump, &QLineEdit::returnPressed, this, &TFormSample::EditJumpReturn);

    PopupMenu1 = Named(new QMenu(this), QStringLiteral("PopupMenu1"));
    QAction* remove = PopupMenu1->addAction(tr("删除该模板"));
    remove->setObjectName(QStringLiteral("DeleteTemple"));
    connect(remove, &QAction::triggered, this, &TFormSample::DeleteTempleClick);

    connect(&loader_, &TemplatePictureLoader::pictureReady, this, [this](int batch, int index, const QImage& picture) {
        if (batch != loader_.batch() || index < 0 || index >= kTemplatePageSize) return;
        const auto i = static_cast<size_t>(index);
        tileHasPicture_[i] = !picture.isNull();
        if (picture.isNull()) return;
        tiles_[i]->setPixmap(QPixmap::fromImage(
            picture.scaled(kTemplateThumbnailSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
    });
    FormCreate();
}

TFormSample::~TFormSample() { loader_.Stop(); }

void TFormSample::FormCreate() {
    ComboBoxSales->addItem(tr("--所有类型--"));
    ComboBoxStyle->addItem(tr("--所有风格--"));
    if (auto rooms = ReadRoomTypes(dm_))
        for (const NamedID& r : *rooms) ComboBoxSales->addItem(FromUtf8(r.name), QVariant::fromValue<qlonglong>(r.id));
    if (auto styles = ReadStyles(dm_))
        for (const NamedID& s : *styles) ComboBoxStyle->addItem(FromUtf8(s.name), QVariant::fromValue<qlonglong>(s.id));
    ComboBoxSales->setCurrentIndex(0);
    ComboBoxStyle->setCurrentIndex(0);
    connect(ComboBoxSales, &QComboBox::currentIndexChanged, this, &TFormSample::FilterChanged);
    connect(ComboBoxStyle, &QComboBox::currentIndexChanged, this, &TFormSample::FilterChanged);
    EmptyTiles();
}

TemplateFilter TFormSample::Filter() const {
    auto carried = [](const QComboBox* box) -> std::optional<int64_t> {
        if (box->currentIndex() <= 0) return std::nullopt;
        return box->currentData().toLongLong();
    };
    return TemplateFilter{carried(ComboBoxStyle), carried(ComboBoxSales)};
}

void TFormSample::EmptyTiles() {
    loader_.Stop();
    for (size_t i = 0; i < tiles_.size(); ++i) {
        tiles_[i]->clear();
        captions_[i]->setText(QString());
        captions_[i]->setDown(false);
        captions_[i]->setEnabled(false);
        tileIDs_[i].reset();
        tileHasPicture_[i] = false;
    }
}

PageOutcome TFormSample::ShowPage(int page, int pageSize) {
    pageSize = std::clamp(pageSize, 1, kTemplatePageSize);
    Result<TemplatePage> read = ReadTemplatePage(dm_, Filter(), page, pageSize);
    if (!read) {
        prompts_.Show(this, FromUtf8(read.error()));
        return PageOutcome::NoRows;
    }
    if (read->outcome == PageOutcome::NoRows || (read->outcome == PageOutcome::Missing && filterChanged_)) EmptyTiles();
    if (read->outcome != PageOutcome::Shown) return read->outcome;

    filterChanged_ = false;
    EmptyTiles();
    currentPage_ = page;
    LabelPage->setText(tr("当前页:%1/%2").arg(page).arg(read->pages));
    std::vector<TemplatePictureJob> jobs;
    for (size_t i = 0; i < read->rows.size(); ++i) {
        const TemplateRow& row = read->rows[i];
        captions_[i]->setText(FromUtf8(row.SampleName));
        captions_[i]->setEnabled(true);
        tileIDs_[i] = row.SampleID;
        const fs::path thumbnail =
            TemplateFilesOf(ToPath(programFolder_), TemplateFileName(row)).thumbnail;
        std::error_code error;
        tileHasPicture_[i] = !row.SamplePic.empty() || fs::is_regular_file(thumbnail, error);
        jobs.push_back({row.SamplePic, thumbnail});
    }
    loader_.Start(std::move(jobs));
    return PageOutcome::Shown;
}

void TFormSample::FinishPictures() {
    loader_.Finish();
    QCoreApplication::sendPostedEvents(this);
}

void TFormSample::showEvent(QShowEvent* event) {
    if (parentWidget() != nullptr) {
        const QRect owner = parentWidget()->window()->geometry();
        move(owner.center() - rect().center());
    }
    QDialog::showEvent(event);
    if (!reload_) return;
    reload_ = false;
    ShowPage(1);
}

void TFormSample::SButtonPageUpClick() {
    if (currentPage_ > 1) ShowPage(currentPage_ - 1);
}

void TFormSample::SButtonCloseClick() {
    emit helpTextReady(QString::fromUtf8(kTemplateHelp));
    reject();
}

void TFormSample::EditJumpReturn() {
    const std::optional<int> page = ParseInt(EditJump->text().toStdString());
    if (!page || *page == 0) {
        prompts_.Show(this, QString::fromUtf8(kMsgEnterPage));
        return;
    }
    ShowPage(*page);
}

void TFormSample::FilterChanged() {
    filterChanged_ = true;
    ShowPage(1);
}

void TFormSample::OpenTile(int tile, bool fromCaption) {
    if (tile < 0 || tile >= kTemplatePageSize) return;
    const auto i = static_cast<size_t>(tile);
    if (!fromCaption && !tileHasPicture_[i]) {
        prompts_.OpenUrl(QUrl(QString::fromUtf8(kTemplateWebSite)));
        return;
    }
    if (!tileIDs_[i]) return;
    Result<std::optional<TemplateRow>> row = ReadTemplate(dm_, *tileIDs_[i]);
    if (!row) {
        prompts_.Show(this, FromUtf8(row.error()));
        return;
    }
    std::error_code error;
    const fs::path scheme =
        row->has_value() ? TemplateFilesOf(ToPath(programFolder_), TemplateFileName(**row)).scheme : fs::path();
    if (scheme.empty() || !fs::is_regular_file(scheme, error)) {
        prompts_.Show(this, QString::fromUtf8(kMsgTemplateLost));
        return;
    }
    chosenScheme_ = FromPath(scheme);
    chosenID_ = *tileIDs_[i];
    chosenName_ = FromUtf8((*row)->SampleName);
    emit helpTextReady(QString::fromUtf8(kTemplateHelp));
    accept();
}

bool TFormSample::eventFilter(QObject* watched, QEvent* event) {
    const auto found = std::find(tiles_.begin(), tiles_.end(), watched);
    if (found == tiles_.end() || event->type() != QEvent::MouseButtonPress) return QDialog::eventFilter(watched, event);
    const auto tile = static_cast<int>(found - tiles_.begin());
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::RightButton) {
        // The tile's own SampleID, whatever its files are named.
        rightClicked_ = tileIDs_[static_cast<size_t>(tile)];
        PopupMenu1->popup(mouse->globalPosition().toPoint());
    } else if (mouse->button() == Qt::LeftButton) {
        OpenTile(tile, false);
    }
    return true;
}

void TFormSample::DeleteTempleClick() {
    if (!rightClicked_) return;
    const int64_t id = *rightClicked_;
    if (!rights_ || !rights_(this, QString::fromUtf8(kMsgNoDeleteRights))) return;
    if (prompts_.Ask(this, QString::fromUtf8(kMsgDeleteQuestion)) != PromptAnswer::Yes) return;
    if (Status removed = RemoveTemplate(dm_, ToPath(programFolder_), id); !removed) {
        prompts_.Show(this, FromUtf8(removed.error()));
        return;
    }
    rightClicked_.reset();
    // The last tile of the last page gone: the page before it.
    if (ShowPage(currentPage_) == PageOutcome::Missing && currentPage_ > 1) ShowPage(currentPage_ - 1);
}

}  // namespace v2d
