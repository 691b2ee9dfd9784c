// Opening and saving schemes from the main window.
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QToolButton>

#include <filesystem>

#include "app/picture_layer.h"
#include "app/uformmain.h"
#include "document/scheme_session.h"
#include "scene/scheme_file.h"

namespace v2d {

namespace {

std::filesystem::path ToPath(const QString& path) { return std::filesystem::path(path.toStdU16String()); }

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

bool TFormMain::OpenScheme(const QString& path) {
    // The renderer reads the file into the scene, renders every record and
    // empties the undo stack; a file that does not read changes nothing.
    if (Status opened = OpenSchemeInto(ToPath(path), renderer_, undoList_, ProgressCallback()); !opened) {
        prompts_->Show(this, FromUtf8(opened.error()));
        return false;
    }
    SceneReplaced();
    return true;
}

void TFormMain::LoadScene(Scene scene) {
    ClearSelection();
    scene_ = std::move(scene);
    ClearUndo(undoList_);
    renderer_.RenderAll(ProgressCallback());
    SceneReplaced();
}

void TFormMain::SceneReplaced() {
    ClearSelection();
    scene_.CurPoly = nullptr;
    RefreshRegionList();
    ListBoxPoly->setCurrentRow(-1);
    LayoutView();
    BitBtnApply->setEnabled(true);
    SpeedButtonEffect->setEnabled(true);
    LabelPro->setText(QStringLiteral("处理进度"));
    if (composer_)
        RedrawScene();
    else
        ShowRenderedScene();
    if (hooks.schemeOpened) hooks.schemeOpened();
}

bool TFormMain::SaveScheme(const QString& path) {
    if (Status written = WriteSchemeFile(scene_, ToPath(path)); !written) {
        prompts_->Show(this, FromUtf8(written.error()));
        return false;
    }
    return true;
}

SaveOutcome TFormMain::SpeedButtonSaveFileClick() {
    if (scene_.count() == 0) {
        prompts_->Show(this, QStringLiteral("当前没有区域数据。"));
        return SaveOutcome::NoRecords;
    }
    const QString folder = ProgramPath("v2d");
    for (;;) {
        QString chosen = prompts_->SaveFileName(this, folder, QStringLiteral("Vexel2D文件 (*.v2d)"), QStringLiteral("v2d"));
        if (chosen.isEmpty()) return SaveOutcome::Cancelled;
        if (QFileInfo(chosen).suffix().isEmpty()) chosen += QStringLiteral(".v2d");
        if (QFileInfo::exists(chosen) &&
            prompts_->Ask(this, QStringLiteral("文件已存在，是否覆盖原文件？")) != PromptAnswer::Yes)
            continue;
        return SaveScheme(chosen) ? SaveOutcome::Saved : SaveOutcome::Failed;
    }
}

void TFormMain::SpeedButtonOpenFileClick() {
    const QString chosen =
        prompts_->OpenFileName(this, ProgramPath("v2d"), QStringLiteral("打开Vexel2D文件(*.v2d)"));
    if (chosen.isEmpty() || !QFileInfo::exists(chosen)) return;
    if (OpenScheme(chosen)) {
        Image1->clearPicture();
    }
}

}  // namespace v2d
