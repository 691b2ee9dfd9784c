#include "widgets/user_prompts.h"

#include <algorithm>

#include <QCoreApplication>
#include <QEvent>
#include <QColorDialog>
#include <QApplication>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>

#include "widgets/desktop_open.h"
#include "widgets/interface_language.h"

namespace v2d {

namespace {

// The window manager shows the title with the program's name after it
// ("操作提示： — Vexel2D V2012专业版") beside the frame's icon and buttons;
// a box sized only to its text gets that title cut ("操作提… 专业版").
int TitleRoom(const QWidget& box) {
    QString shown = box.windowTitle();
    const QString program = QGuiApplication::applicationDisplayName();
    if (!program.isEmpty() && !shown.endsWith(program)) shown += QStringLiteral(" — ") + program;
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    font.setBold(true);
    const QFontMetrics metrics(font);
    return metrics.horizontalAdvance(shown) + 8 * metrics.height();  // the icon, three buttons, the margins
}

// A message box fixes its own size when shown, so a minimum width would not
// hold: it sizes itself to no less than its layout's width, spacer included.
void KeepBoxTitleWhole(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (grid == nullptr) return;
    grid->addItem(new QSpacerItem(TitleRoom(box), 0, QSizePolicy::Fixed, QSizePolicy::Minimum), grid->rowCount(), 0,
                  1, grid->columnCount());
}

// Widens its window to the whole title each time the window is shown, when
// the program's name and the translation are known.
class TitleWidthKeeper final : public QObject {
public:
    explicit TitleWidthKeeper(QWidget& window) : QObject(&window) { window.installEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show)
            if (auto* window = qobject_cast<QWidget*>(watched))
                window->setMinimumWidth(std::max(window->minimumWidth(), TitleRoom(*window)));
        return false;
    }
};

}  // namespace

void KeepTitleWhole(QWidget& window) { new TitleWidthKeeper(window); }

PromptAnswer WidgetPrompts::Message(QWidget* parent, const QString& text, PromptButtons buttons,
                                    PromptIcon icon) {
    QMessageBox box(parent);
    box.setWindowTitle(ShownText(kPromptTitle));
    box.setText(ShownText(text));
    box.setIcon(icon == PromptIcon::Question  ? QMessageBox::Question
                : icon == PromptIcon::Warning ? QMessageBox::Warning
                                              : QMessageBox::Information);
    // Chinese captions on the buttons, as the rest of the program speaks.
    QAbstractButton* yes = nullptr;
    QAbstractButton* no = nullptr;
    QAbstractButton* cancel = nullptr;
    if (buttons == PromptButtons::Ok) {
        box.addButton(QCoreApplication::translate("UserPrompts", "确定"), QMessageBox::AcceptRole);
    } else {
        yes = box.addButton(QCoreApplication::translate("UserPrompts", "是(&Y)"), QMessageBox::YesRole);
        no = box.addButton(QCoreApplication::translate("UserPrompts", "否(&N)"), QMessageBox::NoRole);
        if (buttons == PromptButtons::YesNoCancel)
            cancel = box.addButton(QCoreApplication::translate("UserPrompts", "取消"), QMessageBox::RejectRole);
        else
            box.setEscapeButton(no);
        box.setDefaultButton(static_cast<QPushButton*>(yes));
    }
    KeepBoxTitleWhole(box);
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    if (buttons == PromptButtons::Ok) return PromptAnswer::Ok;
    if (clicked == yes) return PromptAnswer::Yes;
    if (clicked == no) return PromptAnswer::No;
    (void)cancel;
    return buttons == PromptButtons::YesNo ? PromptAnswer::No : PromptAnswer::Cancel;
}

std::optional<QColor> UserPrompts::ChooseColour(QWidget* parent, const QColor& initial) {
    const QColor chosen = QColorDialog::getColor(initial, parent);
    if (!chosen.isValid()) return std::nullopt;
    return chosen;
}

void UserPrompts::OpenUrl(const QUrl& url, std::function<void()> failed) { OpenOnDesktop(url, std::move(failed)); }

QString WidgetPrompts::SaveFileName(QWidget* parent, const QString& folder, const QString& filter,
                                    const QString& defaultSuffix) {
    QFileDialog dialog(parent, QString(), folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front();
}

QString WidgetPrompts::OpenFileName(QWidget* parent, const QString& folder, const QString& filter) {
    return QFileDialog::getOpenFileName(parent, QString(), folder, filter);
}

QStringList UserPrompts::OpenFileNames(QWidget* parent, const QString& folder, const QString& filter) {
    const QString one = OpenFileName(parent, folder, filter);
    return one.isEmpty() ? QStringList() : QStringList{one};
}

QStringList WidgetPrompts::OpenFileNames(QWidget* parent, const QString& folder, const QString& filter) {
    return QFileDialog::getOpenFileNames(parent, QString(), folder, filter);
}

}  // namespace v2d
