#pragma once

#include "history/HistoryCsv_Unt.h"

#include <QString>

class THistoryArchive;

// Writes every archived record of one device into a history CSV file, the
// lines the grid's export writes for them, streamed from the archive so that
// a log of any length goes out in little memory (the grid shows at most a
// part of it). The window's archive export and `k80x-cli archive export`
// both write through here.
struct THistoryArchiveExport
{
    enum class TFailure {
        None,
        EmptyDevice,  // the archive holds no records of the device
        UnknownModel, // the device's model is not one the program decodes
        ArchiveRead,  // the archive failed while it was read: nothing written
        File,         // the file could not be written (File says why)
    };

    TFailure failure = TFailure::None;
    THistoryCsv::TResult file; // for File, and the name written on success
    int records = 0;

    explicit operator bool() const { return failure == TFailure::None; }

    // The model is the one the archive holds for the device; the captions
    // and texts are in language (0 Chinese, 1 English).
    static THistoryArchiveExport Write(const THistoryArchive &archive, const QString &imei, const QString &fileName,
                                       int language);
};
