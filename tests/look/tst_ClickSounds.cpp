#include "look/ClickSounds_Unt.h"
#include "look/ComponentEx.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <QtEndian>
#include <QtTest>

#ifdef K80X_HAVE_MULTIMEDIA
#include <QSoundEffect>
#endif

Q_DECLARE_METATYPE(TClickSound)

namespace {

// The main window's kinds of controls, each by the name of the test row.
struct TControls {
    QMainWindow window;
    QWidget *central = nullptr;
    QHash<QString, QWidget *> byRow;
};

} // namespace

class tst_ClickSounds : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void soundsAreShortWaveResources_data();
    void soundsAreShortWaveResources();
    void soundResourcesDecode_data();
    void soundResourcesDecode();
    void soundOfPressedControl_data();
    void soundOfPressedControl();
    void pressesInTheMainWindowRequestTheirSound_data();
    void pressesInTheMainWindowRequestTheirSound();
    void boxCreatedLaterClicksToo();
    void otherWindowsAndOtherButtonsStaySilent();
    void playingWithoutAudioStaysSilentAndReturns();

private:
    QWidget *Control(const QString &row) const { return m_controls->byRow.value(row); }

    std::unique_ptr<TControls> m_controls;
};

void tst_ClickSounds::initTestCase()
{
    // Registers the program's sounds.
    TClickSounds sounds;
    Q_UNUSED(sounds);
}

void tst_ClickSounds::init()
{
    m_controls = std::make_unique<TControls>();
    m_controls->central = new QWidget(&m_controls->window);
    auto *layout = new QVBoxLayout(m_controls->central);
    auto add = [this, layout](const QString &row, QWidget *control) {
        layout->addWidget(control);
        m_controls->byRow.insert(row, control);
        return control;
    };
    QWidget *parent = m_controls->central;
    add(QStringLiteral("push button"), new QPushButton(QStringLiteral("Read"), parent));
    add(QStringLiteral("check box"), new QCheckBox(QStringLiteral("Enable"), parent));
    add(QStringLiteral("themed check box"), new TSkinCheckBox(QStringLiteral("SMS"), parent));
    auto *combo = new QComboBox(parent);
    combo->addItems({QStringLiteral("GPRS"), QStringLiteral("SMS")});
    add(QStringLiteral("combo box"), combo);
    auto *editableCombo = new QComboBox(parent);
    editableCombo->setEditable(true);
    layout->addWidget(editableCombo);
    m_controls->byRow.insert(QStringLiteral("edit of an editable combo box"),
                             editableCombo->lineEdit());
    auto *labelled = new TLabeledEdit(parent);
    labelled->setLabelText(QStringLiteral("APN"));
    layout->addWidget(labelled);
    m_controls->byRow.insert(QStringLiteral("edit of a labelled edit"), labelled->edit());
    m_controls->byRow.insert(QStringLiteral("label of a labelled edit"), labelled->label());
    add(QStringLiteral("plain edit"), new QLineEdit(parent));
    add(QStringLiteral("option button"), new QRadioButton(QStringLiteral("Hex"), parent));
    add(QStringLiteral("label"), new QLabel(QStringLiteral("Model"), parent));
    auto *disabled = new QPushButton(QStringLiteral("Write"), parent);
    disabled->setEnabled(false);
    add(QStringLiteral("disabled button"), disabled);
    auto *disabledLabelled = new TLabeledEdit(parent);
    disabledLabelled->setEnabled(false);
    layout->addWidget(disabledLabelled);
    m_controls->byRow.insert(QStringLiteral("edit of a disabled labelled edit"),
                             disabledLabelled->edit());
    m_controls->window.setCentralWidget(m_controls->central);
    m_controls->window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&m_controls->window));
}

void tst_ClickSounds::cleanup()
{
    m_controls.reset();
}

void tst_ClickSounds::soundsAreShortWaveResources_data()
{
    QTest::addColumn<TClickSound>("sound");
    QTest::addColumn<QString>("resource");
    QTest::newRow("CLICK") << TClickSound::Click << ":/sounds/CLICK";
    QTest::newRow("LIST") << TClickSound::List << ":/sounds/LIST";
}

// Each sound is a PCM wave file of well under a second.
void tst_ClickSounds::soundsAreShortWaveResources()
{
    QFETCH(TClickSound, sound);
    QFETCH(QString, resource);
    QCOMPARE(ClickSoundResource(sound), resource);

    QFile file(resource);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(resource));
    const QByteArray wave = file.readAll();
    QVERIFY(wave.size() > 44);
    QCOMPARE(wave.left(4), QByteArray("RIFF"));
    QCOMPARE(wave.mid(8, 8), QByteArray("WAVEfmt "));
    const uchar *bytes = reinterpret_cast<const uchar *>(wave.constData());
    QCOMPARE(qFromLittleEndian<quint16>(bytes + 20), quint16(1));  // PCM
    const quint32 byteRate = qFromLittleEndian<quint32>(bytes + 28);
    QVERIFY(byteRate > 0);
    const int dataAt = int(wave.indexOf("data"));
    QVERIFY(dataAt > 0);
    const quint32 dataSize = qFromLittleEndian<quint32>(bytes + dataAt + 4);
    QVERIFY(dataSize > 0);
    QVERIFY(quint32(wave.size()) >= dataAt + 8 + dataSize);
    const double seconds = double(dataSize) / byteRate;
    QVERIFY2(seconds > 0.005 && seconds < 0.2, qPrintable(QString::number(seconds)));
}

void tst_ClickSounds::soundResourcesDecode_data()
{
    soundsAreShortWaveResources_data();
}

