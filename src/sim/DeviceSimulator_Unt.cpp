#include "sim/DeviceSimulator_Unt.h"

#include "link/SerialPort_Unt.h"

TDeviceSimulator::TDeviceSimulator(Model model, QObject *parent)
    : TDemoDevice(parent), m_logger(new TSimLogger(model, this)), m_line(new TSimLine(this))
{
    m_logger->Send = [this](const QList<TSimBurst> &bursts, bool isFrame) { m_line->Send(bursts, isFrame); };
    m_line->Deliver = [this](const QByteArray &bytes) { m_logger->Receive(bytes); };
    connect(m_logger, &TSimLogger::requestReceived, this, &TDeviceSimulator::requestReceived);
    connect(m_line, &TSimLine::bytesToHost, this, &TDemoDevice::BytesToHost);
    connect(m_line, &TSimLine::lineLost, this, &TDemoDevice::LineFailed);
}

TDeviceSimulator::~TDeviceSimulator() = default;

void TDeviceSimulator::ReceiveFromHost(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return;
    emit bytesFromHost(bytes);
    // The reply's latency counts from the last bytes of its request.
    m_line->FromHost(bytes);
}

void TDeviceSimulator::InstallDemoPorts()
{
    DemoDevices::Install([](const QString &modelText, QObject *parent) -> TDemoDevice * {
        Model model;
        if (!ModelFromText(modelText, &model))
            return nullptr;
        return new TDeviceSimulator(model, parent);
    });
}

TDeviceSimulator *DemoSimulator(const TComm *port)
{
    return port ? qobject_cast<TDeviceSimulator *>(port->demoDevice()) : nullptr;
}
