#pragma once

#include "config/ConfigImage_Unt.h"

#include <QObject>

class QWidget;

// Moves the configuration between the main window's controls and the device:
// ImageToControls writes a decoded image into the panes and list views in the
// order the decoder gives (so a check box's handler runs before the edit it
// governs is filled), ControlsToImage reads them back and encodes. The main
// window tells it the model and the language as they change.
class TSoftMaster : public QObject
{
    Q_OBJECT
public:
    explicit TSoftMaster(QWidget *window);

    // -1 until the model is known, then 0 K801, 1 K802, 2 K803.
    void SetModelIndex(int modelIndex) { m_modelIndex = modelIndex; }
    // 0 Chinese, 1 English.
    void SetLanguage(int language) { m_language = language; }

    // Blanks the panes as a read does, then applies every assignment.
    void ImageToControls(const TDecodeResult &decoded);
    // The values of every control the image holds, and of the show-password
    // box, as the window shows them (lvTh rows of ShownModel).
    TConfigValues ControlsToValues() const;
    // Puts values into the panes, as a profile load does: the boxes first
    // (their handlers enable, clear or reset the edits they govern), then the
    // edits and the rest, so the values given win. List rows and cells the
    // values do not hold stay as they are.
    void ValuesToControls(const TConfigValues &values);
    // The model whose sensor rows the panes show: the device's, or before any
    // version reply the model the rows were built for; -1 for none.
    int ShownModel() const;
    // True while ImageToControls or ValuesToControls fills the panes: the
    // change signals the panes send then are no user's edits.
    bool Filling() const { return m_filling; }
    // Encodes the controls; on failure the error names the control.
    TEncodeResult ControlsToImage() const;

    // The message of a failed decode or encode, in the window's language.
    QString ErrorMessage(const TConfigError &error) const;
    // The on-screen caption of the control (and list cell) error points at
    // (FieldCaptions).
    QString CaptionOf(const TConfigError &error) const;

private:
    void BlankPanes();
    void Apply(const TConfigAssignment &assignment);
    QString Text(const char *key) const;

    QWidget *m_window;
    int m_modelIndex = -1;
    int m_language = 1;
    bool m_filling = false;
};
