#include "link/PortNames_Unt.h"

#include "link/NetLink_Unt.h"

#include <QCoreApplication>
#include <QSettings>

namespace {

const QString kKey = QStringLiteral("Network/RecentPorts");

// The usual spelling of a well-formed network name, else empty.
QString UsualName(const QString &portName)
{
    if (!NetPorts::IsNetworkName(portName))
        return {};
    const std::optional<TNetAddress> address = NetPorts::Parse(portName, 1, nullptr);
    return address ? address->Name() : QString();
}

} // namespace

TRecentPorts::TRecentPorts(QSettings *settings) : m_settings(settings)
{
    if (!m_settings) {
        // The program's own folder: ~/.config/k80x/k80x.conf on Linux.
        const QString name = QCoreApplication::applicationName();
        m_settings = new QSettings(name, name);
        m_owned = true;
    }
}

TRecentPorts::~TRecentPorts()
{
    if (m_owned)
        delete m_settings;
}

QStringList TRecentPorts::Names() const
{
    QStringList names;
    // A hand-edited settings file may hold anything: keep what still reads.
    for (const QString &stored : m_settings->value(kKey).toStringList()) {
        const QString name = UsualName(stored);
        if (!name.isEmpty() && !names.contains(name) && names.size() < MaxCount)
            names << name;
    }
    return names;
}

void TRecentPorts::Remember(const QString &portName)
{
    const QString name = UsualName(portName);
    if (name.isEmpty())
        return;
    QStringList names = Names();
    names.removeAll(name);
    names.prepend(name);
    while (names.size() > MaxCount)
        names.removeLast();
    m_settings->setValue(kKey, names);
    m_settings->sync();
}
