#include "sim/PtyBridge_Unt.h"

#include "sim/DeviceSimulator_Unt.h"

#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {

// Replies the program does not read pile up here up to this size; older
// bytes are dropped beyond it, as a full receive buffer would lose them.
constexpr int PendingLimit = 1 << 20;
// How long to wait before reading again after the master reported EIO.
constexpr int ReadRetryMs = 200;

QString ErrnoText(const char *what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace

TPtyBridge::TPtyBridge(TDeviceSimulator *device, QObject *parent)
    : QObject(parent), m_device(device), m_retryTimer(new QTimer(this))
{
    m_retryTimer->setSingleShot(true);
    m_retryTimer->setInterval(ReadRetryMs);
    connect(m_retryTimer, &QTimer::timeout, this, [this] {
        if (m_readNotifier)
            m_readNotifier->setEnabled(true);
    });
    connect(m_device, &TDeviceSimulator::BytesToHost, this, &TPtyBridge::WriteMaster);
}

TPtyBridge::~TPtyBridge()
{
    closeMaster();
}

bool TPtyBridge::open()
{
    if (isOpen())
        return true;
    m_error.clear();
    int master = -1;
    int slave = -1;
    char name[256] = {};
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        m_error = ErrnoText("openpty");
        return false;
    }
    termios settings {};
    if (::tcgetattr(slave, &settings) != 0) {
        m_error = ErrnoText("tcgetattr");
        ::close(master);
        ::close(slave);
        return false;
    }
    ::cfmakeraw(&settings);
    ::cfsetispeed(&settings, B115200);
    ::cfsetospeed(&settings, B115200);
    settings.c_cflag |= CLOCAL | CREAD;
    if (::tcsetattr(slave, TCSANOW, &settings) != 0) {
        m_error = ErrnoText("tcsetattr");
        ::close(master);
        ::close(slave);
        return false;
    }
    const int flags = ::fcntl(master, F_GETFL);
    if (flags < 0 || ::fcntl(master, F_SETFL, flags | O_NONBLOCK) != 0) {
        m_error = ErrnoText("fcntl");
        ::close(master);
        ::close(slave);
        return false;
    }
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave, F_SETFD, FD_CLOEXEC);

    m_master = master;
    m_slave = slave;
    m_slavePath = QString::fromLocal8Bit(name);
    m_readNotifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &TPtyBridge::ReadMaster);
    m_writeNotifier = new QSocketNotifier(m_master, QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &TPtyBridge::FlushPending);
    return true;
}

void TPtyBridge::closeMaster()
{
    if (!isOpen())
        return;
    m_retryTimer->stop();
    delete m_readNotifier;
    m_readNotifier = nullptr;
    delete m_writeNotifier;
    m_writeNotifier = nullptr;
    ::close(m_master);
    m_master = -1;
    if (m_slave >= 0) {
        ::close(m_slave);
        m_slave = -1;
    }
    m_pending.clear();
    m_slavePath.clear();
}

void TPtyBridge::Fail(const QString &reason)
{
    m_error = reason;
    closeMaster();
    emit lineLost(reason);
}

void TPtyBridge::ReadMaster()
{
    char buffer[4096];
    for (;;) {
        const ssize_t count = ::read(m_master, buffer, sizeof buffer);
        if (count > 0) {
            m_device->ReceiveFromHost(QByteArray(buffer, int(count)));
            if (!isOpen())
                return;
            continue;
        }
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return;
        if (count < 0 && errno == EIO) {
            // No slave side open at the moment. Holding the slave ourselves
            // prevents this, but should it happen, look again later instead
            // of spinning on a descriptor that stays readable.
            m_readNotifier->setEnabled(false);
            m_retryTimer->start();
            return;
        }
        Fail(count == 0 ? QStringLiteral("pseudo-terminal closed") : ErrnoText("read"));
        return;
    }
}

void TPtyBridge::WriteMaster(const QByteArray &bytes)
{
    if (!isOpen())
        return;
    m_pending.append(bytes);
    if (m_pending.size() > PendingLimit)
        m_pending.remove(0, m_pending.size() - PendingLimit);
    FlushPending();
}

void TPtyBridge::FlushPending()
{
    while (!m_pending.isEmpty()) {
        const ssize_t count = ::write(m_master, m_pending.constData(), size_t(m_pending.size()));
        if (count > 0) {
            m_pending.remove(0, int(count));
            continue;
        }
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            m_writeNotifier->setEnabled(true);
            return;
        }
        if (count < 0 && errno == EIO) {
            // Nobody on the slave side: the bytes would go nowhere.
            m_pending.clear();
            break;
        }
        Fail(ErrnoText("write"));
        return;
    }
    if (m_writeNotifier)
        m_writeNotifier->setEnabled(false);
}
