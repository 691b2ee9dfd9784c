#pragma once
// "当前产品" (PanelParts): the product in the document, its size, the
// brightness and reflection of the focused record, the tiling options, the
// colour swatch and "开始铺贴". Its handlers read the controls into plain
// values and call the document; messages go to the user prompts.
#include <QGroupBox>
#include <QImage>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/uformselparts.h"  // ChosenProduct, whole for the comparison signal
#include "document/carried_model.h"
#include "render/tiling_settings.h"

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSlider;
class QToolButton;
class QVBoxLayout;
class QHBoxLayout;

namespace v2d {

class LayingPatternBox;
class WindowJob;
class Outcome;

inline constexpr const char* kMsgChooseMaterialFirst = QT_TRANSLATE_NOOP("Messages", "请先选择材料产品。");

class SceneDocument;
struct SceneChange;
class TFormColor;
class TFormLoadType;
class TFormMatedit;
class TFormProductIE;
class TFormSelParts;
class THttpGetThread;
struct ChosenProduct;
enum class DragKind;
class UserPrompts;
struct ProductRow;
struct V2dPolygon;

class ProductPanelWidget : public QGroupBox {
    Q_OBJECT
public:
    // `programFolder` holds product/maps/; the prompts are not owned.
    ProductPanelWidget(SceneDocument& document, UserPrompts& prompts, QString programFolder,
                       QWidget* parent = nullptr);

    // A product row from the library into the panel and the document: its
    // captions, descriptor and size, and its map (picture and tolerance)
    // when product/maps/ has one.
    void LoadProduct(const ProductRow& row);
    // A chosen material's product value, with its pricing.
    static Product MaterialOf(const ChosenProduct& chosen);
    // Set by the product loader while it moves the reflection track bar to
    // the product's own value, so that move renders nothing.
    void setLoadingProduct(bool loading) { loadingProduct_ = loading; }
    // The colour-card window, created once at start-up; not owned.
    void setColourCards(TFormColor* cards) { colourCards_ = cards; }
    // The material editor, created once at start-up; not owned.
    void setMaterialEditor(TFormMatedit* editor) { materialEditor_ = editor; }
    // The product browser and the product source chooser, created once at
    // start-up; not owned.
    void setProductWindows(TFormSelParts* browser, TFormLoadType* loadType) {
        productBrowser_ = browser;
        loadType_ = loadType;
    }
    // The online product window and the catalogue pages it starts on; with
    // materialsOnline the product button takes materials from there too.
    void setOnlineWindow(TFormProductIE* window, bool materialsOnline, QString productCatalogue,
                         QString modelCatalogue) {
        productIE_ = window;
        materialsOnline_ = materialsOnline;
        productCatalogue_ = std::move(productCatalogue);
        modelCatalogue_ = std::move(modelCatalogue);
    }
    // The window's job runner: "开始铺贴" computes its layings there, off the
    // window's thread; without one it lays on the window's thread. Not owned.
    void setWindowJob(WindowJob* job) { job_ = job; }
    // An online product's file is on its way (the window stays usable).
    bool downloading() const { return download_ != nullptr; }
    // Stops that download: nothing is chosen, no message, no partial file.
    void CancelDownload();
    // ShapeColor's colour as 0x00BBGGRR.
    uint32_t shapeColour() const;
    void setShapeColour(uint32_t windowsColour);
    // The controls as the tiling and painting operations read them (a size
    // that is no integer reads as 0); the document adds the product.
    ProductPanelState Controls() const;
    // Hands the controls to the document, which lays with them; a change of
    // size, option or pattern also measures the focused region again.
    void PublishControls();
    void PublishLaying();

public slots:
    // "选择材料": a material from the browser into the panel and the document.
    void BitBtnPartsClick();
    // "选择模型": a model product, local or online.
    void BitBtnModelClick();
    void BitBtnApplyClick();
    // The same on the window's thread, for a dialog that lays while it is
    // open (the effect window): done when it returns.
    void ApplyOnThisThread();
    // "对比": the product browser, where the materials to compare are put
    // aside; they come back through comparisonChosen.
    void BitBtnComparePartsClick();
    // A compared material into the panel and laid into the selection at full
    // size, as "开始铺贴" lays it (one step).
    void TakeComparedMaterial(const ChosenProduct& chosen);
    // A click (not a drag) on the panel picture: the material editor on it;
    // on OK the edited picture is the product's and the selection is laid
    // again with it.
    void ImagePartsClick();
    // The same with the product map's colour tolerance handed to the editor.
    void BitBtnBzqClick();
    // The rubber band inside `region`; false when the sizes stopped it
    // before anything was tried.
    bool LayProductInRectangle(QPoint start, QPoint end, const V2dPolygon* region);
    void TrackBarLightChange();
    void EditLightenChange();
    void TrackBarReflectChange();
    void EditReflectChange();
    void ShapeColorMouseDown();
    void SButtonColorClick();

signals:
    // 2 to 4 materials chosen for comparison in the selected regions.
    void comparisonChosen(const std::vector<ChosenProduct>& materials);
    // "开始铺贴" passed its own checks and starts.
    void tilingStarted();
    // A text for the hint line.
    void helpTextReady(const QString& text);
    // A product was chosen: a material (true), which may be tiled and given
    // effects, or a model (false), which may not.
    void productKindChosen(bool material);
    // A product picture or model is being downloaded: 0..100.
    void downloadProgress(int percent);
    // Around each such download: it may be cancelled in between.
    void downloadStarted();
    void downloadEnded();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildCaptions(QVBoxLayout* column);
    void BuildSizes(QVBoxLayout* column);
    void BuildTone(QVBoxLayout* column);
    void BuildOptions(QVBoxLayout* column);
    void BuildColour(QVBoxLayout* column);
    void BuildApply(QVBoxLayout* column);
    void BuildProductButtons(QVBoxLayout* column);
    // Captions, sizes and the document's product for a chosen product.
    void ShowChosenProduct(const ChosenProduct& chosen, QImage picture, Product product, DragKind kind,
                           std::optional<CarriedModel> model = std::nullopt);
    // A material into the panel with its own reflection, as the browser or
    // the online catalogue chose it.
    void ShowChosenMaterial(const ChosenProduct& chosen, Product product);

