// Placeholder so the library links while the simulator is written.
#include "sim/DeviceSimulator_Unt.h"
TDeviceSimulator::TDeviceSimulator(Model model, QObject *parent) : QObject(parent), m_model(model) {}
TDeviceSimulator::~TDeviceSimulator() = default;
void TDeviceSimulator::ReceiveFromHost(const QByteArray &) {}
