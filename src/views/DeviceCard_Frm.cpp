#include "views/DeviceCard_Frm.h"

#include "lang/ConstLang_Unt.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace {

// The current values stand in 4 columns where the card is wide enough,
// else 2 or 1: a value is never cut off its unit. Even counts keep a K801's
// or K802's temperature and humidity of one sensor on one line.
constexpr int kValueColumnChoices[] = {4, 2, 1};
constexpr int kValueSpacing = 32;

QLabel *NamedLabel(QWidget *parent, const char *name)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

TSignalBars::TSignalBars(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("SignalBars"));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void TSignalBars::SetValue(int value)
{
    m_value = value;
    update();
}

int TSignalBars::BarsFor(int value)
{
    if (value <= 0 || value > FullScale)
        return 0;
    return (value * BarCount + FullScale - 1) / FullScale;
}

QSize TSignalBars::sizeHint() const
{
    return QSize(BarCount * 7, 18);
}

void TSignalBars::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    const int lit = BarsFor(m_value);
    const int barWidth = width() / BarCount - 2;
    for (int bar = 0; bar < BarCount; ++bar) {
        const int barHeight = height() * (bar + 1) / BarCount;
        const QRect rect(bar * (barWidth + 2), height() - barHeight, barWidth, barHeight);
        painter.fillRect(rect, bar < lit ? palette().color(QPalette::Highlight)
                                         : palette().color(QPalette::Mid));
    }
}

TFormDeviceCard::TFormDeviceCard(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("DeviceCard"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(32, 24, 32, 24);
    layout->setSpacing(12);

    m_title = NamedLabel(this, "lbl_CardTitle");
    QFont titleFont = m_title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 2);
    titleFont.setBold(true);
    m_title->setFont(titleFont);
    layout->addWidget(m_title);

    auto *lines = new QGridLayout;
    lines->setHorizontalSpacing(48);
    lines->setVerticalSpacing(8);
    lbl_ModelNo = NamedLabel(this, "lbl_ModelNo");
    lbl_Verstion = NamedLabel(this, "lbl_Verstion");
    lbl_IMEI = NamedLabel(this, "lbl_IMEI");
    lbl_SignalValue = NamedLabel(this, "lbl_SignalValue");
    m_bars = new TSignalBars(this);
    auto *signalLine = new QHBoxLayout;
    signalLine->setContentsMargins(0, 0, 0, 0);
    signalLine->addWidget(lbl_SignalValue);
    signalLine->addWidget(m_bars, 0, Qt::AlignVCenter);
    signalLine->addStretch();
    lines->addWidget(lbl_ModelNo, 0, 0);
    lines->addWidget(lbl_Verstion, 1, 0);
    lines->addWidget(lbl_IMEI, 2, 0);
    lines->addLayout(signalLine, 3, 0);
    lbl_SettingsRead = NamedLabel(this, "lbl_SettingsRead");
    lines->addWidget(lbl_SettingsRead, 4, 0);

    lbl_DeviceClock = NamedLabel(this, "lbl_DeviceClock");
    lbl_Port = NamedLabel(this, "lbl_Port");
    lbl_Link = NamedLabel(this, "lbl_Link");
    lbl_Relay1 = NamedLabel(this, "lbl_Relay1");
    lbl_Relay2 = NamedLabel(this, "lbl_Relay2");
    lines->addWidget(lbl_Port, 0, 1);
    lines->addWidget(lbl_Link, 1, 1);
    lines->addWidget(lbl_DeviceClock, 2, 1);
    lines->addWidget(lbl_Relay1, 3, 1);
    lines->addWidget(lbl_Relay2, 4, 1);
    lines->setColumnStretch(2, 1);
    layout->addLayout(lines);

    lbl_CurrentValues = NamedLabel(this, "lbl_CurrentValues");
    QFont sectionFont = lbl_CurrentValues->font();
    sectionFont.setBold(true);
    lbl_CurrentValues->setFont(sectionFont);
    layout->addWidget(lbl_CurrentValues);
    m_valueBox = new QWidget(this);
    m_valueBox->setObjectName(QStringLiteral("CurrentValues"));
    m_valueGrid = new QGridLayout(m_valueBox);
    m_valueGrid->setContentsMargins(0, 0, 0, 0);
    m_valueGrid->setHorizontalSpacing(kValueSpacing);
    layout->addWidget(m_valueBox);
    layout->addStretch();

    Refresh();
}

void TFormDeviceCard::SetVersionReply(const QString &model, const QString &version,
                                      const QString &imei, const QString &signal)
{
    m_model = model;
    m_version = version;
    m_imei = imei;
    m_signal = signal;
    bool isNumber = false;
    const int value = signal.toInt(&isNumber);
    m_bars->SetValue(isNumber ? value : -1);
    Refresh();
}

void TFormDeviceCard::SetDeviceClock(const QDateTime &clock)
{
    m_clock = clock;
    Refresh();
}

void TFormDeviceCard::SetPort(const QString &portName, TLink link)
{
    m_port = portName;
    m_link = link;
    Refresh();
}

void TFormDeviceCard::SetRelayStates(quint8 statusBits)
{
    m_relayBits = statusBits;
    m_relayUnknown = false;
    Refresh();
}

void TFormDeviceCard::SetRelayStatesUnknown()
{
    m_relayBits.reset();
    m_relayUnknown = true;
    Refresh();
}

void TFormDeviceCard::SetCurrentValues(int modelIndex, const QStringList &values, const QTime &at)
{
    m_valuesModel = modelIndex;
    m_values = values;
    m_valuesAt = at;
    Refresh();
}

void TFormDeviceCard::SetSettingsRead(const QDateTime &at)
{
    m_settingsRead = at;
    Refresh();
}

