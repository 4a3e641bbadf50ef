#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <optional>

class QGridLayout;
class QLabel;

// The signal strength as bars, five at full scale (31).
class TSignalBars : public QWidget
{
    Q_OBJECT
public:
    static constexpr int BarCount = 5;
    static constexpr int FullScale = 31;

    explicit TSignalBars(QWidget *parent = nullptr);

    // The GSM signal value as the device reports it: 0 to 31; anything else
    // (99 is "not known" on a modem) shows no bar.
    void SetValue(int value);
    int Value() const { return m_value; }
    // Bars lit for a signal value: 0 for 0 and for values outside 0..31.
    static int BarsFor(int value);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_value = -1;
};

// The welcome page as the card of the connected device: model, firmware
// version, IMEI, signal (bars and number), device clock, port and link
// state, relay states, when the settings were last read and the current
// sensor values. The main window calls the setters as the replies come;
// every caption follows Retranslate. A value not known yet reads "not read
// yet".
//
// The first four lines keep the names lbl_ModelNo, lbl_Verstion, lbl_IMEI and
// lbl_SignalValue and read caption + value ("Model:K802").
class TFormDeviceCard : public QWidget
{
    Q_OBJECT
public:
    enum class TLink { Closed, Opening, LoggedIn, Lost, ViewMode, NoAnswer };

    explicit TFormDeviceCard(QWidget *parent = nullptr);

    // The texts of the version reply; signal is its decimal text.
    void SetVersionReply(const QString &model, const QString &version, const QString &imei,
                         const QString &signal);
    void SetDeviceClock(const QDateTime &clock);
    void SetPort(const QString &portName, TLink link);
    // Bit 0 DO1, bit 1 DO2; a set bit is a closed relay.
    void SetRelayStates(quint8 statusBits);
    // A relay line went out but no state came back: both read "Unknown",
    // as the DO list shows them.
    void SetRelayStatesUnknown();
    // The current sensor values, one text per channel row of the model
    // (0 K801, 1 K802, 2 K803), in row order, read at the time at (the PC's
    // clock). A number is shown with its unit: °C for a temperature row,
    // %RH for a humidity row (the odd rows of a K801 or K802).
    void SetCurrentValues(int modelIndex, const QStringList &values, const QTime &at = QTime::currentTime());

    // The last successful Read Setting, at the PC's local time.
    void SetSettingsRead(const QDateTime &at);
    QDateTime SettingsRead() const { return m_settingsRead; }

    // 0 Chinese, 1 English; any other value changes nothing.
    void Retranslate(int language);
    int Language() const { return m_language; }

    TLink Link() const { return m_link; }
    TSignalBars *SignalBars() const { return m_bars; }

    // Columns the current values stand in at the card's width: 4, 2 or 1.
    int ValueColumns() const;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void PlaceValues();
    QLabel *AddLine(const char *name, int row);
    void Refresh();
    QString Text(const char *key) const;
    QString ValueOrNotRead(const QString &value) const;

    int m_language = 1;
    QString m_model;
    QString m_version;
    QString m_imei;
    QString m_signal;
    QDateTime m_clock;
    QString m_port;
    TLink m_link = TLink::Closed;
    std::optional<quint8> m_relayBits;
    bool m_relayUnknown = false;
    int m_valuesModel = -1;
    QStringList m_values;
    QTime m_valuesAt;
    QDateTime m_settingsRead;

    QLabel *m_title = nullptr;
    QLabel *lbl_ModelNo = nullptr;
    QLabel *lbl_Verstion = nullptr;
    QLabel *lbl_IMEI = nullptr;
    QLabel *lbl_SignalValue = nullptr;
    TSignalBars *m_bars = nullptr;
    QLabel *lbl_DeviceClock = nullptr;
    QLabel *lbl_Port = nullptr;
    QLabel *lbl_Link = nullptr;
    QLabel *lbl_Relay1 = nullptr;
    QLabel *lbl_Relay2 = nullptr;
    QLabel *lbl_SettingsRead = nullptr;
    QLabel *lbl_CurrentValues = nullptr;
    QWidget *m_valueBox = nullptr;
    QGridLayout *m_valueGrid = nullptr;
    QList<QLabel *> m_valueLabels;
    int m_valueColumns = 0;
};
