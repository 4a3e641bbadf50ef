#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QVariant>
#include <QVector>

// The configuration image: the 3646 bytes of device memory from address 0
// that hold every setting of the logger, and its mapping to the values of the
// main window's controls. Byte level only; no widget is touched here.

using TDataPack = QByteArray;

// Byte layout of the configuration image. Offsets are decimal from the start
// of the image; 16-bit numbers are little-endian (low byte first), unlike the
// frame head. 0xFF marks bytes that hold nothing (erased memory).
namespace ConfigMap {

constexpr int ImageSize = 3646;

constexpr int Password = 0;            // text, 4 bytes
constexpr int PasswordSize = 4;
constexpr int DeviceId = 4;            // u16
constexpr int ReportHour = 6;          // byte, 0xFF with minute 0xFF: no daily report
constexpr int ReportMinute = 7;        // byte
constexpr int SmsReportInterval = 8;   // u16 minutes, 0 = no periodic SMS
constexpr int DeviceDescription = 34;  // text, 60 bytes
constexpr int DeviceDescriptionSize = 60;
constexpr int ArmFlags = 94;           // bit 0 arm at power-on, bit 1 time in alarm SMS
constexpr int AutoArmSwitch = 95;      // byte, 0 = off
constexpr int AutoArmDelay = 96;       // u16 minutes
constexpr int ReservedZeros = 98;      // 4 bytes written 0x00
constexpr int ReservedZerosSize = 4;

constexpr int PhoneNumbers = 102;      // 10 x text of 22 bytes
constexpr int PhoneNumberSize = 22;
constexpr int PhoneMasks = 322;        // 10 x u16 event mask
constexpr int PhoneCount = 10;
constexpr quint16 PhoneMaskAll = 0x02FF;     // the nine flag bits
constexpr quint16 PhoneMaskErased = 0xFFFF;

constexpr int RelayBlocks = 342;       // 2 x 164-byte relay output block
constexpr int RelayBlockSize = 164;
constexpr int RelayCount = 2;
constexpr int RelayName = 0;           // in block: text, 40 bytes
constexpr int RelayNameSize = 40;
constexpr int RelayCloseTime = 40;     // in block: u16 seconds
constexpr int RelayRecoveryAlert = 42; // in block: byte, 64 = on
constexpr quint8 RelayRecoveryOn = 64;
constexpr int RelayReservedZero = 43;  // in block: byte written 0x00
constexpr int RelayCloseText = 44;     // in block: text, 60 bytes
constexpr int RelayOpenText = 104;     // in block: text, 60 bytes
constexpr int RelayTextSize = 60;

constexpr int Timers = 670;            // 10 x 4-byte record: mode, hour, minute, action
constexpr int TimerRecordSize = 4;
constexpr int TimerCount = 10;
constexpr quint8 TimerDisabledBit = 0x80;    // mode bit 7
constexpr quint8 TimerDayMask = 0x0F;        // mode bits 3-0, the day code (TimerCodes)
constexpr quint8 TimerNone = 0xFF;           // hour or minute not set

constexpr int GprsFlags = 710;         // bit 7 transport (0 TCP, 1 UDP, reversed nibble), bits 3-0 protocol
constexpr int ServerAddress = 712;     // text, 32 bytes
constexpr int ServerAddressSize = 32;
constexpr int ServerPort = 744;        // u16
constexpr int UploadInterval = 746;    // u16, shown in lbledt_GprsBeatHeart
constexpr int PowerLossDelay = 770;    // u16 minutes, 999 = no alert
constexpr quint16 PowerLossNoAlert = 999;

constexpr int SensorSlots = 16;        // slot 2j temperature j+1, slot 2j+1 humidity j+1
constexpr int SensorNames = 772;       // 16 x text, 40 bytes
constexpr int SensorHighSms = 1412;    // 16 x text, 40 bytes
constexpr int SensorLowSms = 2052;     // 16 x text, 40 bytes
constexpr int SensorRecoverySms = 2692; // 16 x text, 40 bytes
constexpr int SensorTextSize = 40;
constexpr int SensorVerifyTimes = 3332; // 16 x u16 seconds
constexpr int SensorFlags = 3364;      // 16 x byte, bits below
constexpr quint8 SensorEnabledBit = 0x01;
constexpr quint8 SensorLinkDo1Bit = 0x10;
constexpr quint8 SensorLinkDo2Bit = 0x20;
constexpr quint8 SensorRecoveryBit = 0x40;
constexpr int SensorHighThresholds = 3380; // 16 x s16 tenths
constexpr int SensorLowThresholds = 3412;  // 16 x s16 tenths

constexpr int RecordInterval = 3446;   // u16 seconds, 0 = no history records
constexpr int AccessPointName = 3448;  // text, 40 bytes
constexpr int GprsUserName = 3488;     // text, 40 bytes
constexpr int GprsPassword = 3528;     // text, 40 bytes
constexpr int GprsTextSize = 40;

constexpr int LoginData = 3568;        // 50 bytes
constexpr int LoginDataSize = 50;
constexpr int LoginLength = 3618;      // byte, bytes used in the data area
constexpr int LoginMode = 3619;        // byte, 1 = hex, else ASCII
constexpr quint8 LoginModeHex = 1;

constexpr int HeartbeatData = 3620;    // 20 bytes
constexpr int HeartbeatDataSize = 20;
constexpr int HeartbeatLength = 3640;  // byte, bytes used in the data area
constexpr int HeartbeatReservedZero = 3641; // byte written 0x00
constexpr int HeartbeatInterval = 3642; // u16 seconds, shown in lbledt_GprsReconnSec
constexpr int StopDialling = 3644;     // byte, 1 = stop dialling on * or #

} // namespace ConfigMap

