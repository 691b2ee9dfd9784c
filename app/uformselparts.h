#pragma once
// "选择家居产品", the product browser: the category tree, the products of
// the current sub-category as thumbnails and the details and picture of the
// selected one. Created once with the application and reused; shown modally
// to choose a model (mode 1) or a material (mode 2), and for maintenance
// (mode 0) and filing a new product (mode 6).
#include <QDialog>
#include <QImage>
#include <QString>

#include <memory>
#include <vector>

#include "library/product_queries.h"

class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QSpinBox;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QPushButton;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace v2d {

class ProductThumbnailLoader;
class TFormHxImage;
class UserPrompts;

// What the caller reads after a product was chosen.
struct ChosenProduct {
    QString name, number, specs, price, salesName;
    QImage picture;
    QString reflection;   // SelectedReflection
    QString subTypeMemo;  // SelectedSubTypeMemo
    int64_t salesID = 0, matTypeID = 0;  // mode 6: dealer and material preselected (0: as they are)
    int piecesPerBox = 0;                // 0: unknown
    PriceUnit unit = PriceUnit::Piece;
    int patternRepeat = 0;               // mm; 0: none
};

class TFormSelParts : public QDialog {
    Q_OBJECT
public:
    enum Mode : int { Maintenance = 0, ChooseModel = 1, ChooseMaterial = 2, FileNewProduct = 6 };

    // The data module and the prompts must outlive the window.
    TFormSelParts(Db& dm, UserPrompts& prompts, QString programFolder, QWidget* parent = nullptr);
    ~TFormSelParts() override;

    // The photograph window of ImagePartsDblClick; not owned.
    void setPhotoWindow(TFormHxImage* photo) { photoWindow_ = photo; }
    // Sets the mode (rebuilding the tree at once when it changed and no
    // rebuild is pending) and shows the window modally; true when a product
    // was chosen.
    bool ShowInMode(int mode);
    // ShowInMode without showing: the mode, and the tree rebuilt when it changed.
    void SetMode(int mode);
    ChosenProduct Chosen() const;
    // "加入对比" and "对比" (a material being chosen): the products put aside
    // one by one, 2 to 4, taken when the window closed with "对比"; empty
    // otherwise. Taking them empties the list.
    std::vector<ChosenProduct> TakeComparison();
    int mode() const { return ProductBrowserMode; }

    // The handlers, public so tests drive them as the user would.
    void FormCreate();
    void FillCategoryTree(QTreeWidget* tree, int kindFilter);
    void FillProductList(int64_t psTypeID, QListWidget* list);
    void ShowProductDetails(QListWidgetItem* item);
    void TreeViewPartsChange(QTreeWidgetItem* node);
    // "搜索" and the size and price filters, run when the typing pauses: a
    // text searches the products of the browser's kind, no text lists the
    // current category again; the filters hold for both.
    void EditSearchChange();
    void BitBtnSelectClick();
    void BitBtnCompareAddClick();
    void BitBtnCompareClick();
    void ImagePartsDblClick();
    // Waits until the current list's thumbnails are all in (tests, screenshots).
    bool WaitForThumbnails(int timeoutMs);

