#include "app/recent_schemes_menu.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

#include "base/workspace_settings.h"
#include "widgets/widget_helpers.h"

namespace v2d {

namespace {
std::vector<std::string> ToStrings(const QStringList& texts) {
    std::vector<std::string> strings;
    for (const QString& text : texts) strings.push_back(text.toStdString());
    return strings;
}

QStringList FromStrings(const std::vector<std::string>& strings) {
    QStringList texts;
    for (const std::string& text : strings) texts << QString::fromStdString(text);
    return texts;
}
}  // namespace

RecentSchemesMenu::RecentSchemesMenu(QString programFolder, QWidget* owner)
    : QObject(owner), programFolder_(std::move(programFolder)) {
    menu_ = Named(new QMenu(tr("最近打开的方案"), owner), QStringLiteral("MenuRecentSchemes"));
    schemes_ = FromStrings(ReadRecentSchemes(ToPath(programFolder_)));
    Fill();
}

void RecentSchemesMenu::Remember(const QString& path) {
    Store(FromStrings(WithRecentScheme(ToStrings(schemes_), QFileInfo(path).absoluteFilePath().toStdString())));
}

void RecentSchemesMenu::Forget(const QString& path) {
    QStringList kept = schemes_;
    kept.removeAll(path);
    Store(kept);
}

void RecentSchemesMenu::Store(const QStringList& schemes) {
    schemes_ = schemes;
    // A list that cannot be kept is no reason to stop the user's work.
    (void)WriteRecentSchemes(ToPath(programFolder_), ToStrings(schemes_));
    Fill();
}

void RecentSchemesMenu::Fill() {
    menu_->clear();
    for (int i = 0; i < schemes_.size(); ++i) {
        const QString path = schemes_[i];
        QString caption = QDir::toNativeSeparators(path);
        caption.replace('&', QStringLiteral("&&"));
        QAction* item = menu_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(caption));
        item->setObjectName(QStringLiteral("RecentScheme%1").arg(i + 1));
        connect(item, &QAction::triggered, this, [this, path] { emit chosen(path); });
    }
    menu_->setEnabled(!schemes_.isEmpty());
}

}  // namespace v2d
