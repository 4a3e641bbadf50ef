#pragma once

#include <QByteArray>
#include <QDateTime>

// Record n of a synthetic log, one every ten minutes from 2017-01-01, with
// every field varying. numbered: the record number in bytes 0-1, as the
// archive keys records by it; otherwise bytes 0-3 are zero.
inline QByteArray SyntheticRecord(int n, bool numbered)
{
    QByteArray record(64, char(0xFF));
    const QDateTime moment = QDateTime(QDate(2017, 1, 1), QTime(0, 0)).addSecs(qint64(n) * 600);
    record[0] = numbered ? char(n & 0xFF) : char(0);
    record[1] = numbered ? char((n >> 8) & 0xFF) : char(0);
    record[2] = record[3] = 0;
    record[4] = char(moment.date().year() - 2000);
    record[5] = char(moment.date().month());
    record[6] = char(moment.date().day());
    record[7] = char(moment.time().hour());
    record[8] = char(moment.time().minute());
    record[9] = char(moment.time().second());
    record[10] = char(n % 32);
    record[11] = char(n % 256);
    for (int slot = 0; slot < 16; ++slot) {
        const quint16 raw = quint16(qint16((n * 37 + slot * 11) % 2000 - 400));
        record[12 + 2 * slot] = char(raw & 0xFF);
        record[13 + 2 * slot] = char(raw >> 8);
    }
    record[44] = char(n % 8);
    return record;
}