void TFormDeviceCard::Retranslate(int language)
{
    if (language != ConstLang::Chinese && language != ConstLang::English)
        return;
    m_language = language;
    Refresh();
}

QString TFormDeviceCard::Text(const char *key) const
{
    return ConstLang::Text(QString::fromLatin1(key), m_language);
}

QString TFormDeviceCard::ValueOrNotRead(const QString &value) const
{
    return value.isEmpty() ? Text("TxtNotRead") : value;
}

void TFormDeviceCard::Refresh()
{
    m_title->setText(m_model.isEmpty() ? QStringLiteral("K801 / K802 / K803") : m_model);
    lbl_ModelNo->setText(Text("LblModel") + ValueOrNotRead(m_model));
    lbl_Verstion->setText(Text("LblVersion") + ValueOrNotRead(m_version));
    lbl_IMEI->setText(Text("LblImei") + ValueOrNotRead(m_imei));
    QString signal = ValueOrNotRead(m_signal);
    if (!m_signal.isEmpty())
        signal += QStringLiteral(" / %1").arg(TSignalBars::FullScale);
    lbl_SignalValue->setText(Text("LblSignal") + signal);
    m_bars->setVisible(!m_signal.isEmpty());

    lbl_DeviceClock->setText(Text("LblDeviceClock")
                             + (m_clock.isValid() ? m_clock.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                                                  : Text("TxtNotRead")));
    const char *linkKey = "TxtLinkClosed";
    switch (m_link) {
    case TLink::Closed: linkKey = "TxtLinkClosed"; break;
    case TLink::Opening: linkKey = "TxtLinkOpening"; break;
    case TLink::LoggedIn: linkKey = "TxtLinkLoggedIn"; break;
    case TLink::Lost: linkKey = "TxtLinkLost"; break;
    case TLink::ViewMode: linkKey = "TxtLinkViewMode"; break;
    case TLink::NoAnswer: linkKey = "TxtLinkNoAnswer"; break;
    }
    lbl_Port->setText(Text("LblPort") + (m_port.isEmpty() ? QStringLiteral("-") : m_port));
    lbl_Link->setText(Text("LblLink") + Text(linkKey));

    auto relayText = [this](int relay) {
        if (m_relayUnknown)
            return Text("TxtDoStatusUnknown");
        if (!m_relayBits)
            return Text("TxtNotRead");
        return Text(((*m_relayBits >> relay) & 1) ? "TxtDoStatusClosed" : "TxtDoStatusOpen");
    };
    lbl_Relay1->setText(Text("LblRelay1") + relayText(0));
    lbl_Relay2->setText(Text("LblRelay2") + relayText(1));
    lbl_SettingsRead->setText(m_settingsRead.isValid()
                                  ? Text("TxtSettingsReadAt").arg(m_settingsRead.toString(
                                      // A read of another day names its day.
                                      m_settingsRead.date() == QDate::currentDate()
                                          ? QStringLiteral("HH:mm:ss")
                                          : QStringLiteral("yyyy-MM-dd HH:mm:ss")))
                                  : Text("TxtSettingsNotReadYet"));

    lbl_CurrentValues->setText(Text("LblCurrentValues")
                               + (m_values.isEmpty() ? Text("TxtNotRead")
                                                     : Text("TxtValuesAsOf")
                                                           .arg(m_valuesAt.toString(QStringLiteral("HH:mm:ss")))));
    const QStringList captions = ConstLang::ThRowCaptions(m_valuesModel, m_language);
    const int shown = int(qMin(captions.size(), m_values.size()));
    while (m_valueLabels.size() > shown)
        delete m_valueLabels.takeLast();
    while (m_valueLabels.size() < shown)
        m_valueLabels << NamedLabel(m_valueBox, "lbl_CurrentValue");
    for (int index = 0; index < shown; ++index) {
        const QString &value = m_values.at(index);
        bool number = false;
        value.toDouble(&number);
        const bool humidity = m_valuesModel != 2 && index % 2 == 1;
        const QString unit = number ? (humidity ? QStringLiteral(" %RH") : QStringLiteral(" °C")) : QString();
        m_valueLabels.at(index)->setText(captions.at(index) + QStringLiteral(": ") + value + unit);
    }
    PlaceValues();
}

int TFormDeviceCard::ValueColumns() const
{
    int widest = 0;
    for (const QLabel *label : m_valueLabels)
        widest = qMax(widest, label->sizeHint().width());
    const QMargins margins = contentsMargins() + layout()->contentsMargins();
    const int room = width() - margins.left() - margins.right();
    for (const int columns : kValueColumnChoices) {
        if (columns * widest + (columns - 1) * kValueSpacing <= room)
            return columns;
    }
    return 1;
}

void TFormDeviceCard::PlaceValues()
{
    const int columns = ValueColumns();
    if (columns == m_valueColumns && m_valueGrid->count() == m_valueLabels.size())
        return;
    m_valueColumns = columns;
    for (QLabel *label : m_valueLabels)
        m_valueGrid->removeWidget(label);
    // Stretches of an earlier, wider placing go; the column after the last takes the rest.
    for (int column = 0; column < m_valueGrid->columnCount(); ++column)
        m_valueGrid->setColumnStretch(column, 0);
    for (int index = 0; index < m_valueLabels.size(); ++index)
        m_valueGrid->addWidget(m_valueLabels.at(index), index / columns, index % columns);
    m_valueGrid->setColumnStretch(columns, 1);
}

void TFormDeviceCard::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    PlaceValues();
}

void TFormDeviceCard::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    // Another skin or font widens the texts.
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        m_valueColumns = 0;
        PlaceValues();
    }
}