    // --- Maintenance (modes 0 and 6) ---------------------------------------
    // Mode 6: the material editor's picture with the name, number, size,
    // dealer and material it files under; the number begins with the new
    // PartsID.
    void PrepareNewProduct(const QImage& picture, const QString& name, const QString& number, const QString& specs,
                           int64_t salesID = 0, int64_t matTypeID = 0);
    void BitBtnAddPartsClick();
    void ButtonUpdateClick();
    void N1Click();
    // The product list's selection dropped on `target` (null: no node); like
    // every change of stored products it needs the administrator.
    void TreeViewPartsDragDrop(QTreeWidgetItem* target);
    void NAddMtypeClick();
    void NDelMtypeClick();
    void NAddStypeClick();
    void NDelStypeClick();
    // Whether the node may be renamed in place; then the new text.
    bool TreeViewPartsEditing(QTreeWidgetItem* node);
    void TreeViewPartsEdited(QTreeWidgetItem* node, const QString& text);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void BuildComparison(QHBoxLayout* buttons);
    void ShowComparisonCount();
    // The selected product's choice values read for Chosen(); false after
    // telling the user why there is nothing to choose.
    bool ReadSelectedChoice();
    void FormShow();
    void ClearDetails();
    void ShowDetailsPicture(const ProductRow& row);
    void ThumbnailArrived(int batch, int index, const QImage& cell, const QString& message);
    // The list shows the first page of the scope under the heading; further
    // pages join when the list is scrolled to its end.
    void ShowProducts(const ProductScope& scope, const ProductFilter& filter, const QString& heading);
    void ShowCategory(QTreeWidgetItem* node);
    void AppendPage();
    // Thumbnails from the first item without one to the end of the list.
    void StartThumbnails();
    ProductFilter CurrentFilter() const;
    CategoryFilter CurrentKind() const;
    // "规格" lists the sizes of the kind's products; false when the chosen
    // size is no longer among them (all sizes are then chosen).
    bool FillSizes();
    QListWidgetItem* SelectedItem() const;
    bool HasRights(const QString& refusal);
    // Tree items carry their node's kind and identifier.
    QTreeWidgetItem* AddTreeItem(QTreeWidgetItem* parent, const QString& name, int64_t id, bool mainCategory,
                                 int64_t parentID);
    void BuildMaintenance();
    void RefreshCurrentList();

    Db& dm_;
    UserPrompts& prompts_;
    QString programFolder_;
    TFormHxImage* photoWindow_ = nullptr;
    std::unique_ptr<ProductThumbnailLoader> thumbnails_;

    bool thumbnailsDone_ = true;
    int thumbnailBase_ = 0;   // list row of the current batch's first cell
    int thumbnailsMade_ = 0;  // rows from the top whose cells are in
    // What the list shows and where its next page starts.
    ProductScope listScope_;
    ProductFilter listFilter_;
    int64_t listLastID_ = 0;
    bool listMore_ = false;
    QTimer* searchTimer_ = nullptr;

    int ProductBrowserMode = 0;
    QString SelectedPartsID;
    bool RebuildTreeOnShow = true;
    QString SelectedReflection;
    QString SelectedSubTypeMemo;
    QImage picture_;  // what ImageParts shows
    // Mode 6: what the material editor files, shown once the window is up.
    ChosenProduct newProduct_;

    QLineEdit* EditSearch = nullptr;       // "搜索": names, numbers and brands
    QComboBox* ComboBoxSize = nullptr;     // "规格": every size present, or all
    QLineEdit* EditPriceMin = nullptr;  // "价格" from, empty: no bound
    QLineEdit* EditPriceMax = nullptr;  // to, empty: no bound
    QTreeWidget* TreeViewParts = nullptr;
    QListWidget* ListView1 = nullptr;
    QLabel* LabelSubName = nullptr;
    QLineEdit* EditPartsName = nullptr;
    QLineEdit* EditPartsNumber = nullptr;
    QLineEdit* EditPartsSpecs = nullptr;
    QLineEdit* EditPartsPrice = nullptr;
    QComboBox* ComboBoxSales = nullptr;
    QComboBox* ComboBoxMatType = nullptr;
    QSpinBox* SpinPartsPerBox = nullptr;  // "每箱片数", 0: unknown
    QComboBox* ComboPartsUnit = nullptr;  // "计价单位": 片, 平方米, 箱, 卷
    QSpinBox* SpinPatternRepeat = nullptr;  // "花距(mm)", 0: none
    QLabel* ImageParts = nullptr;
    QPushButton* BitBtnSelect = nullptr;
    QPushButton* BitBtnCompareAdd = nullptr;
    QPushButton* BitBtnCompare = nullptr;
    std::vector<ChosenProduct> comparison_;
    bool comparing_ = false;  // closed with "对比"
    QPushButton* BitBtnAddParts = nullptr;
    QPushButton* ButtonUpdate = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QMenu* PopupMenu2 = nullptr;
};

}  // namespace v2d
