#pragma once

#include <QString>
#include <QStringList>

// The values that pass between the windows of one run. They live from the
// first use to the end of the process; everything here runs on the UI thread.
struct TAppVariables
{
    // Written by the login window on success (the password field as typed;
    // in View mode the hidden text) and after a configuration read; the main
    // window sends it again at start-up.
    QString ConnectionPassword;
    // The port the login succeeded on; the main window opens it again and
    // shows it in the status bar.
    QString ConnectionPortName;
    // Serial port names, filled by ReadSerialPortList for the port combo box.
    QStringList PortList;
    // Lines of the history CSV file being exported or imported.
    QStringList CsvWorkList;
    // Set when the progress window closes or is destroyed (its Stop button
    // closes it), cleared when it is shown; the long flows end when it is set.
    bool StopFlag = false;
};

// The one instance for the whole run.
TAppVariables &AppVariables();
