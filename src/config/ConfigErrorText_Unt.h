#pragma once

#include "config/ConfigImage_Unt.h"

#include <QString>

// The message for a value the configuration cannot hold, in a language,
// naming the field by caption: the window passes what it shows beside the
// control, the command-line tool the same caption from the language tables.
QString ConfigErrorText(const TConfigError &error, const QString &caption, int language);
