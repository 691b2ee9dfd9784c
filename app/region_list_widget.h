#pragma once
// "装饰部位" (GroupBoxPoly): ListBoxPoly mirrors the document's PolyList item
// for item and its selection; a click in the list selects through the
// document. "取消选择" clears the selection, "隐藏提示" hides the hints.
#include <QGroupBox>

class QCheckBox;
class QListWidget;
class QToolButton;

namespace v2d {

class SceneDocument;

class RegionListWidget : public QGroupBox {
    Q_OBJECT
public:
    explicit RegionListWidget(SceneDocument& document, QWidget* parent = nullptr);

public slots:
    void ListBoxPolyClick();
    void SpeedButtonClearClick();
    void CheckBoxHelpClick();

signals:
    void hintsHiddenChanged(bool hidden);

private:
    void RefreshRegionList();
    void ShowSelection();

    SceneDocument& document_;
    QListWidget* ListBoxPoly = nullptr;
    QToolButton* SpeedButtonClear = nullptr;
    QCheckBox* CheckBoxHelp = nullptr;
};

}  // namespace v2d
