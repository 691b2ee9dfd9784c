#pragma once
// The outline tool's window ("TFormV2dTool"): the photo in a scrolling,
// zooming view; the region list with the name, real size and a button that
// applies them; commands to open, save, undo, draw, finish and delete.
#include <QMainWindow>

#include <functional>
#include <optional>

#include "base/thread_pool.h"
#include "v2dtool/outline_canvas.h"
#include "v2dtool/outline_editor.h"

class QAction;
class QLineEdit;
class QListWidget;
class QPushButton;
class QScrollArea;
class QSpinBox;
class QToolBar;

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

    // Smart clicks and room finding run on the pool while the window stays
    // live; `finding()` while one runs (Esc or "取消" stops it). A hold, if
    // set, runs on the pool before each finding (a test pauses there).
    bool finding() const { return finding_; }
    using FindHold = std::function<void(const CancelToken& cancel)>;
    void SetFindHold(FindHold hold) { hold_ = std::move(hold); }

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
    void ProposeSurface(V2d_Point at, bool takeAway);
    void ShowSmartHint();
    // Runs `work` on the pool with `busy` in the status line and edits shut;
    // `done` gets its answer on the window's thread once the change is made.
    void StartFind(Result<OutlineEditor::FindWork> work, const QString& busy, std::function<void(const Status&)> done);
    void FindEnded(unsigned serial, const Result<OutlineEditor::FoundChange>& answer);
    void StopFinding();
    void SetFinding(bool on);
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
    QAction* ActionCancelFind = nullptr;
    QToolBar* commands_ = nullptr;
    QWidget* sidePanel_ = nullptr;
    QPushButton* ButtonCancelFind = nullptr;
    LengthQuestion askLength_;
    YesNoQuestion askYesNo_;
    FindHold hold_;
    bool finding_ = false;
    bool stopAsked_ = false;
    unsigned findSerial_ = 0;  // the finding whose answer is awaited
    std::function<void(const Status&)> findDone_;
    PoolTask finder_;  // last: destroying it stops and waits for the finding, which uses the window
};

}  // namespace v2d::tool