// Object names of the controls the image fills; they are also the profile keys.
namespace ConfigControls {

inline const QString MainPassword = QStringLiteral("lbledt_Main_Password");
inline const QString DeviceId = QStringLiteral("lbledt_DeviseID");
inline const QString DeviceDescription = QStringLiteral("lbledt_Master_DevDes");
inline const QString ReportTimeCheck = QStringLiteral("chk_ReportTime");
inline const QString ReportTime = QStringLiteral("dtp_RePortTime");
inline const QString SmsReportCheck = QStringLiteral("chk_SmsReportInterMin");
inline const QString SmsReportInterval = QStringLiteral("lbledt_SmsReportInterMin");
inline const QString AutoArmed = QStringLiteral("chk_Auto_Armed");
inline const QString AddTimeToAlarmSms = QStringLiteral("chk_AddTimeToAlarmSMS");
inline const QString AutoArmCheck = QStringLiteral("chk_AutoAlarmAfterDisarm");
inline const QString AutoArmMinutes = QStringLiteral("lbledt_AutoMintues");
inline const QString StopDialling = QStringLiteral("sCheckBox1");
inline const QString PowerLossCheck = QStringLiteral("chk_PwrOffTime");
inline const QString PowerLossDelay = QStringLiteral("lbledt_PwrOffTime");
inline const QString RecordCheck = QStringLiteral("chk_SaveRecordInterSec");
inline const QString RecordInterval = QStringLiteral("lbledt_SaveRecordInterSec");
inline const QString Transport = QStringLiteral("cbb_GPRS_TcpUdp");
inline const QString Protocol = QStringLiteral("cbb_GPRSCommunication_Proctocol");
inline const QString ServerAddress = QStringLiteral("lbledt_Gprs_IP");
inline const QString ServerPort = QStringLiteral("lbledt_TcpPort");
inline const QString UploadInterval = QStringLiteral("lbledt_GprsBeatHeart");
inline const QString HeartbeatInterval = QStringLiteral("lbledt_GprsReconnSec");
inline const QString HeartbeatContent = QStringLiteral("lbledt_HeartCont");
inline const QString AccessPointName = QStringLiteral("lbledt_AccessPontName");
inline const QString GprsUserName = QStringLiteral("lbledt_GPRS_UserName");
inline const QString GprsPassword = QStringLiteral("lbledt_GPRS_Password");
inline const QString LoginMessage = QStringLiteral("lbledt_GprsRegDat");
inline const QString LoginHexMode = QStringLiteral("CheckBox1");
// The password pane's box that shows the password in clear: a state of the
// panes that profiles keep and the device does not hold.
inline const QString ShowPassword = QStringLiteral("chk_ShowPassword");
inline const QString DoList = QStringLiteral("lvDo");
inline const QString ThList = QStringLiteral("lvTh");
inline const QString TelList = QStringLiteral("lvTel");
inline const QString TimerList = QStringLiteral("lvTimer");

} // namespace ConfigControls

