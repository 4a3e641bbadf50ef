#pragma once

#include <QString>
#include <QtGlobal>

// Constants of the application shell shared by the login window, the main
// window and the flows that run inside the main window.
namespace Const {

// Typed into the login window's password field (after trimming) it opens the
// main window in View mode, without any port.
inline constexpr char HiddenText[] = "QWERTYUIP";

// The password the login field starts with and the relay lines carry.
inline constexpr char DefaultPassword[] = "5937";

// Model names in model-index order (0 = K801, 1 = K802, 2 = K803); also the
// prefixes of profile file names.
inline constexpr int ModelCount = 3;
inline constexpr const char *ModelNames[ModelCount] = {"K801", "K802", "K803"};

// The model index of a model text as the device or the archive gives it
// (blanks around it and letter case do not count); -1 for any other text,
// which no caller may take for a model.
inline int ModelIndexOf(const QString &model)
{
    const QString text = model.trimmed();
    for (int index = 0; index < ModelCount; ++index) {
        if (text.compare(QLatin1String(ModelNames[index]), Qt::CaseInsensitive) == 0)
            return index;
    }
    return -1;
}

// The reply the main window waits for, kept as one 32-bit number. Every reply
// and every time-out sets it back to ReplyIdle.
enum TExpectedReply : qint32 {
    ReplyIdle = 0,
    ReplyPasswordCheck = 1124,
    ReplyClockWrite = 1128,
    ReplyVersionQuery = 1130,
    ReplyConfigRead = 1244,
    ReplyConfigWrite = 1245,
    ReplyHistoryPage = 1274,
    ReplyHistoryErase = 1275,
    ReplyHistoryLine = 1276,
    ReplyDoStatus = 1277,
    ReplyThValues = 1278,
    ReplyFactoryReset = 1279,
    ReplyClockRead = 2064,
};

// Private messages posted to the application's own window.
enum TPrivateMessage : qint32 {
    MsgJudgePassword = 1124, // login: a chunk arrived while a password reply was awaited
    MsgReplyTimeOut = 7147,  // no reply came in time
};

// Application titles without the version text (UTF-8); the version text
// (ProgramVersionText) follows directly, after the two trailing blanks.
inline constexpr char TitleChinese[] = "K801/2/3 温湿度配置软件  ";
inline constexpr char TitleEnglish[] = "K801/2/3 Temperature Humidity Data Logger Configurator  ";

} // namespace Const
