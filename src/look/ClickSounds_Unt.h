#pragma once

#include <QObject>
#include <QString>

#include <optional>

class QSoundEffect;
class QWidget;

// The two click sounds of the main window, wave sounds stored with the
// program: "CLICK" for buttons and check boxes, "LIST" for combo boxes and
// labelled edits.
enum class TClickSound { Click, List };

// Resource path of a sound (":/sounds/CLICK", ":/sounds/LIST"); the sounds
// are built into the program and readable from there once this was called.
QString ClickSoundResource(TClickSound sound);

// Plays the click sounds asynchronously. A computer without an audio output
// stays silent: nothing is loaded, nothing is reported, Play returns at once.
// The sounds become available when an output appears later.
class TClickSounds : public QObject
{
    Q_OBJECT
public:
    explicit TClickSounds(QObject *parent = nullptr);

    // True when an audio output exists and the sounds are set up for it.
    bool Available() const;
    // Starts the sound and returns at once; false when silent.
    bool Play(TClickSound sound);

signals:
    // A control asked for its sound (raised even when silent).
    void SoundRequested(TClickSound sound);

private:
    void SetUpForOutputs();

    QSoundEffect *m_click = nullptr;
    QSoundEffect *m_list = nullptr;
};

// The sound a left-button press on pressed makes in mainWindow: CLICK for a
// push button or check box, LIST for a combo box (or its edit) and for the
// edit of a labelled edit; nothing for other controls, for disabled ones and
// for anything in another window (dialogs make no sound).
std::optional<TClickSound> ClickSoundFor(const QWidget *pressed, const QWidget *mainWindow);

// Makes the buttons, check boxes, combo boxes and labelled edits of
// mainWindow click when pressed with the left mouse button, including those
// created later. Call once, when the main window is created; the hook lives
// as long as the window. Returns the sounds it plays.
TClickSounds *InstallClickSounds(QWidget *mainWindow);
