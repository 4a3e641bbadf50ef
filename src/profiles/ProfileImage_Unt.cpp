#include "profiles/ProfileImage_Unt.h"

#include "config/FieldCaptions_Unt.h"
#include "config/TimerCodes_Unt.h"
#include "lang/ConstLang_Unt.h"

#include <QFile>
#include <QSet>

namespace {

namespace Names = ConfigControls;
namespace Cells = ConfigCells;

const QString kValueSection = QStringLiteral("Value");
constexpr int kModelCount = 3;

enum class TKind { Text, Check, Combo, Time, List };

struct TEntry
{
    TKind Kind;
    const QString *Name;
};

// The window's profile walk: its containers in order, each one's stored
// children in child order.
const TEntry kWalk[] = {
    // grp_BasicSeting
    {TKind::Text, &Names::DeviceDescription},
    {TKind::Text, &Names::DeviceId},
    {TKind::Check, &Names::AddTimeToAlarmSms},
    {TKind::Check, &Names::AutoArmed},
    {TKind::Check, &Names::AutoArmCheck},
    {TKind::Text, &Names::AutoArmMinutes},
    {TKind::Text, &Names::PowerLossDelay},
    {TKind::Time, &Names::ReportTime},
    {TKind::Text, &Names::RecordInterval},
    {TKind::Text, &Names::SmsReportInterval},
    {TKind::Check, &Names::ReportTimeCheck},
    {TKind::Check, &Names::PowerLossCheck},
    {TKind::Check, &Names::RecordCheck},
    {TKind::Check, &Names::SmsReportCheck},
    {TKind::Check, &Names::StopDialling},
    // grp_PasswordSeting
    {TKind::Text, &Names::MainPassword},
    {TKind::Check, &TProfileImage::ShowPasswordBox},
    // Sheet_DO, Sheet_TH, Sheet_Telephone, Sheet_DateTime
    {TKind::List, &Names::DoList},
    {TKind::List, &Names::ThList},
    {TKind::List, &Names::TelList},
    {TKind::List, &Names::TimerList},
    // grp_GPRS_BasicSeting
    {TKind::Text, &Names::AccessPointName},
    {TKind::Text, &Names::GprsUserName},
    {TKind::Text, &Names::GprsPassword},
    {TKind::Text, &Names::HeartbeatContent},
    {TKind::Text, &Names::UploadInterval},
    {TKind::Text, &Names::HeartbeatInterval},
    {TKind::Text, &Names::ServerPort},
    {TKind::Combo, &Names::Protocol},
    {TKind::Combo, &Names::Transport},
    {TKind::Text, &Names::ServerAddress},
    {TKind::Text, &Names::LoginMessage},
    {TKind::Check, &Names::LoginHexMode},
};

// Items of the two combo boxes; an index outside them selects nothing.
int ComboItems(const QString &name)
{
    return name == Names::Transport ? 2 : 3;
}

// Sub-items stored per row: a list view's columns less the caption column.
int SubItemsOf(const QString &view)
{
    if (view == Names::DoList)
        return Cells::DoSubItems;
    if (view == Names::ThList)
        return Cells::ThSubItems;
    if (view == Names::TelList)
        return Cells::TelSubItems;
    return Cells::TimerSubItems;
}

int OtherLanguage(int language)
{
    return language == ConstLang::English ? ConstLang::Chinese : ConstLang::English;
}

int KnownLanguage(int language)
{
    return language == ConstLang::Chinese ? ConstLang::Chinese : ConstLang::English;
}

// The day or action code of a cell whose text a profile set, as the window
// reads it: the code the cell held while the text is that code's text in
// either language, else the entry of the language shown, else of the other.
int CodeOfCell(const QString &text, int heldCode, int language,
               QString (*textOf)(int, const QStringList &),
               int (*codeOf)(const QString &, const QStringList &), QStringList (*texts)(int))
{
    if (text.isEmpty())
        return TimerCodes::NoCode;
    const int languages[] = {language, OtherLanguage(language)};
    if (heldCode >= 0) {
        for (const int lang : languages) {
            if (textOf(heldCode, texts(lang)) == text)
                return heldCode;
        }
    }
    for (const int lang : languages) {
        const int code = codeOf(text, texts(lang));
        if (code != TimerCodes::NoCode)
            return code;
    }
    return TimerCodes::NoCode;
}

QStringList SensorCaptionsOfEveryModel()
{
    QStringList captions;
    for (int model = 0; model < kModelCount; ++model) {
        for (const int language : {ConstLang::English, ConstLang::Chinese})
            captions += ConstLang::ThRowCaptions(model, language);
    }
    return captions;
}

void ReadList(const TIniFile &ini, const QString &name, int model, int language, TConfigValues &values,
              QStringList *unmatchedRows)
{
    const QStringList shown = TProfileImage::RowCaptions(name, model, language);
    if (shown.size() < 2 || !ini.SectionNames().contains(name))
        return;
    const QStringList other = TProfileImage::RowCaptions(name, model, OtherLanguage(language));
    QList<QStringList> captions{shown};
    if (other.size() == shown.size())
        captions << other;
    const QStringList reserved = name == Names::ThList ? SensorCaptionsOfEveryModel() : QStringList();
    const std::vector<TIniEntry> entries = ini.SectionEntries(name);
    const std::vector<int> matched = MatchRowEntries(entries, captions, reserved);
    const int subItems = SubItemsOf(name);
    const QStringList week = ConstLang::TimerWeekTexts(language);
    const QStringList actions = ConstLang::TimerActionTexts(language);
    for (int row = 0; row < shown.size(); ++row) {
        if (matched[row] < 0) {
            if (unmatchedRows)
                *unmatchedRows << TrimBlanks(shown.at(row));
            continue;
        }
        const std::vector<std::optional<QString>> fields = SplitListValue(entries[matched[row]].value, subItems + 1);
        const auto apply = [&fields](QStringList cells) {
            for (int subItem = 0; subItem < int(fields.size()) && subItem < cells.size(); ++subItem) {
                if (fields[subItem])
                    cells[subItem] = *fields[subItem];
            }
            return cells;
        };
        if (name == Names::TimerList) {
            if (values.lvTimer.size() <= row)
                values.lvTimer.resize(row + 1);
            TTimerRow &timer = values.lvTimer[row];
            const QStringList after = apply(TimerRowCells(timer, week, actions));
            timer.Enabled = after.at(Cells::TimerEnabled) == Cells::TickMark;
            timer.DayCode = CodeOfCell(after.at(Cells::TimerDay), timer.DayCode, language, &TimerCodes::DayText,
                                       &TimerCodes::DayCodeOfText, &ConstLang::TimerWeekTexts);
            timer.Hour = after.at(Cells::TimerHour);
            timer.Minute = after.at(Cells::TimerMinute);
            timer.ActionCode = CodeOfCell(after.at(Cells::TimerAction), timer.ActionCode, language,
                                          &TimerCodes::ActionText, &TimerCodes::ActionCodeOfText,
                                          &ConstLang::TimerActionTexts);
            continue;
        }
        QVector<QStringList> &rows = name == Names::DoList   ? values.lvDo
                                     : name == Names::ThList ? values.lvTh
                                                             : values.lvTel;
        if (rows.size() <= row)
            rows.resize(row + 1);
        QStringList cells = rows.at(row);
        while (cells.size() < subItems)
            cells << QString();
        rows[row] = apply(cells);
    }
}

} // namespace

