#pragma once

#include "config/ConfigImage_Unt.h"

#include <QObject>

class TFormK900;

// Moves the configuration between the main window's controls and the device:
// ImageToControls writes a decoded image into the panes and list views in the
// order the decoder gives (so a check box's handler runs before the edit it
// governs is filled), ControlsToImage reads them back and encodes. The two
// flows read the 15 pages and write the 16 pages with the progress window.
class TSoftMaster : public QObject
{
    Q_OBJECT
public:
    // Retries of one page before a flow gives up on it.
    static constexpr int PageAttempts = 3;

    explicit TSoftMaster(TFormK900 *window);

    // Blanks the panes as a read does, then applies every assignment.
    void ImageToControls(const TDecodeResult &decoded);
    // The values of every control the image holds, as the window shows them.
    TConfigValues ControlsToValues() const;
    // Encodes the controls; on failure the error names the control.
    TEncodeResult ControlsToImage() const;

    void Pop_ReadMaster_SetingClick();
    void Pop_WirteMasterClick();

    // The message of a failed decode or encode, in the window's language.
    QString ErrorMessage(const TConfigError &error) const;

signals:
    // A flow ended with this text shown to the user.
    void FlowFinished(bool ok, const QString &message);

private:
    void BlankPanes();
    void Apply(const TConfigAssignment &assignment);
    QString CaptionOf(const TConfigError &error) const;
    QString Text(const char *key) const;
    void Finish(bool ok, const QString &message, bool asError);

    TFormK900 *m_window;
};
