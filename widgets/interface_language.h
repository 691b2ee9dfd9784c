#pragma once
// The interface's language. The program speaks Chinese, the language its
// texts are written in; on an English system it loads its English
// translation (vexel2d_en.qm) and Qt's own English texts instead.
#include <QLocale>
#include <QString>

#include <string>

class QCoreApplication;

namespace v2d {

inline constexpr const char* kTranslationName = "vexel2d_en";

// Installs the translators the language asks for; true when the English
// interface was loaded, false when the interface stays Chinese.
bool InstallInterfaceTranslation(QCoreApplication& app, const QLocale& language = QLocale::system());

// Qt's own dialogs and buttons in Chinese (qtbase_zh_CN.qm); false when that
// translation is not installed.
bool InstallChineseQtTranslation(QCoreApplication& app);

// A message the core returned, as the window shows it: its translation,
// the fixed part of a known message pattern translated around the file name
// or value it carries, or the text itself.
QString ShownText(const QString& text);
QString ShownText(const std::string& text);
QString ShownText(const char* text);

}  // namespace v2d
