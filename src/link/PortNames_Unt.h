#pragma once

#include <QString>
#include <QStringList>

class QSettings;

// The network ports (tcp://, rfc2217://) a user logged in through, most
// recent first, kept between runs so that the port list offers them again.
// Only well-formed network names are kept; serial and demo ports are found
// anew at every start.
class TRecentPorts
{
public:
    static constexpr int MaxCount = 8;

    // settings is not owned; null uses the program's own settings file
    // (organisation and application both named by the application's name).
    explicit TRecentPorts(QSettings *settings = nullptr);
    ~TRecentPorts();

    QStringList Names() const;
    // Puts a network name first (in its usual spelling); other names and
    // malformed ones change nothing. The oldest beyond MaxCount are dropped.
    void Remember(const QString &portName);

private:
    QSettings *m_settings;
    bool m_owned = false;
};