QStringList TProfileImage::RowCaptions(const QString &view, int modelIndex, int language)
{
    return FieldCaptions::RowCaptions(view, modelIndex, language);
}

bool TProfileImage::Write(const TConfigValues &values, int modelIndex, int language, TIniFile &ini,
                          QString *failedField)
{
    language = KnownLanguage(language);
    const QStringList week = ConstLang::TimerWeekTexts(language);
    const QStringList actions = ConstLang::TimerActionTexts(language);
    for (const TEntry &entry : kWalk) {
        const QString &name = *entry.Name;
        bool stored = true;
        switch (entry.Kind) {
        case TKind::Text:
            stored = ini.WriteString(kValueSection, name, values.Text(name));
            break;
        case TKind::Check:
            stored = ini.WriteBool(kValueSection, name, values.Checked(name));
            break;
        case TKind::Combo:
            stored = ini.WriteInteger(kValueSection, name, values.ComboIndex(name));
            break;
        case TKind::Time: {
            // The window shows an unset time as the PC's current time and saves that.
            const QTime time = values.Time(name);
            stored = ini.WriteTime(kValueSection, name, time.isValid() ? time : QTime::currentTime());
            break;
        }
        case TKind::List: {
            const QStringList captions = RowCaptions(name, modelIndex, language);
            const int subItems = SubItemsOf(name);
            for (int row = 0; row < captions.size() && stored; ++row) {
                QStringList cells;
                if (name == Names::TimerList)
                    cells = TimerRowCells(values.lvTimer.value(row), week, actions);
                else if (name == Names::DoList)
                    cells = values.lvDo.value(row);
                else if (name == Names::ThList)
                    cells = values.lvTh.value(row);
                else
                    cells = values.lvTel.value(row);
                stored = ini.WriteString(name, captions.at(row), JoinListValue(cells, subItems + 1));
                if (!stored && failedField)
                    *failedField = name + QStringLiteral(" [") + captions.at(row) + QLatin1Char(']');
            }
            break;
        }
        }
        if (!stored) {
            if (failedField && failedField->isEmpty())
                *failedField = name;
            return false;
        }
    }
    return true;
}

