#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

// The few things the program asks of the operating system. Windows keeps the
// port list and the auto-start entry in the registry; Linux takes the ports
// from the serial port enumeration and the auto-start entry from an XDG
// autostart file. Everything else in the program is the same on both.

// The serial port names of this computer, unsorted. Windows: the value data
// under HKEY_LOCAL_MACHINE\HARDWARE\DEVICEMAP\SERIALCOMM ("COM3"); Linux: the
// names of the serial devices ("ttyUSB0"). Empty when there are none or the
// system cannot be asked.
QStringList PlatformSerialPortNames();

// Full path of this program's executable, with the system's separators.
QString ProgramExecutablePath();

// The folder where an installed copy keeps its data (skins): on Linux
// <prefix>/share/k80x beside <prefix>/bin, found from the executable's
// folder; on Windows the executable's folder itself. The folder need not
// exist (a build tree has none). Forward slashes, no trailing one.
QString ProgramDataFolder();

// Starts executablePath as a new, independent process without arguments.
// false when it could not be started.
bool StartNewCopyOfProgram(const QString &executablePath);

// Ends this process at once with exit code 0, without any further clean-up.
[[noreturn]] void EndProcessNow();

// Writes (on) or removes (off) the auto-start entry that starts
// executablePath at log-on. Removing a missing entry succeeds. Windows: the
// value AutoStartValueName(executablePath) under HKEY_LOCAL_MACHINE\SOFTWARE\
// Microsoft\Windows\CurrentVersion\Run holding the path (needs administrator
// rights). Linux: the file AutoStartDesktopFilePath(executablePath). On
// failure returns false and sets errorText (when given) to the place and the
// system's reason.
[[nodiscard]] bool WriteAutoStartEntry(const QString &executablePath, bool on,
                                       QString *errorText = nullptr);

// The Windows Run value name: the executable path with every ".exe" removed
// (letter case counts, so "K80X.EXE" keeps its extension).
QString AutoStartValueName(const QString &executablePath);

// Linux: $XDG_CONFIG_HOME/autostart/<executable file name>.desktop, with
// ~/.config for an unset, empty or relative XDG_CONFIG_HOME.
QString AutoStartDesktopFilePath(const QString &executablePath);
// Linux: the desktop entry text that starts executablePath (quoted and
// escaped for the Exec key).
QString AutoStartDesktopEntry(const QString &executablePath);

// true when the user's locale is Chinese (PRC), the one locale that gets the
// Chinese texts. Windows: the user default locale's LOCALE_ILANGUAGE is
// "0804"; elsewhere: the system locale is Chinese in China (zh_CN).
bool UserLocaleIsChinesePRC();
// The same test for a given locale (language Chinese, territory China).
bool LocaleIsChinesePRC(const QLocale &locale);
