#include "config/FieldCaptions_Unt.h"

#include "config/ConfigErrorText_Unt.h"
#include "lang/ConstLang_Unt.h"

#include <optional>

namespace {

using ConstLang::TargetKind;

std::optional<QString> TargetText(const QString &control, TargetKind kind, int index, int language)
{
    const ConstLang::TLangTarget *target = ConstLang::FindTarget(control, kind, index);
    if (!target)
        return std::nullopt;
    const std::optional<QString> text = target->Text(language);
    if (!text || text->trimmed().isEmpty())
        return std::nullopt;
    return text->trimmed();
}

QString Text(const char *key, int language)
{
    return ConstLang::Text(QString::fromLatin1(key), language);
}

} // namespace

namespace FieldCaptions {

QStringList RowCaptions(const QString &view, int modelIndex, int language)
{
    QStringList captions;
    if (view == ConfigControls::ThList)
        return ConstLang::ThRowCaptions(modelIndex, language);
    if (view == ConfigControls::DoList) {
        for (int row = 0; row < ConfigMap::RelayCount; ++row) {
            const ConstLang::TLangTarget *target = ConstLang::FindTarget(view, TargetKind::Row, row);
            captions << (target ? target->Text(language).value_or(QString()) : QString());
        }
        return captions;
    }
    if (view != ConfigControls::TelList && view != ConfigControls::TimerList)
        return captions;
    const int rows = view == ConfigControls::TelList ? ConfigMap::PhoneCount : ConfigMap::TimerCount;
    for (int row = 1; row <= rows; ++row)
        captions << QStringLiteral("  ") + QString::number(row);
    return captions;
}

QString Caption(const QString &control, int row, int subItem, int modelIndex, int language)
{
    if (control.isEmpty())
        return Text("TxtImageByte", language).arg(row);
    if (row >= 0) {
        const QStringList rows = RowCaptions(control, modelIndex, language);
        const QString rowCaption = row < rows.size() ? rows.at(row).trimmed() : QString::number(row + 1);
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