TIniResult TProfileImage::Save(const TConfigValues &values, int modelIndex, int language, const QString &fileName)
{
    // A new file replaces an old one only once it is complete.
    TIniFile ini(fileName);
    if (!Write(values, modelIndex, language, ini))
        return {TIniError::WriteFailed, QStringLiteral("a value an INI line cannot hold")};
    return ini.Save();
}

TConfigValues TProfileImage::Read(const TIniFile &ini, int modelIndex, int language, const TConfigValues &base,
                                  QStringList *unmatchedRows)
{
    language = KnownLanguage(language);
    TConfigValues values = base;
    for (const TEntry &entry : kWalk) {
        const QString &name = *entry.Name;
        switch (entry.Kind) {
        case TKind::Text:
            values.Texts[name] = ini.ReadString(kValueSection, name);
            break;
        case TKind::Check:
            values.Checks[name] = ini.ReadBool(kValueSection, name, false);
            break;
        case TKind::Combo: {
            const int index = ini.ReadInteger(kValueSection, name, 0);
            values.Combos[name] = index >= 0 && index < ComboItems(name) ? index : -1;
            break;
        }
        case TKind::Time:
            values.Times[name] = ini.ReadTime(kValueSection, name, QTime::currentTime());
            break;
        case TKind::List:
            ReadList(ini, name, modelIndex, language, values, unmatchedRows);
            break;
        }
    }
    // The boxes' handlers enable the edits they govern.
    const struct {
        const QString *box;
        const QString *control;
    } governed[] = {
        {&Names::ReportTimeCheck, &Names::ReportTime},
        {&Names::PowerLossCheck, &Names::PowerLossDelay},
        {&Names::RecordCheck, &Names::RecordInterval},
        {&Names::SmsReportCheck, &Names::SmsReportInterval},
        {&Names::AutoArmCheck, &Names::AutoArmMinutes},
    };
    for (const auto &pair : governed)
        values.Enabled[*pair.control] = values.Checked(*pair.box);
    return values;
}

bool TProfileImage::IsProfile(const TIniFile &ini)
{
    for (const TEntry &entry : kWalk) {
        if (entry.Kind == TKind::List ? ini.SectionExists(*entry.Name) : ini.KeyExists(kValueSection, *entry.Name))
            return true;
    }
    return false;
}

int TProfileImage::SensorModel(const TIniFile &ini)
{
    if (!ini.SectionExists(Names::ThList))
        return -1;
    QSet<QString> keys;
    for (const TIniEntry &entry : ini.SectionEntries(Names::ThList))
        keys.insert(TrimBlanks(entry.key));
    for (int model = 0; model < kModelCount; ++model) {
        for (const int language : {ConstLang::English, ConstLang::Chinese}) {
            const QStringList captions = ConstLang::ThRowCaptions(model, language);
            if (keys == QSet<QString>(captions.cbegin(), captions.cend()))
                return model;
        }
    }
    return -1;
}
