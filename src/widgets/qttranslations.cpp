#include "widgets/qttranslations.h"

#include "strings/resstrings.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace widgets {

bool useQtTranslations(int language)
{
    // One translator for the process: a new language replaces the old one.
    static QTranslator *installed = nullptr;
    // Qt's dates and numbers (the file dialog's columns) as well.
    QLocale::setDefault(languageLocale(language));
    if (installed) {
        QCoreApplication::removeTranslator(installed);
        delete installed;
        installed = nullptr;
    }
    if (language != ResStrings::German)
        return true;
    auto *translator = new QTranslator;
    if (!translator->load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    installed = translator;
    return true;
}

} // namespace widgets
