#include "cli/FieldCaptions_Unt.h"

#include "config/ConfigErrorText_Unt.h"

#include "lang/ConstLang_Unt.h"
#include "profiles/IniFile_Unt.h"
#include "profiles/ProfileImage_Unt.h"

namespace {

using ConstLang::TargetKind;

std::optional<QString> TargetText(const QString &control, TargetKind kind, int index, int language)
{
    const ConstLang::TLangTarget *target = ConstLang::FindTarget(control, kind, index);
    if (!target)
        return std::nullopt;
    const std::optional<QString> text = target->Text(language);
    if (!text || TrimBlanks(*text).isEmpty())
        return std::nullopt;
    return TrimBlanks(*text);
}

QString Text(const char *key, int language)
{
    return ConstLang::Text(QString::fromLatin1(key), language);
}

} // namespace

namespace FieldCaptions {

QString Caption(const QString &control, int row, int subItem, int modelIndex, int language)
{
    if (control.isEmpty())
        return Text("TxtImageByte", language).arg(row);
    if (row >= 0) {
        const QStringList rows = TProfileImage::RowCaptions(control, modelIndex, language);
        const QString rowCaption = row < rows.size() ? TrimBlanks(rows.at(row)) : QString::number(row + 1);
        const QString column =
            TargetText(control, TargetKind::Column, subItem + 1, language).value_or(QString::number(subItem + 1));
        return rowCaption + QStringLiteral(" / ") + column;
    }
    const QString named = ConstLang::CaptionControl(control);
    for (const TargetKind kind : {TargetKind::Label, TargetKind::Caption}) {
        if (const std::optional<QString> text = TargetText(named, kind, -1, language))
            return *text;
    }
    return control;
}

QString EncodeErrorText(const TConfigError &error, int modelIndex, int language)
{
    return ConfigErrorText(error, Caption(error.Control, error.Row, error.SubItem, modelIndex, language), language);
}

} // namespace FieldCaptions
