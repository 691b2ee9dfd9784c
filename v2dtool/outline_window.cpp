#include "v2dtool/outline_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

#include "widgets/interface_language.h"
#include "widgets/user_prompts.h"
#include "widgets/widget_helpers.h"
#include "v2dtool/outline_canvas.h"
#include "vision/photo_quality.h"

namespace v2d::tool {

TFormV2dTool::TFormV2dTool(std::function<void(const QString&)> showMessage, QWidget* parent)
    : QMainWindow(parent), showMessage_(std::move(showMessage)) {
    setObjectName("TFormV2dTool");
    if (!showMessage_)
        showMessage_ = [this](const QString& text) { QMessageBox::information(this, tr("模板工具"), ShownText(text)); };
    askLength_ = [this]() -> std::optional<double> {
        bool ok = false;
        const double mm = QInputDialog::getDouble(this, tr("标定"), tr("这条线的实际长度(mm)："),
                                                  1000, 0, 1e7, 1, &ok);
        return ok ? std::optional<double>(mm) : std::nullopt;
    };
    askYesNo_ = [this](const QString& text) { return WidgetPrompts().Ask(this, text) == PromptAnswer::Yes; };
    canvas_ = new OutlineCanvas(editor_, this);
    scroll_ = new QScrollArea(this);
    scroll_->setObjectName("ScrollCanvas");
    scroll_->setWidget(canvas_);
    scroll_->setAlignment(Qt::AlignCenter);
    setCentralWidget(scroll_);
    BuildActions();
    auto* side = new QToolBar(tr("区域"), this);
    side->setObjectName("PanelRegions");
    side->setMovable(false);
    sidePanel_ = BuildSidePanel();
    side->addWidget(sidePanel_);
    addToolBar(Qt::RightToolBarArea, side);
    statusBar()->showMessage(tr("打开方案或照片；“新建区域”后在照片上逐点单击轮廓，双击结束；"
                                            "“智能选区”后单击地面或墙面，自动选出轮廓；"
                                            "“识别房间”后单击地面，选出整个房间。"));

    connect(canvas_, &OutlineCanvas::changed, this, &TFormV2dTool::RefreshList);
    connect(canvas_, &OutlineCanvas::currentChanged, this, &TFormV2dTool::ShowCurrent);
    connect(canvas_, &OutlineCanvas::finishRequested, this, &TFormV2dTool::ActionFinishRegionClick);
    connect(canvas_, &OutlineCanvas::failed, this, [this](const QString& m) { statusBar()->showMessage(ShownText(m)); });
    connect(canvas_, &OutlineCanvas::lineDrawn, this, &TFormV2dTool::CalibrationLineDrawn);
    connect(canvas_, &OutlineCanvas::roomClicked, this, [this](V2d_Point floor) { ProposeRoom(floor); });
    connect(canvas_, &OutlineCanvas::draftPicked, this, [this] {
        RefreshList();
        ShowDraft();
    });
    connect(canvas_, &OutlineCanvas::draftChanged, this, &TFormV2dTool::ShowSmartHint);
    connect(canvas_, &OutlineCanvas::smartClicked, this, &TFormV2dTool::ProposeSurface);
    connect(canvas_, &OutlineCanvas::panned, this, [this](QPoint d) {
        scroll_->horizontalScrollBar()->setValue(scroll_->horizontalScrollBar()->value() - d.x());
        scroll_->verticalScrollBar()->setValue(scroll_->verticalScrollBar()->value() - d.y());
    });
    connect(canvas_, &OutlineCanvas::zoomRequested, this, [this](int steps, QPoint) { ZoomBy(steps); });
    resize(1200, 800);
    UpdateTitle();
}

void TFormV2dTool::BuildActions() {
    auto* bar = commands_ = new QToolBar(tr("命令"), this);
    bar->setObjectName("ToolBarCommands");
    bar->setMovable(false);
    addToolBar(Qt::TopToolBarArea, bar);
    auto add = [&](const char* name, const QString& text, const QKeySequence& key, auto slot) {
        auto* action = bar->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        if (!key.isEmpty()) action->setShortcut(key);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    add("ActionOpen", tr("打开"), QKeySequence::Open, &TFormV2dTool::ActionOpenClick);
    add("ActionSave", tr("保存"), QKeySequence::Save, &TFormV2dTool::ActionSaveClick);
    add("ActionSaveAs", tr("另存为"), QKeySequence(), &TFormV2dTool::ActionSaveAsClick);
    add("ActionUndo", tr("撤销"), QKeySequence::Undo, &TFormV2dTool::ActionUndoClick);
    bar->addSeparator();
    ActionNewRegion = add("ActionNewRegion", tr("新建区域"), QKeySequence(Qt::Key_N),
                          &TFormV2dTool::ActionNewRegionClick);
    ActionNewRegion->setCheckable(true);
    ActionSmartSelect = add("ActionSmartSelect", tr("智能选区"), QKeySequence(Qt::Key_S),
                            &TFormV2dTool::ActionSmartSelectClick);
    ActionSmartSelect->setCheckable(true);
    ActionFindRoom = add("ActionFindRoom", tr("识别房间"), QKeySequence(Qt::Key_R), &TFormV2dTool::ActionFindRoomClick);
    ActionFindRoom->setCheckable(true);
    ActionCalibrate = add("ActionCalibrate", tr("标定"), QKeySequence(Qt::Key_L),
                          &TFormV2dTool::ActionCalibrateClick);
    ActionCalibrate->setCheckable(true);
    add("ActionFinishRegion", tr("完成区域"), QKeySequence(Qt::Key_Return),
        &TFormV2dTool::ActionFinishRegionClick);
    add("ActionDeleteRegion", tr("删除区域"), QKeySequence(), &TFormV2dTool::ActionDeleteRegionClick);
    add("ActionDeletePoint", tr("删除点"), QKeySequence::Delete, &TFormV2dTool::ActionDeletePointClick);
    bar->addSeparator();
    add("ActionZoomIn", tr("放大"), QKeySequence::ZoomIn, [this] { ZoomBy(1); });
    add("ActionZoomOut", tr("缩小"), QKeySequence::ZoomOut, [this] { ZoomBy(-1); });
    add("ActionZoomFit", tr("适合窗口"), QKeySequence(), &TFormV2dTool::ZoomToFit);
    ActionCancelFind = new QAction(tr("取消"), this);  // Esc while a finding runs
    ActionCancelFind->setObjectName("ActionCancelFind");
    ActionCancelFind->setShortcut(QKeySequence(Qt::Key_Escape));
    ActionCancelFind->setEnabled(false);
    addAction(ActionCancelFind);
    connect(ActionCancelFind, &QAction::triggered, this, &TFormV2dTool::StopFinding);
    ButtonCancelFind = new QPushButton(tr("取消"), this);
    ButtonCancelFind->setObjectName("ButtonCancelFind");
    ButtonCancelFind->setVisible(false);
    statusBar()->addPermanentWidget(ButtonCancelFind);
    connect(ButtonCancelFind, &QPushButton::clicked, this, &TFormV2dTool::StopFinding);
}

QWidget* TFormV2dTool::BuildSidePanel() {
    auto* panel = new QWidget(this);
    panel->setFixedWidth(260);
    auto* column = new QVBoxLayout(panel);
    column->addWidget(new QLabel(tr("区域列表"), panel));
    ListRegions = new QListWidget(panel);
    ListRegions->setObjectName("ListRegions");
    column->addWidget(ListRegions, 1);
    auto* form = new QFormLayout;
    EditName = new QLineEdit(panel);
    EditName->setObjectName("EditName");
    SpinWidth = new QSpinBox(panel);
    SpinWidth->setObjectName("SpinWidth");
    SpinHeight = new QSpinBox(panel);
    SpinHeight->setObjectName("SpinHeight");
    for (QSpinBox* spin : {SpinWidth, SpinHeight}) {
        spin->setRange(0, 1000000);
        spin->setSuffix(QStringLiteral(" mm"));
    }
    form->addRow(tr("名称："), EditName);
    form->addRow(tr("实际宽度："), SpinWidth);
    form->addRow(tr("实际高度："), SpinHeight);
    column->addLayout(form);
    auto* apply = new QPushButton(tr("应用"), panel);
    apply->setObjectName("ButtonApply");
    column->addWidget(apply);
    auto* hint = new QLabel(tr("拖动黄色点修改轮廓，拖动紫色角点1-4设置透视；"
                                           "Ctrl+滚轮缩放，中键或Alt+拖动平移。"),
                            panel);
    hint->setWordWrap(true);
    column->addWidget(hint);
    connect(apply, &QPushButton::clicked, this, &TFormV2dTool::ButtonApplyClick);
    connect(ListRegions, &QListWidget::currentRowChanged, this, [this](int row) {
        const int drafted = row - editor_.scene().count();
        if (drafted >= 0 && RoomDrafts()) {  // a room's draft, listed after the regions
            editor_.SelectDraft(drafted);
            canvas_->update();
            return ShowDraft();
        }
        if (row != canvas_->current()) canvas_->SetCurrent(row);
    });
    return panel;
}

bool TFormV2dTool::OpenFile(const QString& path) {
    if (finding_) {  // the finding was for the photo being left
        StopFinding();
        finder_.Wait();
        SetFinding(false);
        findDone_ = {};
    }
    const bool scheme = QFileInfo(path).suffix().compare(QStringLiteral("v2d"), Qt::CaseInsensitive) == 0;
    const Status opened = scheme ? editor_.OpenScheme(ToPath(path)) : editor_.StartFromPhoto(ToPath(path));
    if (!opened) {
        showMessage_(QString::fromStdString(opened.error()));
        return false;
    }
    path_ = scheme ? path : QString();
    const QFileInfo file(path);
    suggested_ = file.absolutePath() + QStringLiteral("/") + file.completeBaseName() + QStringLiteral(".v2d");
    EnterMode(OutlineCanvas::Mode::Select);
    canvas_->PhotoChanged();
    ZoomToFit();
    RefreshList();
    ShowCurrent(-1);
    // A photo that cannot give a room is said so before any finding; its
    // surfaces can still be outlined by hand.
    if (!scheme && editor_.photoAnalysis())
        if (const Status usable = vision::CheckPhotoQuality(*editor_.photoAnalysis()); !usable)
            showMessage_(QString::fromStdString(usable.error()));
    return true;
}

bool TFormV2dTool::SaveTo(const QString& path) {
    const Status saved = editor_.Save(ToPath(path));
    if (!saved) {
        showMessage_(QString::fromStdString(saved.error()));
        return false;
    }
    path_ = path;
    statusBar()->showMessage(tr("已保存：") + path);
    UpdateTitle();
    emit schemeSaved(path);
    return true;
}

void TFormV2dTool::ActionOpenClick() {
    const QString path = QFileDialog::getOpenFileName(this, tr("打开方案或照片"), QString(),
                                                      tr("方案或照片 (*.v2d *.jpg *.jpeg *.png *.bmp *.heic *.heif)"));
    if (!path.isEmpty()) OpenFile(path);
}

bool TFormV2dTool::ConfirmSaving() {
    return editor_.scene().count() > 0 || askYesNo_(QString::fromUtf8(kAskSaveWithoutRegions));
}

void TFormV2dTool::ActionSaveClick() {
    if (editor_.photo().isNull()) return;
    if (path_.isEmpty()) return ActionSaveAsClick();
    if (ConfirmSaving()) SaveTo(path_);
}

void TFormV2dTool::ActionSaveAsClick() {
    if (editor_.photo().isNull() || !ConfirmSaving()) return;
    QString path = QFileDialog::getSaveFileName(this, tr("保存方案"), path_.isEmpty() ? suggested_ : path_,
                                                tr("Vexel2D文件 (*.v2d)"));
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".v2d");
    SaveTo(path);
}

void TFormV2dTool::ActionUndoClick() {
    if (!editor_.Undo()) return;
    const int current = canvas_->current();
    RefreshList();
    canvas_->SetCurrent(current < editor_.scene().count() ? current : -1);
    ShowDraft();
}

void TFormV2dTool::EnterMode(OutlineCanvas::Mode mode) {
    if (editor_.photo().isNull()) mode = OutlineCanvas::Mode::Select;
    ActionNewRegion->setChecked(mode == OutlineCanvas::Mode::Draw);
    ActionSmartSelect->setChecked(mode == OutlineCanvas::Mode::Smart);
    ActionFindRoom->setChecked(mode == OutlineCanvas::Mode::Room);
    ActionCalibrate->setChecked(false);
    canvas_->SetCalibrating(false);
    const bool starting = mode != OutlineCanvas::Mode::Select && mode != canvas_->mode();
    canvas_->SetMode(mode);
    if (starting) {
        canvas_->SetCurrent(-1);
        EditName->setText(QStringLiteral("区域%1").arg(editor_.scene().count() + 1));
    }
    RefreshList();
}

bool TFormV2dTool::RoomDrafts() const { return canvas_->mode() == OutlineCanvas::Mode::Room && !editor_.drafts().empty(); }

void TFormV2dTool::ActionFindRoomClick(bool on) {
    if (!on && canvas_->mode() == OutlineCanvas::Mode::Room && editor_.drafts().empty()) {
        ActionFindRoom->setChecked(true);  // pressed again before a click: the room without one
        return ProposeRoom(std::nullopt);
    }
    EnterMode(on ? OutlineCanvas::Mode::Room : OutlineCanvas::Mode::Select);
    if (on && canvas_->drawing())
        statusBar()->showMessage(tr("单击照片上的地面，识别整个房间；不单击时再按“识别房间”或回车，直接识别。"));
}

void TFormV2dTool::ProposeRoom(std::optional<V2d_Point> floorClick) {
    StartFind(editor_.BeginFindRoom(floorClick), tr("正在识别房间……"), [this](const Status& found) {
        if (!found) {
            EnterMode(OutlineCanvas::Mode::Select);
            statusBar()->showMessage(tr("没有识别出房间：可以用“新建区域”逐点单击，或用“智能选区”单击表面，逐个选出区域。"));
            return showMessage_(QString::fromStdString(found.error()));
        }
        RefreshList();
        ShowDraft();
        ShowRoomHint();
    });
}

void TFormV2dTool::ProposeSurface(V2d_Point at, bool takeAway) {
    StartFind(editor_.BeginSmartClick(at, takeAway), tr("正在选出表面……"), [this](const Status& found) {
        canvas_->update();
        if (!found) return statusBar()->showMessage(ShownText(QString::fromStdString(found.error())));
        ShowSmartHint();
    });
}

void TFormV2dTool::ShowSmartHint() {
    if (RoomDrafts()) return;
    const int holes = std::max<int>(0, int(editor_.draftEnds().size()) - 1);
    statusBar()->showMessage(tr("已选出表面（%1个洞）：单击加选，Shift+单击减选，拖动点或角点1-4修改，回车完成区域。")
                                 .arg(holes));
}

void TFormV2dTool::StartFind(Result<OutlineEditor::FindWork> work, const QString& busy,
                             std::function<void(const Status&)> done) {
    if (!work) return done(Error{work.error()});
    if (!*work) return;  // nothing new to find
    statusBar()->showMessage(busy);
    SetFinding(true);
    stopAsked_ = false;
    findDone_ = std::move(done);
    finder_.Start([this, serial = ++findSerial_, work = std::move(*work), hold = hold_](const CancelToken& cancel) {
        if (hold) hold(cancel);
        auto answer = std::make_shared<Result<OutlineEditor::FoundChange>>(Error{""});
        try {
            *answer = work(cancel);
        } catch (const std::exception& e) {  // told on the window's thread like a refusal
            *answer = Error{e.what()};
        }
        QMetaObject::invokeMethod(this, [this, serial, answer] { FindEnded(serial, *answer); }, Qt::QueuedConnection);
    });
}

void TFormV2dTool::FindEnded(unsigned serial, const Result<OutlineEditor::FoundChange>& answer) {
    if (!finding_ || serial != findSerial_) return;  // one given up when its photo was left
    finder_.Wait();
    SetFinding(false);
    const std::function<void(const Status&)> done = std::exchange(findDone_, {});
    if (stopAsked_) return statusBar()->showMessage(tr("已停止，草稿保持不变。"));
    if (!answer) return done(Error{answer.error()});
    editor_.Apply(*answer);
    done(Status::Ok());
}

void TFormV2dTool::StopFinding() {
    if (!finding_) return;
    stopAsked_ = true;
    finder_.Cancel();
}

void TFormV2dTool::SetFinding(bool on) {
    if (on == finding_) return;
    finding_ = on;
    for (QAction* action : commands_->actions()) action->setEnabled(!on);
    sidePanel_->setEnabled(!on);
    canvas_->setEnabled(!on);
    ActionCancelFind->setEnabled(on);
    ButtonCancelFind->setVisible(on);
    if (on)
        QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    else
        QGuiApplication::restoreOverrideCursor();
}

void TFormV2dTool::ShowRoomHint() {
    statusBar()->showMessage(tr("已识别出%1个表面：单击表面选中，Delete删除选中的表面，“标定”画一条已知长度的线得到实际尺寸，"
                                "回车完成区域。")
                                 .arg(editor_.drafts().size()));
}

void TFormV2dTool::ActionNewRegionClick(bool on) { EnterMode(on ? OutlineCanvas::Mode::Draw : OutlineCanvas::Mode::Select); }

void TFormV2dTool::ActionSmartSelectClick(bool on) {
    EnterMode(on ? OutlineCanvas::Mode::Smart : OutlineCanvas::Mode::Select);
    if (on && canvas_->drawing())
        statusBar()->showMessage(tr("单击照片上的地面、墙面或柜面，自动选出其轮廓。"));
}

int TFormV2dTool::CalibrationTarget() const { return canvas_->drawing() ? -1 : canvas_->current(); }

void TFormV2dTool::ActionCalibrateClick(bool on) {
    if (on && !editor_.CornersOf(CalibrationTarget())) {
        on = false;
        statusBar()->showMessage(ShownText(kMsgNothingToCalibrate));
    }
    ActionCalibrate->setChecked(on);
    canvas_->SetCalibrating(on);
    if (on) statusBar()->showMessage(tr("沿已知长度的物体（门宽、一块砖、房间宽度）拖出一条线。"));
}

void TFormV2dTool::CalibrationLineDrawn(V2d_Point a, V2d_Point b) {
    ActionCalibrate->setChecked(false);
    canvas_->SetCalibrating(false);
    const std::optional<double> millimetres = askLength_();
    if (!millimetres) return;
    const int target = CalibrationTarget();
    const Result<MeasuredSize> size = editor_.Calibrate(target, a, b, *millimetres);
    if (!size) return showMessage_(QString::fromStdString(size.error()));
    canvas_->SetCalibrationLine(a, b, QStringLiteral("%1 mm").arg(*millimetres));
    SpinWidth->setValue(size->width);
    SpinHeight->setValue(size->height);
    if (target >= 0) RefreshList();
    if (RoomDrafts())
        return statusBar()->showMessage(tr("标定：房间的%1个表面都有了实际尺寸；当前表面宽 %2 mm，高 %3 mm。")
                                            .arg(editor_.drafts().size())
                                            .arg(size->width)
                                            .arg(size->height));
    statusBar()->showMessage(
        tr("标定：实际宽度 %1 mm，实际高度 %2 mm。").arg(size->width).arg(size->height));
}

void TFormV2dTool::ActionFinishRegionClick() {
    if (!canvas_->drawing()) return;
    if (canvas_->mode() == OutlineCanvas::Mode::Room && editor_.drafts().empty()) return ProposeRoom(std::nullopt);
    const int before = editor_.scene().count();
    Result<int> added = editor_.FinishDraft(EditName->text().toStdString(), SpinWidth->value(), SpinHeight->value());
    if (!added) {
        ShowDraft();  // the draft refused
        showMessage_(QString::fromStdString(added.error()));
        return;
    }
    EnterMode(OutlineCanvas::Mode::Select);
    RefreshList();
    canvas_->SetCurrent(*added);
    if (const int made = editor_.scene().count() - before; made > 1)
        statusBar()->showMessage(tr("已完成%1个区域，保存后即可在主程序中铺贴。").arg(made));
}

void TFormV2dTool::ActionDeleteRegionClick() {
    if (RoomDrafts()) {
        if (Status deleted = editor_.DeleteDraft(); !deleted) return showMessage_(QString::fromStdString(deleted.error()));
        RefreshList();
        canvas_->update();
        ShowRoomHint();
        return ShowDraft();
    }
    if (canvas_->current() < 0) return;
    if (Status deleted = editor_.DeleteRegion(canvas_->current()); !deleted)
        return showMessage_(QString::fromStdString(deleted.error()));
    RefreshList();
    canvas_->SetCurrent(-1);
}

void TFormV2dTool::ActionDeletePointClick() {
    if (RoomDrafts()) return ActionDeleteRegionClick();  // Delete gives up the picked surface
    if (canvas_->current() < 0 || canvas_->selectedPoint() < 0) return;
    if (Status deleted = editor_.DeletePoint(canvas_->current(), canvas_->selectedPoint()); !deleted)
        return showMessage_(QString::fromStdString(deleted.error()));
    canvas_->SetCurrent(canvas_->current());
    UpdateTitle();
}

void TFormV2dTool::ButtonApplyClick() {
    if (RoomDrafts()) {
        const Status set = editor_.SetDraftFields(EditName->text().toStdString(), SpinWidth->value(), SpinHeight->value());
        if (!set) return showMessage_(QString::fromStdString(set.error()));
        return RefreshList();
    }
    if (canvas_->current() < 0) return;
    const Status set = editor_.SetRegionFields(canvas_->current(), EditName->text().toStdString(), SpinWidth->value(),
                                               SpinHeight->value());
    if (!set) return showMessage_(QString::fromStdString(set.error()));
    RefreshList();
}

void TFormV2dTool::ZoomBy(int steps) { canvas_->SetZoom(canvas_->zoom() * std::pow(1.25, steps)); }

void TFormV2dTool::ZoomToFit() {
    const QSize photo = editor_.photo().size();
    if (photo.isEmpty()) return;
    const QSize room = scroll_->viewport()->size() - QSize(4, 4);
    canvas_->SetZoom(std::min({1.0, double(room.width()) / photo.width(), double(room.height()) / photo.height()}));
}

void TFormV2dTool::RefreshList() {
    const QSignalBlocker quiet(ListRegions);
    ListRegions->clear();
    const Scene& scene = editor_.scene();
    for (int i = 0; i < scene.count(); ++i) {
        auto* item = new QListWidgetItem(QString::fromStdString(scene.ListText(i)), ListRegions);
        if (!editor_.IsEditable(i)) item->setForeground(Qt::gray);
    }
    if (RoomDrafts()) {
        for (const OutlineDraft& draft : editor_.drafts()) {
            auto* item = new QListWidgetItem(tr("%1（草稿）").arg(QString::fromStdString(draft.name)), ListRegions);
            item->setForeground(QColor(200, 60, 0));
        }
        ListRegions->setCurrentRow(scene.count() + editor_.currentDraft());
    } else {
        ListRegions->setCurrentRow(canvas_->current());
    }
    canvas_->update();
    UpdateTitle();
}

void TFormV2dTool::ShowCurrent(int index) {
    {
        const QSignalBlocker quiet(ListRegions);
        ListRegions->setCurrentRow(index);
    }
    if (index < 0) return;
    const V2dPolygon& r = *editor_.scene().at(index);
    EditName->setText(QString::fromStdString(r.name));
    SpinWidth->setValue(r.realWidth);
    SpinHeight->setValue(r.realHeight);
}

void TFormV2dTool::ShowDraft() {
    if (!RoomDrafts()) return;
    const OutlineDraft& draft = editor_.drafts()[size_t(editor_.currentDraft())];
    EditName->setText(QString::fromStdString(draft.name));
    SpinWidth->setValue(draft.realWidth);
    SpinHeight->setValue(draft.realHeight);
}

void TFormV2dTool::UpdateTitle() {
    const QString name = path_.isEmpty() ? tr("新方案") : QFileInfo(path_).fileName();
    setWindowTitle(tr("模板工具 v2dtool - ") + name + (editor_.modified() ? QStringLiteral(" *") : QString()));
}

void TFormV2dTool::closeEvent(QCloseEvent* event) {
    if (editor_.modified() &&
        QMessageBox::question(this, tr("操作提示："), tr("方案已修改，是否放弃修改并退出？"),
                              QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes) {
        event->ignore();
        return;
    }
    event->accept();
}

}  // namespace v2d::tool
