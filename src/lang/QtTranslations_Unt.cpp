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

// Qt's Chinese file lacks the file type names of its file dialogs (a
// context added in Qt 6): "Folder" and "CSV File" stood in English.
class TFileTypeTranslator : public QTranslator
{
public:
    using QTranslator::QTranslator;

    QString translate(const char *context, const char *sourceText, const char *disambiguation,
                      int n) const override
    {
        Q_UNUSED(disambiguation);
        Q_UNUSED(n);
        if (qstrcmp(context, "QAbstractFileIconProvider") != 0)
            return QString();
        static const struct {
            const char *english;
            const char *chinese;
        } names[] = {
            {"Folder", "文件夹"}, {"Drive", "驱动器"}, {"File", "文件"}, {"%1 File", "%1 文件"},
            {"Alias", "替身"},     {"Shortcut", "快捷方式"}, {"Unknown", "未知"},
        };
        for (const auto &name : names) {
            if (qstrcmp(sourceText, name.english) == 0)
                return QString::fromUtf8(name.chinese);
        }
        return QString();
    }

    bool isEmpty() const override { return false; }
};

QTranslator *FileTypeTranslator()
{
    static QTranslator *translator = new TFileTypeTranslator(QCoreApplication::instance());
    return translator;
}

bool g_installed = false;

} // namespace

bool Use(int language)
{
    if (language == ConstLang::English) {
        if (g_installed) {
            QCoreApplication::removeTranslator(FileTypeTranslator());
            QCoreApplication::removeTranslator(ChineseTranslator());
        }
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
    if (g_installed)
        QCoreApplication::installTranslator(FileTypeTranslator());
    return g_installed;
}

bool ChineseInstalled()
{
    return g_installed;
}

} // namespace QtTranslations
