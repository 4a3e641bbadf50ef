#include "look/Skins_Unt.h"

#include "base/Funs_Unt.h"
#include "platform/Platform_Unt.h"
#include "base/FileSafety_Unt.h"
#include "lang/ConstLang_Unt.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QSettings>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QStringDecoder>

namespace {

const QString SkinExtension = QStringLiteral(".asz");

// A caption written so that the menu shows every '&' of the file name.
QString EscapedCaption(const QString &caption)
{
    QString escaped = caption;
    escaped.replace(QLatin1Char('&'), QLatin1String("&&"));
    return escaped;
}

} // namespace

// The skins' step arrows are images kept with the program; the resources
// live in a static library and are registered before a skin names them.
static void InitArrowResources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(Arrows);
        return true;
    }();
    Q_UNUSED(registered);
}

namespace {
const QString kSkinKey = QStringLiteral("Look/Skin");
} // namespace

bool TSkinEngine::LoadSkin(const QString &path)
{
    InitArrowResources();
    // A style sheet is a few kilobytes; a FIFO or a device named like a
    // skin is never opened.
    constexpr qint64 kMaxSkinSize = 4 * 1024 * 1024;
    const FileSafety::TReadResult read = FileSafety::ReadRegularFile(path, kMaxSkinSize);
    if (!read.ok())
        return false;
    const QByteArray &bytes = read.bytes;
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString styleSheet = decoder.decode(bytes);
    if (decoder.hasError())
        return false;

    const QFileInfo info(path);
    m_folder = info.path() + QLatin1Char('/');
    m_name = TSoftSkins::SkinCaption(path);
    qApp->setStyleSheet(styleSheet);
    emit SkinApplied(path);
    return true;
}

bool ApplySkinFile(const QString &path)
{
    TSkinEngine engine;
    return engine.LoadSkin(path);
}

TSoftSkins::TSoftSkins(QMenu *N_Skins, const QString &programDir)
    : TSoftSkins(N_Skins, QStringList{programDir})
{
}

TSoftSkins::TSoftSkins(QMenu *N_Skins, const QStringList &folders)
    : QObject(N_Skins), m_engine(new TSkinEngine(this))
{
    setObjectName(QStringLiteral("SoftSkins"));
    // The skin in use carries the menu's tick; one at a time.
    m_group = new QActionGroup(this);
    m_group->setExclusive(true);
    for (const QString &folder : folders)
        m_skinFiles += FindFiles(folder, SkinExtension);
    for (const QString &path : std::as_const(m_skinFiles)) {
        QAction *item = N_Skins->addAction(EscapedCaption(SkinCaption(path)));
        item->setData(SkinCaption(path));
        item->setCheckable(true);
        m_group->addAction(item);
        m_items << item;
        connect(item, &QAction::triggered, this, [this, item] { ApplySkin(item); });
    }
}

void TSoftSkins::Retranslate(int language)
{
    for (QAction *item : std::as_const(m_items)) {
        const QString name = item->data().toString();
        const QString translated = ConstLang::Text(QStringLiteral("TxtSkin") + name, language);
        item->setText(EscapedCaption(translated.isEmpty() ? name : translated));
    }
}

bool TSoftSkins::ApplySkin(const QAction *item)
{
    if (!item || m_skinFiles.isEmpty())
        return false;
    // An item of this menu keeps its file's name, whatever language its
    // caption is in.
    const QString name = item->data().toString();
    const int index = FindSkin(m_skinFiles, name.isEmpty() ? PlainCaption(item->text()) : name);
    if (index < 0 || !m_engine->LoadSkin(m_skinFiles.at(index))) {
        TickCurrent();
        return false;
    }
    m_current = SkinCaption(m_skinFiles.at(index));
    TickCurrent();
    if (m_settings)
        m_settings->setValue(kSkinKey, m_current);
    return true;
}

void TSoftSkins::TickCurrent()
{
    for (QAction *item : std::as_const(m_items))
        item->setChecked(!m_current.isEmpty() && item->data().toString() == m_current);
}

void TSoftSkins::RememberIn(QSettings *settings)
{
    if (!settings) {
        // The program's own settings file, as the recent network ports use.
        const QString name = QCoreApplication::applicationName();
        settings = new QSettings(name, name, this);
    }
    m_settings = settings;
    const QString remembered = m_settings->value(kSkinKey).toString();
    for (QAction *item : std::as_const(m_items)) {
        if (!remembered.isEmpty() && item->data().toString() == remembered) {
            ApplySkin(item);
            return;
        }
    }
}

QString TSoftSkins::SkinCaption(const QString &path)
{
    QString name = QFileInfo(path).fileName();
    if (name.endsWith(SkinExtension, Qt::CaseInsensitive))
        name.chop(SkinExtension.size());
    return name;
}

int TSoftSkins::FindSkin(const QStringList &files, const QString &name)
{
    const QString wanted = name.trimmed();
    for (int index = 0; index < files.size(); ++index) {
        if (SkinCaption(files.at(index)).trimmed() == wanted)
            return index;
    }
    return -1;
}

QString TSoftSkins::PlainCaption(const QString &caption)
{
    QString plain;
    plain.reserve(caption.size());
    for (int index = 0; index < caption.size(); ++index) {
        if (caption.at(index) != QLatin1Char('&')) {
            plain += caption.at(index);
        } else if (index + 1 < caption.size() && caption.at(index + 1) == QLatin1Char('&')) {
            plain += QLatin1Char('&');
            ++index;
        }
    }
    return plain.trimmed();
}

TSoftSkins *BuildSkinsMenu(QMenu *menu, const QString &programDir)
{
    return BuildSkinsMenu(menu, QStringList{programDir});
}

TSoftSkins *BuildSkinsMenu(QMenu *menu, const QStringList &folders)
{
    if (!menu)
        return nullptr;
    return new TSoftSkins(menu, folders);
}

QStringList SkinSearchFolders(const QString &programDir, const QString &dataFolder)
{
    const QString program = QDir::cleanPath(QDir(programDir).absolutePath());
    const QString skins = QDir::cleanPath(QDir(dataFolder).absolutePath() + QStringLiteral("/skins"));
    // The program folder is searched with all its sub-folders already.
    if (skins == program || skins.startsWith(program + QLatin1Char('/')))
        return {programDir};
    return {programDir, skins};
}

QStringList ProgramSkinFolders()
{
    return SkinSearchFolders(QCoreApplication::applicationDirPath(), ProgramDataFolder());
}
