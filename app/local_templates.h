#pragma once
// The workspace's templates: the template browser (by its button and once
// after start-up), whose OK opens the chosen scheme, and "保存为模板":
// rights, name, room type and style, then the row and the files.
#include <QObject>
#include <QString>

#include <functional>

class QWidget;

namespace v2d {

class SceneDocument;
class TDataModule_Manager;
class TFormSample;
class TFormTemple;
class UserPrompts;

class LocalTemplates : public QObject {
    Q_OBJECT
public:
    // `openTemplate(path, name)` replaces the scene with a template.
    LocalTemplates(QWidget& window, SceneDocument& document, UserPrompts& prompts, QString programFolder,
                   std::function<void(const QString&, const QString&)> openTemplate);

    void setWindows(TFormSample* browser, TFormTemple* names, std::function<bool(QWidget*, const QString&)> rights);
    void setDataModule(TDataModule_Manager* module) { dataModule_ = module; }
    // The browser, modal but without blocking.
    void Browse();
    void Store();

signals:
    void helpTextReady(const QString& text);

private:
    QWidget& window_;
    SceneDocument& document_;
    UserPrompts& prompts_;
    QString programFolder_;
    std::function<void(const QString&, const QString&)> openTemplate_;
    TDataModule_Manager* dataModule_ = nullptr;
    TFormSample* FormSample = nullptr;
    TFormTemple* FormTemple = nullptr;
    std::function<bool(QWidget*, const QString&)> rights_;
};

}  // namespace v2d
