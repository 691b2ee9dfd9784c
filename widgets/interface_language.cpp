#include "widgets/interface_language.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QStringList>
#include <QTranslator>

#include <vector>

#include "widgets/shown_messages.h"

namespace v2d {

namespace {

bool InstallFrom(QCoreApplication& app, const QString& name, const QStringList& folders) {
    auto* translator = new QTranslator(&app);
    for (const QString& folder : folders) {
        if (translator->load(name, folder)) return QCoreApplication::installTranslator(translator);
    }
    delete translator;
    return false;
}

// The translation beside the executable (a build or portable folder) or in
// the installed data folder.
QStringList OwnTranslationFolders() {
    const QString exe = QCoreApplication::applicationDirPath();
    return {exe + QStringLiteral("/translations"),
            QDir::cleanPath(exe + QStringLiteral("/../share/vexel2d/translations"))};
}

struct Pattern {
    QRegularExpression match;
    const char* source;
};

// Each pattern's %1, %2 ... stand for the file name or value the message carries.
const std::vector<Pattern>& Patterns() {
    static const std::vector<Pattern> patterns = [] {
        std::vector<Pattern> made;
        for (const char* source : kShownMessagePatterns) {
            const QStringList parts = QString::fromUtf8(source).split(QRegularExpression(QStringLiteral("%[1-9]")));
            QStringList escaped;
            for (const QString& part : parts) escaped << QRegularExpression::escape(part);
            made.push_back({QRegularExpression(QStringLiteral("\\A") + escaped.join(QStringLiteral("(.*)")) +
                                                   QStringLiteral("\\z"),
                                               QRegularExpression::DotMatchesEverythingOption),
                            source});
        }
        return made;
    }();
    return patterns;
}

QString ShownLine(const QString& line, int depth = 0) {
    const QByteArray source = line.toUtf8();
    const QString whole = QCoreApplication::translate(kMessagesContext, source.constData());
    if (whole != line) return whole;
    for (const Pattern& pattern : Patterns()) {
        const QRegularExpressionMatch found = pattern.match.match(line);
        if (!found.hasMatch()) continue;
        const QString shown = QCoreApplication::translate(kMessagesContext, pattern.source);
        if (shown == QString::fromUtf8(pattern.source)) return line;  // not translated: as the core put it
        // What a message carries may be a message itself ("第 3 行：" and why).
        QStringList carried;
        for (int i = 1; i <= found.lastCapturedIndex(); ++i)
            carried << (depth < 1 ? ShownLine(found.captured(i), depth + 1) : found.captured(i));
        // All at once, so a %2 inside a file name stays as it is.
        switch (carried.size()) {
            case 1: return shown.arg(carried[0]);
            case 2: return shown.arg(carried[0], carried[1]);
            default: return shown.arg(carried[0], carried[1], carried[2]);
        }
    }
    return line;
}

}  // namespace

bool InstallChineseQtTranslation(QCoreApplication& app) {
    return InstallFrom(app, QStringLiteral("qtbase_zh_CN"), {QLibraryInfo::path(QLibraryInfo::TranslationsPath)});
}

bool InstallInterfaceTranslation(QCoreApplication& app, const QLocale& language) {
    if (language.language() == QLocale::English &&
        InstallFrom(app, QString::fromLatin1(kTranslationName), OwnTranslationFolders())) {
        InstallFrom(app, QStringLiteral("qtbase_en"), {QLibraryInfo::path(QLibraryInfo::TranslationsPath)});
        return true;
    }
    InstallChineseQtTranslation(app);
    return false;
}

QString ShownText(const QString& text) {
    if (text.isEmpty()) return text;
    const QString whole = ShownLine(text);
    if (whole != text || !text.contains(QLatin1Char('\n'))) return whole;
    // A message of several lines: each line on its own.
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines) line = ShownLine(line);
    return lines.join(QLatin1Char('\n'));
}

QString ShownText(const std::string& text) { return ShownText(QString::fromStdString(text)); }

QString ShownText(const char* text) { return ShownText(QString::fromUtf8(text)); }

}  // namespace v2d
