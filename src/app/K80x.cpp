// Program entry: the login window first; on success the main window.
#include "base/Funs_Unt.h"
#include "base/GbkText_Unt.h"
#include "app/K900_Frm.h"
#include "app/Login_Frm.h"
#include "dialogs/Questions_Frm.h"
#include "look/ClickSounds_Unt.h"
#include "look/Skins_Unt.h"
#include "sim/DeviceSimulator_Unt.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QTextStream>
#include <QScreen>

#include <cstring>

namespace {

const char ShowDataOption[] = "show-data";

void SetProgramIdentity()
{
    QCoreApplication::setApplicationName(QStringLiteral("k80x"));
    QCoreApplication::setApplicationVersion(ProgramVersionText().mid(1));
}

// The options; process() answers --help and --version itself and exits.
struct TCommandLine
{
    QCommandLineParser parser;
    QCommandLineOption port{
        QStringLiteral("port"),
        QStringLiteral("Put NAME first in the port list (a serial device, a pseudo-terminal, or "
                       "demo:K801 / demo:K802 / demo:K803). May be given several times."),
        QStringLiteral("NAME")};
    QCommandLineOption showData{
        QLatin1String(ShowDataOption),
        QStringLiteral("Print where the skins were found, whether the click sounds are built in "
                       "and which GBK text conversion is in use, then exit.")};

    explicit TCommandLine(const QCoreApplication &application)
    {
        parser.addHelpOption();
        parser.addVersionOption();
        parser.addOption(port);
        parser.addOption(showData);
        parser.process(application);
    }
};

// --help, --version and --show-data print text only and need no display, so
// they run without the window system.
bool AsksForTextOnly(int argc, char *argv[])
{
    for (int index = 1; index < argc; ++index) {
        const char *argument = argv[index];
        if (*argument != '-')
            continue; // a value, such as a port name
        while (*argument == '-')
            ++argument;
        for (const char *option : {"help", "h", "?", "help-all", "version", "v", ShowDataOption}) {
            if (std::strcmp(argument, option) == 0)
                return true;
        }
    }
    return false;
}

// One line per finding; returns 1 when skins or sounds are missing, so a
// check of an installed copy can rely on the exit code.
int ShowData()
{
    QTextStream out(stdout);
    bool complete = true;
    out << "version: " << ProgramVersionText() << '\n';
    QStringList skins;
    for (const QString &folder : ProgramSkinFolders()) {
        out << "skin folder: " << folder << '\n';
        skins += FindFiles(folder, QStringLiteral(".asz"));
    }
    for (const QString &skin : std::as_const(skins))
        out << "skin: " << skin << '\n';
    complete = complete && !skins.isEmpty();
    for (const TClickSound sound : {TClickSound::Click, TClickSound::List}) {
        QFile wave(ClickSoundResource(sound));
        const bool stored = wave.open(QIODevice::ReadOnly) && wave.read(4) == "RIFF";
        out << "sound: " << wave.fileName() << (stored ? " built in" : " missing") << '\n';
        complete = complete && stored;
    }
    out << "text conversion: " << TGbkText::RouteName(TGbkText::Route()) << '\n';
    return complete ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    if (AsksForTextOnly(argc, argv)) {
        QCoreApplication application(argc, argv);
        SetProgramIdentity();
        const TCommandLine commandLine(application);
        return commandLine.parser.isSet(commandLine.showData) ? ShowData() : 0;
    }

    QApplication application(argc, argv);
    SetProgramIdentity();
    const TCommandLine commandLine(application);
    // demo:K801..demo:K803 open the built-in simulated logger.
    TDeviceSimulator::InstallDemoPorts();

    TFormLogin login(commandLine.parser.values(commandLine.port));
    NoticeMissingGbkConversion(&login, LocaleLanguage());
    if (login.exec() != QDialog::Accepted)
        return 0;

    // The login's connection goes on in the main window: the port stays
    // open, the password is not sent again.
    TFormK900 mainWindow(login.TakeConnection());
    // The main window opens in the middle of the screen it is on.
    QRect placed = mainWindow.frameGeometry();
    placed.moveCenter(mainWindow.screen()->availableGeometry().center());
    mainWindow.move(placed.topLeft());
    mainWindow.show();
    return application.exec();
}