// Sub-items of the list-view rows (column k + 1 shows sub-item k).
namespace ConfigCells {
// The tick mark of a flag cell ("√", U+221A); an unticked cell is empty.
inline const QString TickMark = QStringLiteral("\u221A");
constexpr int DoSubItems = 6;      // name, close time, status, open text, close text, recovery alert
constexpr int DoName = 0, DoCloseTime = 1, DoStatus = 2, DoOpenText = 3, DoCloseText = 4, DoRecovery = 5;
constexpr int ThSubItems = 12;
constexpr int ThName = 0, ThValue = 1, ThEnabled = 2, ThVerifyTime = 3, ThHigh = 4, ThLow = 5,
              ThHighSms = 6, ThLowSms = 7, ThRecoverySms = 8, ThRecoveryAlert = 9,
              ThLinkDo1 = 10, ThLinkDo2 = 11;
constexpr int TelSubItems = 10;    // number, then the nine event flags 1..9
constexpr int TelNumber = 0;
constexpr int TimerSubItems = 5;   // enabled, day, hour, minute, action
constexpr int TimerEnabled = 0, TimerDay = 1, TimerHour = 2, TimerMinute = 3, TimerAction = 4;
} // namespace ConfigCells

// One row of lvTimer. The day and the action are kept as device codes, so a
// row keeps its meaning when the language (and with it the texts shown for
// the codes) changes; TimerRowCells gives the texts of a language.
struct TTimerRow
{
    bool Enabled = false;   // sub-item 0
    int DayCode = -1;       // sub-item 1: -1 empty cell, 0 Sunday .. 6 Saturday, 15 every day;
                            // other codes read from the device are kept as they are
    QString Hour;           // sub-item 2: "0".."23", empty for none, or the decimal of
                            // another byte the device held (written back as it is)
    QString Minute;         // sub-item 3: "0".."59", the same way
    int ActionCode = -1;    // sub-item 4: -1 empty cell, 0..10 action-list position;
                            // other codes read from the device are kept as they are

    bool operator==(const TTimerRow &other) const;
    bool operator!=(const TTimerRow &other) const { return !(*this == other); }
};

// The values of every control the image touches, keyed by object name, and of
// the show-password box, which profiles keep (the image leaves it unticked).
// Texts are kept as typed, also those the encoder refuses, and the lists keep
// their live cells (relay state, current sensor value), so the values are all
// a profile holds. A key that is missing reads as the blank value: empty
// text, unticked, no combo item (-1), no time. List rows hold their sub-items in order; a missing
// sub-item, or a missing row of lvDo, lvTel or lvTimer, reads as empty.
struct TConfigValues
{
    QMap<QString, QString> Texts;    // labelled edits
    QMap<QString, bool> Checks;      // check boxes
    QMap<QString, int> Combos;       // combo boxes: item index, -1 = none
    QMap<QString, QTime> Times;      // time pickers; an invalid time = the PC's current time
    QMap<QString, bool> Enabled;     // enabled state of the edits and pickers tied to a box
    QVector<QStringList> lvDo;       // 2 rows x 6 sub-items
    QVector<QStringList> lvTh;       // one row per channel row of the model x 12 sub-items
    QVector<QStringList> lvTel;      // 10 rows x 10 sub-items
    QVector<TTimerRow> lvTimer;      // 10 rows

    // Every value and cell the same (what "the panes were edited" compares).
    bool operator==(const TConfigValues &other) const;
    bool operator!=(const TConfigValues &other) const { return !(*this == other); }

    QString Text(const QString &control) const { return Texts.value(control); }
    bool Checked(const QString &control) const { return Checks.value(control, false); }
    int ComboIndex(const QString &control) const { return Combos.value(control, -1); }
    QTime Time(const QString &control) const { return Times.value(control); }
};

