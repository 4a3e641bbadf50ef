#pragma once

#include "link/BasicProtocol_Unt.h"

// Current values (command 6). The reply's data: 16 sensor values (s16, low
// byte first, tenths) and the relay byte (bit 0 DO1, bit 1 DO2, 1 = closed).
// The relay and the sensor requests are the same frame.
class TDiDoThProtocol : public TBasicProtocol
{
public:
    TDataPack ValuesRequest(quint8 selector) const;
    TDataPack DOStateRequest() const { return ValuesRequest(0); }
    TDataPack THValuesRequest() const { return ValuesRequest(0); }
};
