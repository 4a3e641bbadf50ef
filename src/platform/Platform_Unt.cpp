#include "platform/Platform_Unt.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <cstdio>
#include <cstdlib>

#ifdef Q_OS_WIN
#include <qt_windows.h>

#include <string>
#else
#include <QFile>
#include <QSaveFile>
#include <QSerialPortInfo>
#endif

QString ProgramExecutablePath()
{
    return QDir::toNativeSeparators(QCoreApplication::applicationFilePath());
}

QString ProgramDataFolder()
{
    // The install rules give the data folder's place relative to the
    // executable's, so an installed tree can be moved as a whole.
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QLatin1Char('/')
                           + QStringLiteral(K80X_DATA_FROM_BIN));
}

bool StartNewCopyOfProgram(const QString &executablePath)
{
    return QProcess::startDetached(executablePath, {});
}

void EndProcessNow()
{
    std::fflush(nullptr);
    std::_Exit(0);
}

QString AutoStartValueName(const QString &executablePath)
{
    QString name = executablePath;
    name.remove(QStringLiteral(".exe"), Qt::CaseSensitive);
    return name;
}

bool LocaleIsChinesePRC(const QLocale &locale)
{
    return locale.language() == QLocale::Chinese && locale.territory() == QLocale::China;
}

namespace {

// Desktop entry string values escape the backslash and control characters.
QString EscapeDesktopString(const QString &text)
{
    QString escaped;
    for (const QChar character : text) {
        switch (character.unicode()) {
        case u'\\': escaped += QLatin1String("\\\\"); break;
        case u'\n': escaped += QLatin1String("\\n"); break;
        case u'\t': escaped += QLatin1String("\\t"); break;
        case u'\r': escaped += QLatin1String("\\r"); break;
        default: escaped += character;
        }
    }
    return escaped;
}

// One quoted Exec argument: '"', '`', '$' and '\' are escaped inside the
// quotes and '%' is doubled (it starts field codes); the string escapes
// apply on top, so a literal backslash ends up as four.
QString QuoteExecArgument(const QString &argument)
{
    QString quoted = QStringLiteral("\"");
    for (const QChar character : argument) {
        if (character == u'"' || character == u'`' || character == u'$' || character == u'\\')
            quoted += u'\\';
        else if (character == u'%')
            quoted += u'%';
        quoted += character;
    }
    quoted += u'"';
    return EscapeDesktopString(quoted);
}

} // namespace

QString AutoStartDesktopFilePath(const QString &executablePath)
{
    QString configHome = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME"));
    if (configHome.isEmpty() || QDir::isRelativePath(configHome))
        configHome = QDir::homePath() + QStringLiteral("/.config");
    return configHome + QStringLiteral("/autostart/") + QFileInfo(executablePath).fileName()
        + QStringLiteral(".desktop");
}

QString AutoStartDesktopEntry(const QString &executablePath)
{
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=%1\n"
                          "Exec=%2\n"
                          "Terminal=false\n"
                          "X-GNOME-Autostart-enabled=true\n")
        .arg(EscapeDesktopString(QFileInfo(executablePath).fileName()),
             QuoteExecArgument(executablePath));
}

#ifdef Q_OS_WIN

namespace {

const wchar_t SerialCommKey[] = L"HARDWARE\\DEVICEMAP\\SERIALCOMM";
const wchar_t RunKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

void SetError(QString *errorText, const QString &what, LONG code)
{
    if (errorText)
        *errorText = what + QStringLiteral(": ") + qt_error_string(int(code));
}

} // namespace

QStringList PlatformSerialPortNames()
{
    QStringList names;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, SerialCommKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return names;
    for (DWORD index = 0;; ++index) {
        wchar_t valueName[256];
        DWORD valueNameLength = 256;
        wchar_t data[128];
        DWORD dataBytes = sizeof data;
        if (RegEnumValueW(key, index, valueName, &valueNameLength, nullptr, nullptr,
                          reinterpret_cast<BYTE *>(data), &dataBytes)
            != ERROR_SUCCESS)
            break;
        QString port = QString::fromWCharArray(data, int(dataBytes / sizeof(wchar_t)));
        while (port.endsWith(QChar(0)))
            port.chop(1);
        names.append(port);
    }
    RegCloseKey(key);
    return names;
}

bool WriteAutoStartEntry(const QString &executablePath, bool on, QString *errorText)
{
    const QString keyName = QStringLiteral("HKEY_LOCAL_MACHINE\\") + QString::fromWCharArray(RunKey);
    HKEY key = nullptr;
    LONG result = RegCreateKeyExW(HKEY_LOCAL_MACHINE, RunKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_SET_VALUE, nullptr, &key, nullptr);
    if (result != ERROR_SUCCESS) {
        SetError(errorText, keyName, result);
        return false;
    }
    const std::wstring valueName = AutoStartValueName(executablePath).toStdWString();
    if (on) {
        const std::wstring data = executablePath.toStdWString();
        result = RegSetValueExW(key, valueName.c_str(), 0, REG_SZ,
                                reinterpret_cast<const BYTE *>(data.c_str()),
                                DWORD((data.size() + 1) * sizeof(wchar_t)));
    } else {
        result = RegDeleteValueW(key, valueName.c_str());
        if (result == ERROR_FILE_NOT_FOUND)
            result = ERROR_SUCCESS;
    }
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) {
        SetError(errorText, keyName, result);
        return false;
    }
    return true;
}

bool UserLocaleIsChinesePRC()
{
    wchar_t code[16] = {};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_ILANGUAGE, code, 16) == 0)
        return false;
    return QString::fromWCharArray(code) == QLatin1String("0804");
}

#else

namespace {

void SetError(QString *errorText, const QString &text)
{
    if (errorText)
        *errorText = text;
}

} // namespace

QStringList PlatformSerialPortNames()
{
    QStringList names;
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &port : ports)
        names.append(port.portName());
    return names;
}

bool WriteAutoStartEntry(const QString &executablePath, bool on, QString *errorText)
{
    const QString path = AutoStartDesktopFilePath(executablePath);
    const QFileInfo entry(path);
    if (!on) {
        if (!entry.exists() && !entry.isSymLink())
            return true;
        QFile file(path);
        if (!file.remove()) {
            SetError(errorText, path + QStringLiteral(": ") + file.errorString());
            return false;
        }
        return true;
    }

    const QString folder = entry.absolutePath();
    if (!QDir().mkpath(folder)) {
        SetError(errorText, folder + QStringLiteral(": cannot create the folder"));
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        SetError(errorText, path + QStringLiteral(": ") + file.errorString());
        return false;
    }
    const QByteArray text = AutoStartDesktopEntry(executablePath).toUtf8();
    if (file.write(text) != text.size() || !file.commit()) {
        SetError(errorText, path + QStringLiteral(": ") + file.errorString());
        return false;
    }
    return true;
}

bool UserLocaleIsChinesePRC()
{
    return LocaleIsChinesePRC(QLocale::system());
}

#endif
