// The outline tool speaks the system's language, as the main program does:
// the translation is installed as soon as the application object exists,
// before the first window is made.
#include <QCoreApplication>

#include "widgets/interface_language.h"

namespace {

void InstallToolLanguage() { v2d::InstallInterfaceTranslation(*QCoreApplication::instance()); }

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallToolLanguage)
