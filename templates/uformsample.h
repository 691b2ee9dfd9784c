#pragma once
// "装修模板": the local template browser. Six tiles a page, newest first,
// filtered by room type and style; a tile or its caption opens the template,
// a right-click offers to delete it. Pictures are decoded on a worker, so a
// page shows at once and its pictures as they come.
#include <QDialog>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "library/data_module.h"
#include "templates/template_pages.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QToolButton;

namespace v2d {

class UserPrompts;

// Asks for maintenance rights (showing the login when the user lacks them);
// shows `refusal` and yields false when the user still has none.
using RightsCheck = std::function<bool(QWidget* parent, const QString& refusal)>;

// The template web site an empty tile opens; nothing serves it yet.
inline constexpr const char* kTemplateWebSite = "http://127.0.0.1:9/templates";
inline constexpr const char* kTemplateHelp = QT_TRANSLATE_NOOP("Messages", "A.请选择装饰部位列表框中的装饰部位！B.或则在场景中选择要装饰的部位!");

class TFormSample : public QDialog {
    Q_OBJECT
public:
    TFormSample(Db& dm, UserPrompts& prompts, QString programFolder, RightsCheck rights, QWidget* parent = nullptr);
    ~TFormSample() override;

    // Every navigation comes here; what the page came to.
    PageOutcome ShowPage(int page, int pageSize = kTemplatePageSize);
    // Page 1 on the next showing (after a template was stored).
    void SetReload() { reload_ = true; }
    int currentPage() const { return currentPage_; }
    // After OK: the opened template.
    const QString& chosenSchemeFile() const { return chosenScheme_; }
    int64_t chosenTemplateID() const { return chosenID_; }
    const QString& chosenTemplateName() const { return chosenName_; }
    // The SampleID a tile shows; nullopt for an empty tile.
    std::optional<int64_t> tileTemplate(int tile) const { return tileIDs_[static_cast<size_t>(tile)]; }
    // Waits until the page's pictures are decoded and shown (tests, screenshots).
    void FinishPictures();

    void SButtonPageDownClick() { ShowPage(currentPage_ + 1); }
    void SButtonPageUpClick();
    void SButtonCloseClick();
    void EditJumpReturn();
    // A tile (`fromCaption` false) or its caption button.
    void OpenTile(int tile, bool fromCaption);
    void DeleteTempleClick();

signals:
    // The main window's hint line.
    void helpTextReady(const QString& text);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void FilterChanged();
    void EmptyTiles();
    TemplateFilter Filter() const;

    Db& dm_;
    UserPrompts& prompts_;
    QString programFolder_;
    RightsCheck rights_;
    TemplatePictureLoader loader_;
    int currentPage_ = 1;
    bool filterChanged_ = false;
    bool reload_ = true;
    QString chosenScheme_;
    int64_t chosenID_ = 0;
    QString chosenName_;  // SampleName
    // The tile under the last right-click; nullopt when it was empty.
    std::optional<int64_t> rightClicked_;

    std::array<QLabel*, kTemplatePageSize> tiles_{};
    std::array<QToolButton*, kTemplatePageSize> captions_{};
    std::array<std::optional<int64_t>, kTemplatePageSize> tileIDs_{};
    std::array<bool, kTemplatePageSize> tileHasPicture_{};
    QLabel* ImageBack = nullptr;
    QLabel* LabelPage = nullptr;
    QLineEdit* EditJump = nullptr;
    QComboBox* ComboBoxSales = nullptr;
    QComboBox* ComboBoxStyle = nullptr;
    QMenu* PopupMenu1 = nullptr;
};

}  // namespace v2d
