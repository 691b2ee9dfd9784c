#pragma once
// The outline tool's window ("TFormV2dTool"): the photo in a scrolling,
// zooming view; the region list with the name, real size and a button that
// applies them; commands to open, save, undo, draw, finish and delete.
#include <QMainWindow>

#include <functional>
#include <optional>

#include "v2dtool/outline_canvas.h"
#include "v2dtool/outline_editor.h"

class QAction;
class QLineEdit;
class QListWidget;
class QScrollArea;
class QSpinBox;

namespace v2d::tool {

class TFormV2dTool : public QMainWindow {
    Q_OBJECT
public:
    // `showMessage` shows a refusal; null: a message box.
    explicit TFormV2dTool(std::function<void(const QString&)> showMessage = {}, QWidget* parent = nullptr);
    // Asks the millimetres of a calibration line; none when cancelled. The
    // default is an input dialog.
    using LengthQuestion = std::function<std::optional<double>()>;
    void SetLengthQuestion(LengthQuestion ask) { askLength_ = std::move(ask); }
    // Asks a Yes/No question titled "操作提示："; true for Yes. The default is
    // the program's message box.
    using YesNoQuestion = std::function<bool(const QString&)>;
    void SetYesNoQuestion(YesNoQuestion ask) { askYesNo_ = std::move(ask); }

    // A .v2d opens as a scheme, anything else as a photo for a new one.
    bool OpenFile(const QString& path);
    bool SaveTo(const QString& path);
    OutlineEditor& editor() { return editor_; }
    OutlineCanvas* canvas() const { return canvas_; }

public slots:
    void ActionOpenClick();
    void ActionSaveClick();
    void ActionSaveAsClick();
    void ActionUndoClick();
    void ActionNewRegionClick(bool on);
    // "智能选区": clicks find the surface under them.
    void ActionSmartSelectClick(bool on);
    // "识别房间": a click on the floor finds the whole room, one draft per
    // surface; pressed again (or Return) before any click, the room is
    // found without one.
    void ActionFindRoomClick(bool on);
    // "标定": the next drag is a line of known length on the surface.
    void ActionCalibrateClick(bool on);
    void ActionFinishRegionClick();
    void ActionDeleteRegionClick();
    void ActionDeletePointClick();
    void ButtonApplyClick();
    void ZoomBy(int steps);
    void ZoomToFit();

signals:
    // The scheme was written to `path`.
    void schemeSaved(const QString& path);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildActions();
    QWidget* BuildSidePanel();
    void RefreshList();
    void ShowCurrent(int index);
    // The current draft's name and size in the fields, when it has its own.
    void ShowDraft();
    void ProposeRoom(std::optional<V2d_Point> floorClick);
    void ShowRoomHint();
    bool RoomDrafts() const;
    void ShowStatus(const Status& status);
    void UpdateTitle();
    void EnterMode(OutlineCanvas::Mode mode);
    void CalibrationLineDrawn(V2d_Point a, V2d_Point b);
    int CalibrationTarget() const;
    // A scheme without regions is saved only when the user says so.
    bool ConfirmSaving();

    OutlineEditor editor_;
    std::function<void(const QString&)> showMessage_;
    QString path_;  // the scheme file saved to; empty for a new one
    QString suggested_;  // a new one's name offered: the photo's, beside it
    OutlineCanvas* canvas_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    QListWidget* ListRegions = nullptr;
    QLineEdit* EditName = nullptr;
    QSpinBox* SpinWidth = nullptr;
    QSpinBox* SpinHeight = nullptr;
    QAction* ActionNewRegion = nullptr;
    QAction* ActionSmartSelect = nullptr;
    QAction* ActionCalibrate = nullptr;
    QAction* ActionFindRoom = nullptr;
    LengthQuestion askLength_;
    YesNoQuestion askYesNo_;
};

}  // namespace v2d::tool