// The sound effect reads both resources (loading needs no audio output).
void tst_ClickSounds::soundResourcesDecode()
{
#ifdef K80X_HAVE_MULTIMEDIA
    QFETCH(QString, resource);
    QSoundEffect effect;
    effect.setSource(QUrl(QStringLiteral("qrc") + resource));
    QTRY_VERIFY(effect.status() == QSoundEffect::Ready || effect.status() == QSoundEffect::Error);
    QCOMPARE(effect.status(), QSoundEffect::Ready);
#else
    QSKIP("built without Qt Multimedia");
#endif
}

void tst_ClickSounds::soundOfPressedControl_data()
{
    QTest::addColumn<QString>("row");
    QTest::addColumn<int>("expected");  // -1 none, else TClickSound
    const int none = -1;
    const int click = int(TClickSound::Click);
    const int list = int(TClickSound::List);
    QTest::newRow("push button") << "push button" << click;
    QTest::newRow("check box") << "check box" << click;
    QTest::newRow("themed check box") << "themed check box" << click;
    QTest::newRow("combo box") << "combo box" << list;
    QTest::newRow("edit of an editable combo box") << "edit of an editable combo box" << list;
    QTest::newRow("edit of a labelled edit") << "edit of a labelled edit" << list;
    QTest::newRow("label of a labelled edit") << "label of a labelled edit" << none;
    QTest::newRow("plain edit") << "plain edit" << none;
    QTest::newRow("option button") << "option button" << none;
    QTest::newRow("label") << "label" << none;
    QTest::newRow("disabled button") << "disabled button" << none;
    QTest::newRow("edit of a disabled labelled edit") << "edit of a disabled labelled edit" << none;
}

void tst_ClickSounds::soundOfPressedControl()
{
    QFETCH(QString, row);
    QFETCH(int, expected);
    QWidget *control = Control(row);
    QVERIFY2(control, qPrintable(row));
    const std::optional<TClickSound> sound = ClickSoundFor(control, &m_controls->window);
    QCOMPARE(sound ? int(*sound) : -1, expected);
    // The same control seen from another window makes no sound.
    QWidget otherWindow;
    QVERIFY(!ClickSoundFor(control, &otherWindow));
}

void tst_ClickSounds::pressesInTheMainWindowRequestTheirSound_data()
{
    soundOfPressedControl_data();
}

// A real left press through the application, with the hook installed.
void tst_ClickSounds::pressesInTheMainWindowRequestTheirSound()
{
    QFETCH(QString, row);
    QFETCH(int, expected);
    TClickSounds *sounds = InstallClickSounds(&m_controls->window);
    QVERIFY(sounds);
    QSignalSpy requested(sounds, &TClickSounds::SoundRequested);
    QWidget *control = Control(row);
    QTest::mousePress(control, Qt::LeftButton);
    QTest::mouseRelease(control, Qt::LeftButton);
    if (expected < 0) {
        QCOMPARE(requested.size(), 0);
    } else {
        QCOMPARE(requested.size(), 1);
        QCOMPARE(int(requested.at(0).at(0).value<TClickSound>()), expected);
    }
    // The right button never clicks.
    QTest::mousePress(control, Qt::RightButton);
    QTest::mouseRelease(control, Qt::RightButton);
    QCOMPARE(requested.size(), expected < 0 ? 0 : 1);
}

void tst_ClickSounds::boxCreatedLaterClicksToo()
{
    TClickSounds *sounds = InstallClickSounds(&m_controls->window);
    QSignalSpy requested(sounds, &TClickSounds::SoundRequested);
    auto *later = new QCheckBox(QStringLiteral("Auto Start"), m_controls->central);
    m_controls->central->layout()->addWidget(later);
    later->show();
    QTest::mouseClick(later, Qt::LeftButton, {}, QPoint(5, later->height() / 2));
    QCOMPARE(requested.size(), 1);
    QCOMPARE(requested.at(0).at(0).value<TClickSound>(), TClickSound::Click);
    QVERIFY(later->isChecked());
}

void tst_ClickSounds::otherWindowsAndOtherButtonsStaySilent()
{
    TClickSounds *sounds = InstallClickSounds(&m_controls->window);
    QSignalSpy requested(sounds, &TClickSounds::SoundRequested);
    QDialog dialog(&m_controls->window);
    auto *ok = new QPushButton(QStringLiteral("OK"), &dialog);
    auto *box = new TSkinCheckBox(QStringLiteral("Enable"), &dialog);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(ok);
    layout->addWidget(box);
    dialog.show();
    QTest::mouseClick(ok, Qt::LeftButton);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
    QCOMPARE(requested.size(), 0);
    QVERIFY(box->isChecked());
}

// Whatever the machine's audio, playing returns at once, reports nothing and
// the press goes on to click the button.
void tst_ClickSounds::playingWithoutAudioStaysSilentAndReturns()
{
    TClickSounds *sounds = InstallClickSounds(&m_controls->window);
    QCOMPARE(sounds->Play(TClickSound::Click), sounds->Available());
    QCOMPARE(sounds->Play(TClickSound::List), sounds->Available());

    auto *button = qobject_cast<QPushButton *>(Control(QStringLiteral("push button")));
    QSignalSpy clicked(button, &QPushButton::clicked);
    for (int press = 0; press < 20; ++press)
        QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(clicked.size(), 20);
    QVERIFY(!QApplication::activeModalWidget());
    auto *combo = qobject_cast<QComboBox *>(Control(QStringLiteral("combo box")));
    QTest::mouseClick(combo, Qt::LeftButton);
    QVERIFY(!QApplication::activeModalWidget());
}

QTEST_MAIN(tst_ClickSounds)
#include "tst_ClickSounds.moc"