    // The online paths of the product and model buttons.
    void OnlineMaterialClick();
    void OnlineModelClick();
    // One file of an online product and the message when it cannot be had.
    struct ProductFile {
        QString url;
        QString target;
        const char* failure;
    };
    // The files not yet on disk downloaded one after another on the pool,
    // with the progress bar, then `arrived` on this thread. A failure shows
    // its one message and ends there; a newer request replaces this one.
    void FetchProductFiles(std::vector<ProductFile> files, std::function<void()> arrived);
    void ConnectControls();
    // ImageParts: a press, then a release near it is a click; a move past
    // the drag distance with the button held drags the product instead.
    bool ImagePartsMouseEvent(QEvent* event);
    void EditProductPicture(std::optional<int> tolerance);
    // The answer of "开始铺贴": its messages, or the hint line's text.
    void ShowTiling(const Outcome& outcome);
    void ShowProductPicture();
    // The focused record as it is now after any change of the scene: its
    // tone in the sliders and edit boxes, its laying, the quote line.
    void ShowFocusedRecord(const SceneChange& change);
    void ShowMeasure();
    // False, after the conversion message, when a size edit holds no integer.
    bool ProductSizesAreNumbers();

    SceneDocument& document_;
    UserPrompts& prompts_;
    QString programFolder_;
    TFormColor* colourCards_ = nullptr;
    LayingPatternBox* patternBox_ = nullptr;
    QHBoxLayout* optionsRow_ = nullptr;  // 整铺, 转90度, 镜像 and 随机旋转
    TFormSelParts* productBrowser_ = nullptr;
    TFormLoadType* loadType_ = nullptr;
    TFormMatedit* materialEditor_ = nullptr;
    std::optional<QPoint> imagePartsPressedAt_;
    bool loadingProduct_ = false;
    bool showingRecord_ = false;  // the controls take the record's values: nothing to apply
    TFormProductIE* productIE_ = nullptr;
    bool materialsOnline_ = false;
    QString productCatalogue_;
    QString modelCatalogue_;
    THttpGetThread* download_ = nullptr;  // a child: it goes, stopped, with the panel
    int downloadNumber_ = 0;  // tells a replaced download's late report apart

    QLabel* ImageParts = nullptr;
    QLabel* LabelName = nullptr;
    QLabel* LabelNumber = nullptr;
    QLabel* LabelFact = nullptr;
    QLabel* LabelPrice = nullptr;
    QLabel* LabelQuote = nullptr;  // the focused region's area and tile count
    QLineEdit* EditPartsWidth = nullptr;
    QLineEdit* EditPartsHeight = nullptr;
    QSlider* TrackBarLight = nullptr;
    QLineEdit* EditLighten = nullptr;
    QLabel* LabelReflect = nullptr;
    QSlider* TrackBarReflect = nullptr;
    QLineEdit* EditReflect = nullptr;
    QCheckBox* CheckBoxFit = nullptr;
    QCheckBox* CheckBoxRot = nullptr;
    QCheckBox* CheckBoxMirror = nullptr;
    QCheckBox* CheckBoxMix = nullptr;
    QFrame* ShapeColor = nullptr;
    QToolButton* SButtonColor = nullptr;
    QRadioButton* RadioButtonFront = nullptr;
    QRadioButton* RadioButtonBack = nullptr;
    WindowJob* job_ = nullptr;
    QToolButton* BitBtnApply = nullptr;
    QToolButton* BitBtnParts = nullptr;
    QToolButton* BitBtnModel = nullptr;
    QToolButton* BitBtnBzq = nullptr;
    QToolButton* BitBtnCompareParts = nullptr;
};

}  // namespace v2d
