#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <QVector>

class THistoryArchive;
struct TArchivedDevice;

// One archived device as the archive window's fleet list shows it: when its
// records were last downloaded, how many the archive holds, the values of
// its last record and whether a reading of its last download was beyond
// the limits in force then.
struct TFleetRow
{
    enum class TLimits {
        Unknown,    // no configuration archived with the last download, or it sets no limit
        Within,
        Crossed,
    };

    QString imei;
    QString model;                  // as the device said ("K801")
    int modelIndex = -1;
    QDateTime lastRead;             // the last store of its records (local time)
    QDateTime lastDownload;         // the last download kept, else the last store (local time)
    int records = 0;
    QByteArray lastRecord;          // the 64 bytes of the latest record; empty when none
    TLimits limits = TLimits::Unknown;
    int readingsBeyond = 0;         // readings of the last download beyond a limit, all channels

    // "yyyy-MM-dd HH:mm:ss".
    QString LastDownloadText() const;
    // The last record's values as the device card shows them, one per
    // channel of the model: "Temperature1: 4.5 °C, Humidity1: 50.0 %RH, ...".
    QString ValuesText(int language) const;
    // "within limits", "limits crossed (N readings)" or "limits unknown".
    QString LimitsText(int language) const;
};

namespace ArchiveFleet {

// Records of one device read at most for a judgement or a chart line: a
// whole log of the device.
constexpr int RecordsRead = 20000;

// One row per device of the archive, by IMEI.
QVector<TFleetRow> Rows(const THistoryArchive &archive);
TFleetRow RowOf(const THistoryArchive &archive, const TArchivedDevice &device);

// The record slot (0..15) of a channel of a model, -1 when the model has no
// such channel: Temperature k is slot 2(k-1), Humidity k slot 2k-1.
int ChannelSlot(int modelIndex, bool humidity, int number);

// One device's line of a channel over its archived records.
struct TOverlayLine
{
    QString imei;
    QVector<QPointF> points;        // x: ms since the epoch (local time), y: °C or %RH
    bool cut = false;               // more records are archived than were read
};

// The channel's readings of the latest limit records of a device, in time
// order; records whose time cannot be read give no point.
TOverlayLine ChannelLine(const THistoryArchive &archive, const QString &imei, int modelIndex, int slot,
                         int limit = RecordsRead);

} // namespace ArchiveFleet
