#pragma once

#include "views/BaseSoftInterface_Unt.h"

// Binding of the communication sheet. Its controls are plain controls of the
// main window (see SettingsPanes_Frm); the object holds nothing and adds no
// operations to the shared ones.
class TSoftInfoMode : public TBaseSoftInterface
{
    Q_OBJECT
public:
    using TBaseSoftInterface::TBaseSoftInterface;
};
