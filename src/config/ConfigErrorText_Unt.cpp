#include "config/ConfigErrorText_Unt.h"

#include "lang/ConstLang_Unt.h"

QString ConfigErrorText(const TConfigError &error, const QString &caption, int language)
{
    const auto text = [language](const char *key) { return ConstLang::Text(QString::fromLatin1(key), language); };
    switch (error.Code) {
    case TConfigErrorCode::None:
        return {};
    case TConfigErrorCode::ImageTooShort:
        return text("MsgConfigImageShort").arg(error.Text);
    case TConfigErrorCode::NumberOutOfRange:
        return text("MsgConfigOutOfRange").arg(caption, error.Text, error.Minimum, error.Maximum);
    case TConfigErrorCode::NotANumber:
        return text("MsgConfigNotNumber").arg(caption, error.Text, error.Minimum, error.Maximum);
    case TConfigErrorCode::MissingChannels:
        return text("MsgConfigMissingChannels").arg(error.Minimum, error.Text);
    case TConfigErrorCode::BadHexPair:
        return text("MsgConfigBadHex").arg(caption, error.Text);
    }
    return {};
}
