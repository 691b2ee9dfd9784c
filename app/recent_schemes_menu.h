#pragma once
// "最近打开的方案": the list kept in the workspace, newest first, and the
// menu that offers it. Choosing an entry asks the window to open it.
#include <QObject>
#include <QString>
#include <QStringList>

class QMenu;
class QWidget;

namespace v2d {

class RecentSchemesMenu : public QObject {
    Q_OBJECT
public:
    // Reads the workspace's list; the menu "MenuRecentSchemes" is owned by `owner`.
    RecentSchemesMenu(QString programFolder, QWidget* owner);

    QMenu* menu() const { return menu_; }
    const QStringList& schemes() const { return schemes_; }
    // The scheme goes to the top of the list.
    void Remember(const QString& path);
    // A scheme that is gone leaves the list.
    void Forget(const QString& path);

signals:
    void chosen(const QString& path);

private:
    void Store(const QStringList& schemes);
    void Fill();

    QString programFolder_;
    QMenu* menu_ = nullptr;
    QStringList schemes_;
};

}  // namespace v2d