// Why a decode or encode failed. The window turns the code into a message of
// the current language and names the control (and the list cell) it points at.
enum class TConfigErrorCode {
    None,
    ImageTooShort,     // fewer than 3646 bytes to decode; Text = bytes received
    NumberOutOfRange,  // a number does not fit its field; Text = as typed, Minimum/Maximum = range
    NotANumber,        // a number field holds other text; Text = as typed, Minimum/Maximum = range
    BadHexPair,        // a hex-mode login message holds a pair that is not hexadecimal; Text = the pair
    MissingChannels    // the sensor list lacks rows of the model (or the model is not known);
                       // Text = rows there, Minimum = rows the model has
};

struct TConfigError
{
    TConfigErrorCode Code = TConfigErrorCode::None;
    QString Control;   // object name; for a list cell the list view's name
    int Row = -1;      // list cell: row index, else -1
    int SubItem = -1;  // list cell: sub-item index, else -1
    QString Text;
    QString Minimum;
    QString Maximum;
};

// One write into a control during decoding. Cell values are sub-item texts;
// TimerDay and TimerAction carry a device code (int) that the window shows in
// the current language and keeps beside the text.
enum class TAssignKind { Text, Check, ComboIndex, Time, Enabled, Cell, TimerDay, TimerAction };

struct TConfigAssignment
{
    TAssignKind Kind = TAssignKind::Text;
    QString Control;
    int Row = -1;       // list views only
    int SubItem = -1;   // list views only
    QVariant Value;     // QString (Text, Cell), bool (Check, Enabled), int (ComboIndex,
                        // TimerDay, TimerAction), QTime (Time; invalid = the PC's current time)
};

struct TDecodeResult
{
    TConfigError Error;
    // The control writes in the order they must be applied: a check box comes
    // before the edit its click handler enables, clears or resets.
    QVector<TConfigAssignment> Assignments;
    // The blank values (BlankConfigValues) with every assignment applied.
    TConfigValues Values;
    bool Ok() const { return Error.Code == TConfigErrorCode::None; }
};

struct TEncodeResult
{
    TConfigError Error;
    TDataPack Image;   // 3646 bytes when Ok(), else empty
    bool Ok() const { return Error.Code == TConfigErrorCode::None; }
};

// Rows of lvTh for a model index (0 K801: 8, 1 K802: 16, 2 K803: 8, else 0)
// and the image slot that row r shows (K803: 2r, others: r).
int SensorRowCount(int modelIndex);
int SensorSlotOfRow(int modelIndex, int row);

// What the panes hold after the blanking that precedes a read: empty edits,
// unticked boxes, no combo item, the current time, the list rows with empty
// sub-items (lvTh rows by model).
TConfigValues BlankConfigValues(int modelIndex);

// Applies one decoded write to the values.
void ApplyAssignment(TConfigValues &values, const TConfigAssignment &assignment);

// Decodes the first 3646 bytes of the image (more may follow, a read gathers
// 3840). The window applies the assignments in order to panes it blanked
// first; after lbledt_Main_Password it takes that text as the connection
// password. Fewer than 3646 bytes: ImageTooShort and no assignments.
[[nodiscard]] TDecodeResult DecodeImage(const TDataPack &image, int modelIndex);

// Builds the 3646-byte image from the values. Texts are GBK, empty number
// fields take their field's default; a number field holding text that is not
// a number (ParseDecimal, ParseTenths for thresholds), a number that does not
// fit its field or a bad hex pair fails with the control named, and nothing
// is built. lvTh rows map to slots by the model index; only the rows present,
// up to the model's row count, are written, and slots no row covers stay 0xFF.
[[nodiscard]] TEncodeResult EncodeImage(const TConfigValues &values, int modelIndex);

// Timer cells in a language: the week list (7 days from Sunday, then every
// day) and the action list (positions 0..10) of that language, through
// TimerCodes (a code with no entry shows as its decimal number).
QStringList TimerRowCells(const TTimerRow &row, const QStringList &weekList,
                          const QStringList &actionList);
// A timer row from cell texts (a profile, or cells typed in one language):
// the day and action codes as TimerCodes reads the cells, 0 for a text it
// cannot read; an empty cell stays empty.
TTimerRow TimerRowFromCells(const QStringList &cells, const QStringList &weekList,
                            const QStringList &actionList);

// Threshold text of a value in tenths: whole values without a decimal
// (250 -> "25", -400 -> "-40"), others with one (255 -> "25.5", -5 -> "-0.5").
QString TenthsToText(int tenths);
