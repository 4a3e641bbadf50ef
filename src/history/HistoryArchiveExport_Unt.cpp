#include "history/HistoryArchiveExport_Unt.h"

#include "base/Const_Unt.h"
#include "history/HistoryArchive_Unt.h"
#include "history/HistoryGridModel_Unt.h"
#include "history/SoftInterfaceHistory_Unt.h"

THistoryArchiveExport THistoryArchiveExport::Write(const THistoryArchive &archive, const QString &imei,
                                                   const QString &fileName, int language)
{
    THistoryArchiveExport result;
    QString model;
    int held = 0;
    for (const TArchivedDevice &device : archive.Devices()) {
        if (device.imei == imei) {
            model = device.model;
            held = device.records;
        }
    }
    if (held <= 0) {
        result.failure = TFailure::EmptyDevice;
        return result;
    }
    const int modelIndex = Const::ModelIndexOf(model);
    if (modelIndex < 0) {
        result.failure = TFailure::UnknownModel;
        return result;
    }
    TSoftHistory soft;
    soft.SetTexts(THistoryTexts::ForLanguage(language));
    THistoryGridModel columns;
    soft.SetValueColumns(columns, modelIndex, language);
    THistoryCsvWriter writer(fileName, columns.ColCount() - 1);
    if (writer.Open()) {
        const THistoryTexts &texts = soft.Texts();
        int records = 0;
        const bool read = archive.ForEachRecord(imei, [&](const TArchivedRecord &record) {
            writer.AddRow(HistoryRecord::GridRow(record.raw, modelIndex, texts));
            ++records;
            return true;
        });
        // A file cut short is not put in place: the writer drops it.
        if (!read) {
            result.failure = TFailure::ArchiveRead;
            return result;
        }
        result.records = records;
    }
    result.file = writer.Finish();
    if (!result.file)
        result.failure = TFailure::File;
    return result;
}
