#include "resources/QtTranslation.h"

#include <QCoreApplication>
#include <QTranslator>

bool QtTranslation::install()
{
    static QTranslator *installed = nullptr;
    if (installed)
        return true;
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QStringLiteral(":/i18n/kestrun_qt_ro.qm")) || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    installed = translator;
    return true;
}
