#include "platform/PortList_Unt.h"

#include "base/Funs_Unt.h"
#include "platform/Platform_Unt.h"

void ReadSerialPortList(QStringList &list)
{
    list.clear();
    QStringList names = PlatformSerialPortNames();
    SortPortNames(names);
    list = names;
}

bool RestartProgram()
{
    if (!StartNewCopyOfProgram(ProgramExecutablePath()))
        return false;
    EndProcessNow();
}

bool SetAutoStart(bool on, QString *errorText)
{
    return WriteAutoStartEntry(ProgramExecutablePath(), on, errorText);
}
