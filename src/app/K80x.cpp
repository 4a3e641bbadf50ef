// Program entry: the login window first; on success the main window.
#include "app/K900_Frm.h"
#include "app/Login_Frm.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QScreen>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("k80x"));

    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption portOption(
        QStringLiteral("port"),
        QStringLiteral("Put NAME first in the port list (a serial device, a pseudo-terminal, or "
                       "demo:K801 / demo:K802 / demo:K803). May be given several times."),
        QStringLiteral("NAME"));
    parser.addOption(portOption);
    parser.process(application);

    TFormLogin login(parser.values(portOption));
    if (login.exec() != QDialog::Accepted)
        return 0;

    TFormK900 mainWindow;
    // The main window opens in the middle of the screen it is on.
    QRect placed = mainWindow.frameGeometry();
    placed.moveCenter(mainWindow.screen()->availableGeometry().center());
    mainWindow.move(placed.topLeft());
    mainWindow.show();
    return application.exec();
}
