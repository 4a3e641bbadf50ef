#pragma once

#include <QString>
#include <QStringList>

// What the windows ask of the operating system, built on the platform layer
// (Platform_Unt): the sorted port list, restarting and auto-start.

// Clears list and fills it with the serial port names of this computer,
// sorted as by SortPortNames. No ports, or no access to them, gives an empty list.
void ReadSerialPortList(QStringList &list);

// Starts a new copy of this program and, when it started, ends this process
// at once with exit code 0 (no return). Returns false when the new copy could
// not be started; this copy then runs on.
bool RestartProgram();

// Writes (on) or removes (off) this program's auto-start entry. Removing an
// entry that is not there succeeds. On failure nothing is changed, false is
// returned and errorText (when given) says what failed, in English, naming
// the place and the system's reason.
[[nodiscard]] bool SetAutoStart(bool on, QString *errorText = nullptr);
