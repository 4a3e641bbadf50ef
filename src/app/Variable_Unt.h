#pragma once

#include <QString>
#include <QStringList>

// The values that pass between the windows of one run. They live from the
// first use to the end of the process; everything here runs on the UI thread.
struct TAppVariables
{
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
