#pragma once

#include "views/BaseSoftInterface_Unt.h"

// Binding object of the protocol debug window. The window keeps its own
// byte lists (ProtocolDebug_Frm); this object holds nothing and adds no
// operations to the shared ones. The main window creates one at start-up.
class TSoftCommportDebug : public TBaseSoftInterface
{
    Q_OBJECT
public:
    using TBaseSoftInterface::TBaseSoftInterface;
};
