#include "profiles/ProfileImage_Unt.h"

#include "lang/ConstLang_Unt.h"

#include <QFile>

namespace {

const QString kValueSection = QStringLiteral("Value");

// The row captions the window's lists show.
QString NumberedCaption(int row)
{
    return QStringLiteral("  ") + QString::number(row + 1);
}

bool WriteRows(TIniFile &ini, const QString &list, const QStringList &captions, const QVector<QStringList> &rows,
               int subItems)
{
    for (int row = 0; row < rows.size() && row < captions.size(); ++row) {
        if (!ini.WriteString(list, captions.at(row), JoinListValue(rows.at(row), subItems + 1)))
            return false;
    }
    return true;
}

} // namespace

bool TProfileImage::Write(const TConfigValues &values, int modelIndex, int language, TIniFile &ini)
{
    namespace Names = ConfigControls;
    namespace Cells = ConfigCells;
    for (auto it = values.Texts.cbegin(); it != values.Texts.cend(); ++it) {
        if (!ini.WriteString(kValueSection, it.key(), it.value()))
            return false;
    }
    for (auto it = values.Checks.cbegin(); it != values.Checks.cend(); ++it) {
        if (!ini.WriteBool(kValueSection, it.key(), it.value()))
            return false;
    }
    for (auto it = values.Combos.cbegin(); it != values.Combos.cend(); ++it) {
        if (!ini.WriteInteger(kValueSection, it.key(), it.value()))
            return false;
    }
    for (auto it = values.Times.cbegin(); it != values.Times.cend(); ++it) {
        // The window shows an unset time as the PC's current time and saves that.
        if (!ini.WriteTime(kValueSection, it.key(), it.value().isValid() ? it.value() : QTime::currentTime()))
            return false;
    }

    QStringList doCaptions{QStringLiteral("DOUT1"), QStringLiteral("DOUT2")};
    QStringList numbered;
    for (int row = 0; row < qMax(values.lvTel.size(), values.lvTimer.size()); ++row)
        numbered << NumberedCaption(row);
    QVector<QStringList> timerRows;
    const QStringList weekList = ConstLang::TimerWeekTexts(language);
    const QStringList actionList = ConstLang::TimerActionTexts(language);
    for (const TTimerRow &row : values.lvTimer)
        timerRows << TimerRowCells(row, weekList, actionList);
    return WriteRows(ini, Names::DoList, doCaptions, values.lvDo, Cells::DoSubItems)
        && WriteRows(ini, Names::ThList, ConstLang::ThRowCaptions(modelIndex, language), values.lvTh, Cells::ThSubItems)
        && WriteRows(ini, Names::TelList, numbered, values.lvTel, Cells::TelSubItems)
        && WriteRows(ini, Names::TimerList, numbered, timerRows, Cells::TimerSubItems);
}

TIniResult TProfileImage::Save(const TConfigValues &values, int modelIndex, int language, const QString &fileName)
{
    QFile::remove(fileName);
    TIniFile ini(fileName);
    if (!Write(values, modelIndex, language, ini))
        return {TIniError::WriteFailed, QStringLiteral("a value an INI line cannot hold")};
    return ini.Save();
}
