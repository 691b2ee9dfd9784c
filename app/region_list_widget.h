#pragma once
// "装饰部位" (GroupBoxPoly): ListBoxPoly mirrors the document's PolyList item
// for item and its selection; a click in the list selects through the
// document. "取消选择" clears the selection, "隐藏提示" hides the hints.
// Dragging an item onto another changes the drawing order; the list's menu
// "删除装饰边缘线" takes the outline away and keeps the selection, so
// "开始铺贴" still lays into the selected items.
#include <QGroupBox>

class QCheckBox;
class QListWidget;
class QToolButton;

namespace v2d {

class SceneDocument;
struct SceneChange;

class RegionListWidget : public QGroupBox {
    Q_OBJECT
public:
    explicit RegionListWidget(SceneDocument& document, QWidget* parent = nullptr);

public slots:
    void ListBoxPolyClick();
    void SpeedButtonClearClick();
    void CheckBoxHelpClick();
    void N1Click();
    // The current item dropped onto item `row` (-1: no item under the drop).
    void ListBoxPolyDragDrop(int row);

signals:
    void hintsHiddenChanged(bool hidden);
    // "删除装饰边缘线": the view drops the outline and the handles.
    void outlineRemoved();
    // An operation of the list was refused; the window shows the message.
    void refused(const QString& message);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void RefreshRegionList();
    // Rows follow the records a change names; the whole list only when
    // records were added, removed or moved.
    void ShowChange(const SceneChange& change);
    void ShowSelection();

    SceneDocument& document_;
    QListWidget* ListBoxPoly = nullptr;
    QToolButton* SpeedButtonClear = nullptr;
    QCheckBox* CheckBoxHelp = nullptr;
};

}  // namespace v2d
