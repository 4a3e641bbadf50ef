#include "config/ConfigDiff_Unt.h"

#include "config/ConfigImage_Unt.h"
#include "config/FieldCaptions_Unt.h"
#include "config/TimerCodes_Unt.h"
#include "lang/ConstLang_Unt.h"

namespace {

template <typename Map, typename Text>
void DiffMap(const Map &before, const Map &after, Text text, QList<TFieldDiff> &diffs)
{
    QList<typename Map::key_type> keys = before.keys();
    for (const auto &key : after.keys()) {
        if (!before.contains(key))
            keys << key;
    }
    for (const auto &key : keys) {
        const QString left = text(before.value(key));
        const QString right = text(after.value(key));
        if (left != right)
            diffs << TFieldDiff{key, -1, -1, left, right};
    }
}

void DiffRows(const QString &list, const QVector<QStringList> &before, const QVector<QStringList> &after,
              QList<TFieldDiff> &diffs)
{
    const int rows = qMax(before.size(), after.size());
    for (int row = 0; row < rows; ++row) {
        const QStringList left = before.value(row);
        const QStringList right = after.value(row);
        const int cells = qMax(left.size(), right.size());
        for (int cell = 0; cell < cells; ++cell) {
            if (left.value(cell) != right.value(cell))
                diffs << TFieldDiff{list, row, cell, left.value(cell), right.value(cell)};
        }
    }
}

QVector<QStringList> TimerCells(const QVector<TTimerRow> &rows)
{
    // Codes, not texts: the comparison must not depend on the language.
    QVector<QStringList> cells;
    for (const TTimerRow &row : rows) {
        cells << QStringList{row.Enabled ? ConfigCells::TickMark : QString(),
                             row.DayCode < 0 ? QString() : QString::number(row.DayCode), row.Hour, row.Minute,
                             row.ActionCode < 0 ? QString() : QString::number(row.ActionCode)};
    }
    return cells;
}

} // namespace

QList<TFieldDiff> DiffConfigImages(const QByteArray &before, const QByteArray &after, int modelIndex)
{
    QList<TFieldDiff> diffs;
    if (before == after)
        return diffs;
    const TDecodeResult left = DecodeImage(before, modelIndex);
    const TDecodeResult right = DecodeImage(after, modelIndex);
    if (!left.Ok() || !right.Ok()) {
        diffs << TFieldDiff{QString(), -1, -1, QString::number(before.size()), QString::number(after.size())};
        return diffs;
    }
    const TConfigValues &a = left.Values;
    const TConfigValues &b = right.Values;
    DiffMap(a.Texts, b.Texts, [](const QString &text) { return text; }, diffs);
    DiffMap(a.Checks, b.Checks, [](bool ticked) { return ticked ? ConfigCells::TickMark : QString(); }, diffs);
    DiffMap(a.Combos, b.Combos, [](int index) { return QString::number(index); }, diffs);
    DiffMap(a.Times, b.Times, [](const QTime &time) { return time.isValid() ? time.toString(QStringLiteral("H:mm")) : QString(); },
            diffs);
    DiffRows(ConfigControls::DoList, a.lvDo, b.lvDo, diffs);
    DiffRows(ConfigControls::ThList, a.lvTh, b.lvTh, diffs);
    DiffRows(ConfigControls::TelList, a.lvTel, b.lvTel, diffs);
    DiffRows(ConfigControls::TimerList, TimerCells(a.lvTimer), TimerCells(b.lvTimer), diffs);
    if (diffs.isEmpty()) {
        // Bytes no field shows: one entry per area they lie in, named by
        // the area's first differing byte, with the area's bytes in hex.
        const int size = int(qMin(before.size(), after.size()));
        const auto hex = [](const QByteArray &image, int from, int to) {
            return image.mid(from, to - from).toHex(' ');
        };
        QString area;
        int from = -1;
        int last = -1;
        const auto flush = [&] {
            if (from >= 0)
                diffs << TFieldDiff{QString(), from, -1, hex(before, from, last + 1), hex(after, from, last + 1)};
        };
        for (int offset = 0; offset < size; ++offset) {
            if (before.at(offset) == after.at(offset))
                continue;
            const QString here = FieldCaptions::AreaCaption(offset, modelIndex, 1);
            if (here != area) {
                flush();
                area = here;
                from = offset;
            }
            last = offset;
        }
        flush();
    }
    return diffs;
}

QList<TFieldDiff> DiffDeviceWithSettings(const QByteArray &device, const QByteArray &settings, int modelIndex)
{
    // The device's bytes as the window would show and write them back: a
    // byte the panes cannot hold otherwise (an auto-arm switch of 0x01, a
    // text after its end) is no difference the user could see or make.
    const TDecodeResult decoded = DecodeImage(device, modelIndex);
    if (decoded.Ok()) {
        const TEncodeResult shown = EncodeImage(decoded.Values, modelIndex);
        if (shown.Ok())
            return DiffConfigImages(shown.Image, settings, modelIndex);
    }
    return DiffConfigImages(device, settings, modelIndex);
}

QString DiffValueText(const TFieldDiff &diff, const QString &value, int language)
{
    if (diff.Control != ConfigControls::TimerList || value.isEmpty())
        return value;
    bool ok = false;
    const int code = value.toInt(&ok);
    if (!ok)
        return value;
    if (diff.SubItem == ConfigCells::TimerDay)
        return TimerCodes::DayText(code, ConstLang::TimerWeekTexts(language));
    if (diff.SubItem == ConfigCells::TimerAction)
        return TimerCodes::ActionText(code, ConstLang::TimerActionTexts(language));
    return value;
}

QString DiffCaption(const TFieldDiff &diff, int modelIndex, int language)
{
    return FieldCaptions::Caption(diff.Control, diff.Row, diff.SubItem, modelIndex, language);
}
