#include "cli/CliInput_Unt.h"
#include "cli/CliStandalone_Unt.h"

#include "base/FileSafety_Unt.h"
#include "config/FieldCaptions_Unt.h"
#include "config/ConfigImage_Unt.h"
#include "history/HistoryCsv_Unt.h"
#include "lang/ConstLang_Unt.h"
#include "profiles/ProfileImage_Unt.h"


namespace {

// A configuration image or profile is far below this; more is no such file.
constexpr qint64 kMaxImageFileSize = 64 * 1024;
// The model that has every sensor channel.
constexpr int kAllChannelsModel = 1;

// The sensor rows as "8: Temperature1 … Humidity4", so two models with the
// same number of rows but another layout (K801, K803) tell apart.
QString RowSpan(const QStringList &rows)
{
    if (rows.isEmpty())
        return QStringLiteral("0");
    return QStringLiteral("%1: %2 \u2026 %3").arg(rows.size()).arg(rows.first(), rows.last());
}

} // namespace

bool TCliInput::Load(const QString &fileName, int language, QString *error)
{
    m_fileName = fileName;
    m_language = language;
    m_profile = fileName.endsWith(QLatin1String(".ini"), Qt::CaseInsensitive);
    if (!m_profile) {
        const FileSafety::TReadResult read = FileSafety::ReadRegularFile(fileName, kMaxImageFileSize);
        switch (read.error) {
        case FileSafety::TFileError::None:
        case FileSafety::TFileError::TooLarge:
            break;
        case FileSafety::TFileError::Missing:
            *error = ConstLang::Text("CliCannotReadFile", language).arg(fileName, ConstLang::Text("CliNoSuchFile", language));
            return false;
        case FileSafety::TFileError::NotRegular:
            *error = ConstLang::Text("CliCannotReadFile", language).arg(fileName, ConstLang::Text("CliNotRegularFile", language));
            return false;
        case FileSafety::TFileError::Failed:
            *error = ConstLang::Text("CliCannotReadFile", language).arg(fileName, read.detail);
            return false;
        }
        m_image = read.bytes;
        if (m_image.size() != ConfigMap::ImageSize) {
            *error = ConstLang::Text("CliImageSize", language).arg(fileName).arg(ConfigMap::ImageSize);
            return false;
        }
        return true;
    }

    m_ini = TIniFile(fileName);
    const TIniResult loaded = m_ini.Load();
    if (!loaded) {
        if (loaded.error == TIniError::TooLarge || loaded.error == TIniError::NotText) {
            *error = ConstLang::Text("CliNotProfile", language).arg(fileName);
            if (loaded.line > 0)
                *error += QStringLiteral(": ")
                          + ConstLang::Text("TxtTextUnreadableAt", language).arg(loaded.line).arg(loaded.column);
        }
        else
            *error = ConstLang::Text("CliCannotReadFile", language)
                         .arg(fileName, loaded.error == TIniError::Missing ? ConstLang::Text("CliNoSuchFile", language)
                                                                           : loaded.detail);
        return false;
    }
    if (!TProfileImage::IsProfile(m_ini)) {
        *error = ConstLang::Text("CliNotProfile", language).arg(fileName);
        return false;
    }
    m_profileModel = TProfileImage::SensorModel(m_ini);
    return !ImageFor(m_profileModel >= 0 ? m_profileModel : kAllChannelsModel, error).isEmpty();
}

QByteArray TCliInput::ImageFor(int modelIndex, QString *error) const
{
    if (!m_profile)
        return m_image;
    const int rowsInFile = m_ini.SectionExists(ConfigControls::ThList)
                               ? int(m_ini.SectionEntries(ConfigControls::ThList).size())
                               : -1;
    if ((m_profileModel >= 0 && m_profileModel != modelIndex)
        || (m_profileModel < 0 && rowsInFile >= 0 && rowsInFile != SensorRowCount(modelIndex))) {
        QStringList profileRows;
        if (m_profileModel >= 0) {
            profileRows = ConstLang::ThRowCaptions(m_profileModel, m_language);
        } else {
            for (const TIniEntry &entry : m_ini.SectionEntries(ConfigControls::ThList))
                profileRows << entry.key.trimmed();
        }
        const QString profileModel =
            m_profileModel >= 0 ? THistoryCsv::ModelName(m_profileModel) : QStringLiteral("?");
        *error = ConstLang::Text("CliProfileOtherModel", m_language)
                     .arg(m_fileName, profileModel, RowSpan(profileRows), THistoryCsv::ModelName(modelIndex),
                          RowSpan(ConstLang::ThRowCaptions(modelIndex, m_language)));
        return {};
    }
    const TConfigValues values =
        TProfileImage::Read(m_ini, modelIndex, m_language, BlankConfigValues(modelIndex));
    const TEncodeResult encoded = EncodeImage(values, modelIndex);
    if (!encoded.Ok()) {
        *error = m_fileName + QStringLiteral(": ")
                 + FieldCaptions::EncodeErrorText(encoded.Error, modelIndex, m_language);
        return {};
    }
    return encoded.Image;
}
