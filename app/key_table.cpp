#include "app/key_table.h"

#include <QCoreApplication>

#include "widgets/interface_language.h"

namespace v2d {

namespace {

constexpr const char* kHelpIntro =
    QT_TRANSLATE_NOOP("Messages", "A.请选择装饰部位列表框中的装饰部位！B.或则在场景中选择要装饰的部位!");
constexpr const char* kHelpLaying =
    QT_TRANSLATE_NOOP("Messages", "选择材料后点击“开始铺贴”；在区域中拖出矩形只铺贴矩形部分。");
constexpr const char* kHelpMenu =
    QT_TRANSLATE_NOOP("Messages", "右键点击场景：编辑模板、保存为模板、打开和保存方案、产品维护。");

QString KeysText(const char* text) { return QCoreApplication::translate("Keys", text); }

}  // namespace

const QList<KeyEntry>& MainKeyTable() {
    static const QList<KeyEntry> table = {
        {MainKey::OpenScheme, "Ctrl+O", nullptr, QT_TRANSLATE_NOOP("Keys", "打开方案")},
        {MainKey::SaveScheme, "Ctrl+S", nullptr, QT_TRANSLATE_NOOP("Keys", "保存方案")},
        {MainKey::SaveSchemeAs, "Ctrl+Shift+S", nullptr, QT_TRANSLATE_NOOP("Keys", "方案另存为")},
        {MainKey::SavePicture, "Ctrl+P", nullptr, QT_TRANSLATE_NOOP("Keys", "保存效果图")},
        {MainKey::Undo, "Ctrl+Z", nullptr, QT_TRANSLATE_NOOP("Keys", "撤销")},
        {MainKey::Redo, "Ctrl+Y; Ctrl+Shift+Z", nullptr, QT_TRANSLATE_NOOP("Keys", "重做")},
        {MainKey::DeleteModel, "Del", nullptr, QT_TRANSLATE_NOOP("Keys", "删除选中的模型")},
        {MainKey::NextRotationFrame, "R", nullptr, QT_TRANSLATE_NOOP("Keys", "模型的下一个角度")},
        {MainKey::NudgeModel, "Left; Right; Up; Down", QT_TRANSLATE_NOOP("Keys", "方向键"),
         QT_TRANSLATE_NOOP("Keys", "移动选中的模型一个像素")},
        {MainKey::ZoomIn, "Ctrl++; Ctrl+=", nullptr, QT_TRANSLATE_NOOP("Keys", "放大")},
        {MainKey::ZoomOut, "Ctrl+-", nullptr, QT_TRANSLATE_NOOP("Keys", "缩小")},
        {MainKey::ZoomToFit, "Ctrl+0", nullptr, QT_TRANSLATE_NOOP("Keys", "适合窗口")},
        {MainKey::ZoomWithWheel, "", QT_TRANSLATE_NOOP("Keys", "Ctrl+滚轮"),
         QT_TRANSLATE_NOOP("Keys", "以鼠标所指处为中心缩放")},
        {MainKey::BeforeAfter, "B", nullptr, QT_TRANSLATE_NOOP("Keys", "原图对比：原图与效果左右对照")},
        {MainKey::Help, "F1", nullptr, QT_TRANSLATE_NOOP("Keys", "使用说明")},
    };
    return table;
}

QList<QKeySequence> KeysOf(MainKey command) {
    for (const KeyEntry& entry : MainKeyTable())
        if (entry.command == command)
            return QKeySequence::listFromString(QString::fromLatin1(entry.keys), QKeySequence::PortableText);
    return {};
}

bool IsKeyOf(MainKey command, int key, Qt::KeyboardModifiers modifiers) {
    const QKeySequence pressed(QKeyCombination(modifiers & ~Qt::KeypadModifier, Qt::Key(key)));
    return KeysOf(command).contains(pressed);
}

QString MainWindowHelpText() {
    QString rows;
    for (const KeyEntry& entry : MainKeyTable()) {
        QStringList shown;
        for (const QKeySequence& keys : KeysOf(entry.command)) shown << keys.toString(QKeySequence::NativeText);
        const QString keys = entry.shownAs != nullptr ? KeysText(entry.shownAs) : shown.join(QStringLiteral(" / "));
        rows += QStringLiteral("<tr><td style='padding-right:16px'><b>%1</b></td><td>%2</td></tr>")
                    .arg(keys.toHtmlEscaped(), KeysText(entry.what).toHtmlEscaped());
    }
    return QStringLiteral("<p>%1</p><p>%2<br>%3</p><table>%4</table>")
        .arg(ShownText(kHelpIntro).toHtmlEscaped(), ShownText(kHelpLaying).toHtmlEscaped(),
             ShownText(kHelpMenu).toHtmlEscaped(), rows);
}

}  // namespace v2d
