#include "lang/QtTranslations_Unt.h"

#include "lang/ConstLang_Unt.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace QtTranslations {

namespace {

// Lives as long as the application; installed only while Chinese is chosen.
QTranslator *ChineseTranslator()
{
    static QTranslator *translator = [] {
        auto *created = new QTranslator(QCoreApplication::instance());
        if (!created->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                           QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            delete created;
            return static_cast<QTranslator *>(nullptr);
        }
        return created;
    }();
    return translator;
}

bool g_installed = false;

} // namespace

bool Use(int language)
{
    if (language == ConstLang::English) {
        if (g_installed)
            QCoreApplication::removeTranslator(ChineseTranslator());
        g_installed = false;
        return true;
    }
    if (language != ConstLang::Chinese)
        return false;
    if (g_installed)
        return true;
    QTranslator *translator = ChineseTranslator();
    if (translator == nullptr)
        return false;
    g_installed = QCoreApplication::installTranslator(translator);
    return g_installed;
}

bool ChineseInstalled()
{
    return g_installed;
}

} // namespace QtTranslations
