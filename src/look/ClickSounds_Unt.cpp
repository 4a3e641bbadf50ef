#include "look/ClickSounds_Unt.h"

#include "look/ComponentEx.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QUrl>

#ifdef K80X_HAVE_MULTIMEDIA
#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#endif

// The resources live in a static library: registering them here makes the
// linker keep them with the code that plays them.
static void InitSoundResources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(Sounds);
        return true;
    }();
    Q_UNUSED(registered);
}

namespace {

// Watches the whole application for presses and plays the sound of the
// pressed control when it belongs to the main window.
class TClickSoundHook : public QObject
{
public:
    TClickSoundHook(QWidget *mainWindow, TClickSounds *sounds)
        : QObject(mainWindow), m_mainWindow(mainWindow), m_sounds(sounds)
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonPress && watched->isWidgetType()
            && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            if (const auto sound = ClickSoundFor(static_cast<QWidget *>(watched), m_mainWindow))
                m_sounds->Play(*sound);
        }
        return false;
    }

private:
    QWidget *m_mainWindow;
    TClickSounds *m_sounds;
};

} // namespace

QString ClickSoundResource(TClickSound sound)
{
    InitSoundResources();
    return sound == TClickSound::Click ? QStringLiteral(":/sounds/CLICK")
                                       : QStringLiteral(":/sounds/LIST");
}

TClickSounds::TClickSounds(QObject *parent) : QObject(parent)
{
    InitSoundResources();
#ifdef K80X_HAVE_MULTIMEDIA
    auto *devices = new QMediaDevices(this);
    connect(devices, &QMediaDevices::audioOutputsChanged, this, &TClickSounds::SetUpForOutputs);
#endif
    SetUpForOutputs();
}

void TClickSounds::SetUpForOutputs()
{
#ifdef K80X_HAVE_MULTIMEDIA
    delete m_click;
    delete m_list;
    m_click = nullptr;
    m_list = nullptr;
    const QAudioDevice output = QMediaDevices::defaultAudioOutput();
    if (output.isNull())
        return;
    auto load = [this, &output](TClickSound sound) {
        auto *effect = new QSoundEffect(output, this);
        effect->setSource(QUrl(QStringLiteral("qrc") + ClickSoundResource(sound)));
        return effect;
    };
    m_click = load(TClickSound::Click);
    m_list = load(TClickSound::List);
#endif
}

bool TClickSounds::Available() const
{
    return m_click && m_list;
}

bool TClickSounds::Play(TClickSound sound)
{
    emit SoundRequested(sound);
#ifdef K80X_HAVE_MULTIMEDIA
    QSoundEffect *effect = sound == TClickSound::Click ? m_click : m_list;
    if (!effect || effect->status() == QSoundEffect::Error)
        return false;
    effect->play();
    return true;
#else
    Q_UNUSED(sound);
    return false;
#endif
}

std::optional<TClickSound> ClickSoundFor(const QWidget *pressed, const QWidget *mainWindow)
{
    if (!pressed || !mainWindow || pressed->window() != mainWindow)
        return std::nullopt;
    const QWidget *parent = pressed->parentWidget();
    const QWidget *control = pressed;
    std::optional<TClickSound> sound;
    if (qobject_cast<const QPushButton *>(pressed) || qobject_cast<const QCheckBox *>(pressed)) {
        sound = TClickSound::Click;
    } else if (qobject_cast<const QComboBox *>(pressed)) {
        sound = TClickSound::List;
    } else if (qobject_cast<const QLineEdit *>(pressed) && parent
               && (qobject_cast<const QComboBox *>(parent)
                   || qobject_cast<const TLabeledEdit *>(parent))) {
        sound = TClickSound::List;
        control = parent;
    }
    if (!sound || !control->isEnabled())
        return std::nullopt;
    return sound;
}

TClickSounds *InstallClickSounds(QWidget *mainWindow)
{
    if (!mainWindow)
        return nullptr;
    auto *sounds = new TClickSounds(mainWindow);
    qApp->installEventFilter(new TClickSoundHook(mainWindow, sounds));
    return sounds;
}
