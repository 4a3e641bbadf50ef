#include "lang/ConstLang_Unt.h"

#include <QHash>

namespace ConstLang {

namespace {

// Main window targets. English text first, then Chinese; nullptr leaves the
// target unchanged in that language.
const std::vector<TLangTarget> kTargets = {
    {"N_File", TargetKind::Caption, -1, "File(&R)", "文件"},
    {"N_Open", TargetKind::Caption, -1, "Load Profile", "导入配置"},
    {"N_Save", TargetKind::Caption, -1, "Export Profile", "导出配置"},
    {"N_Exit", TargetKind::Caption, -1, "Log Out", "退出系统"},
    {"Pop_Connect", TargetKind::Caption, -1, "Connect", "连接"},
    {"Pop_DisCommPort", TargetKind::Caption, -1, "Close the Port", "断开连接"},
    {"Pop_RepCommPort", TargetKind::Caption, -1, "Open the Port", "重新连接"},
    {"MI_SystemConfig", TargetKind::Caption, -1, "Setting", "配置"},
    {"Pop_ReadMaster_Seting", TargetKind::Caption, -1, "Read Setting", "读取配置"},
    {"Pop_WirteMaster", TargetKind::Caption, -1, "Write Setting", "写入配置"},
    {"Pop_CompareDevice", TargetKind::Caption, -1, "Compare with Device", "与设备比较"},
    {"Pop_CompareProfile", TargetKind::Caption, -1, "Compare with Profile...", "与配置文件比较..."},
    {"Pop_RestoreBackup", TargetKind::Caption, -1, "Restore Backup...", "恢复备份..."},
    {"Pop_System", TargetKind::Caption, -1, "System(&X)", "系统"},
    {"Pop_ReBoot", TargetKind::Caption, -1, "Reboot(&Z)", "重　　启"},
    {"Pop_RESET", TargetKind::Caption, -1, "Reset", "恢复出厂"},
    {"N_Skins", TargetKind::Caption, -1, "Skins(&V)", "皮肤(&V)"},
    {"N_Language", TargetKind::Caption, -1, "Language(&W)", "语言(&W)"},
    {"N_CN", TargetKind::Caption, -1, "Chinese", "中文"},
    {"N_EN", TargetKind::Caption, -1, "English", "英文"},
    {"N_Help", TargetKind::Caption, -1, "Help(&Z)", "帮助(&Z)"},
    {"N_About", TargetKind::Caption, -1, "About(&Y)", "关于(&Y)"},
    {"N_ProtocolDebug", TargetKind::Caption, -1, "Protocol Debug", "调试串口"},
    {"Menu_R_DO", TargetKind::Caption, -1, "DO Current Status", "DO当前状态"},
    {"Menu_R_TH", TargetKind::Caption, -1, "TH Current Value", "TH当前值"},
    {"FrameBar", TargetKind::Section, 0, "Basic Setting", "常规设置"},
    {"FrameBar", TargetKind::Section, 1, "DO/TH Setting", "DO/TH设置"},
    {"FrameBar", TargetKind::Section, 2, "  Number   Setting", "电话管理"},
    {"FrameBar", TargetKind::Section, 3, "Timer Setting", "定时管理"},
    {"FrameBar", TargetKind::Section, 4, "Communication Setting", "通讯设置"},
    {"FrameBar", TargetKind::Section, 5, " Historical  Record", "历史记录"},
    {"abSheetVerInfo", TargetKind::Caption, -1, "Welcome", "欢迎"},
    {"Sheet_Basic", TargetKind::Caption, -1, "Basic Setting", "主机设备"},
    {"Sheet_Common", TargetKind::Caption, -1, "Basic Setting", "常规设置"},
    {"Sheet_DiDoTh", TargetKind::Caption, -1, "DO/TH Setting", "DO/TH设置"},
    {"Sheet_DO", TargetKind::Caption, -1, "DO Setting", "DO设置"},
    {"Sheet_TH", TargetKind::Caption, -1, "TH Setting", "TH设置"},
    {"Sheet_Telephone", TargetKind::Caption, -1, "Number Setting", "电话管理"},
    {"Sheet_DateTime", TargetKind::Caption, -1, "Timer Setting", "定时管理"},
    {"Sheet_InfoMode", TargetKind::Caption, -1, "Communication Setting", "通讯设置"},
    {"Sheet_History", TargetKind::Caption, -1, "Historical Record", "历史记录"},
    {"grp_BasicSeting", TargetKind::Caption, -1, "Basic Setting", "基本设置"},
    {"lbledt_Master_DevDes", TargetKind::Label, -1, "Device description(Max.60 characters)", "设备描述(最多输入60个字符)"},
    {"lbledt_DeviseID", TargetKind::Label, -1, "Device ID(0~65535)", "设备ID(0~65535)"},
    {"chk_AddTimeToAlarmSMS", TargetKind::Caption, -1, "Add timestamp to alarm SMS", "报警时间添加到报警短信"},
    {"chk_Auto_Armed", TargetKind::Caption, -1, "Arm automatically when power on", "开机后自动布防"},
    {"chk_AutoAlarmAfterDisarm", TargetKind::Caption, -1, "Auto Arm after Disarmed", "撤防后在设定时间内自动布防,设定"},
    {"lbledt_AutoMintues", TargetKind::Label, -1, "Minutes(Range 0~9999 min,default 0,means it will delay 30 seconds to auto Arm after Disarmed)", "分钟后自动布防(取值0~9999分,0表示30秒后自动布防，默认0)"},
    {"lbledt_PwrOffTime", TargetKind::Label, -1, "How long to delay SMS alert after power off(Range:0~999 min)", "外部电源掉电多少分钟后发送信息给用户(范围0~999)"},
    {"lbledt_PwrOffTime", TargetKind::Hint, -1, "default 0,means SMS alert immediately once power off; 999 means not alert", nullptr},
    {"chk_PwrOffTime", TargetKind::Caption, -1, "Enable", "使能"},
    {"chk_ReportTime", TargetKind::Caption, -1, "Daily work report time", "每日工作报表时间"},
    {"lbledt_SaveRecordInterSec", TargetKind::Label, -1, "Interval time to save historical record(Range:0~65535 sec)", "记录保存间隔时间(取值0~65535秒,0不保存，默认0)"},
    {"lbledt_SaveRecordInterSec", TargetKind::Hint, -1, "default 0,means not save", nullptr},
    {"chk_SaveRecordInterSec", TargetKind::Caption, -1, "Enable", "使能"},
    {"lbledt_SmsReportInterMin", TargetKind::Label, -1, "Periodically SMS report interval time(Range:0~65535 min)", "短信上报间隔时间(取值0~65535分,0不上报，默认0)"},
    {"lbledt_SmsReportInterMin", TargetKind::Hint, -1, "default 0,means not report", nullptr},
    {"chk_SmsReportInterMin", TargetKind::Caption, -1, "Enable", "使能"},
    {"sCheckBox1", TargetKind::Caption, -1, "Press * or # to stop dialing next number", "按*或#停止继续拨号"},
    {"grp_PasswordSeting", TargetKind::Caption, -1, "Password Setting", "密码设置"},
    {"lbledt_Main_Password", TargetKind::Label, -1, "Device password(4 digits)", "新密码(4位数)"},
    {"btn_ChangePassword", TargetKind::Caption, -1, "Update", "更新"},
    {"chk_ShowPassword", TargetKind::Caption, -1, "Display password", "显示密码"},
    {"grp_Slave_Function", TargetKind::Caption, -1, "Device Time", "设备时间"},
    {"btn_Main_Timer_Read", TargetKind::Caption, -1, "Read", "读取"},
    {"btn_Main_Timer_Write", TargetKind::Caption, -1, "Write", "写入"},
    {"btn_PC_Time", TargetKind::Caption, -1, "PC Time", "PC时间"},
    {"grp_GPRS_BasicSeting", TargetKind::Caption, -1, "", ""},
    {"lbl_GPRSCommunication_Proctocol", TargetKind::Caption, -1, "Communication Type", "通信类型"},
    {"lbl_GPRS_Proctocol", TargetKind::Caption, -1, "GPRS Protocol", "GPRS协议"},
    {"lbledt_AccessPontName", TargetKind::Label, -1, "Access Point Name(Max.40)", "APN接入点"},
    {"lbledt_AccessPontName", TargetKind::Hint, -1, "APN,User Name,Password provided by your GPRS/3G/4G Operator.", nullptr},
    {"lbledt_GPRS_UserName", TargetKind::Label, -1, "GPRS User Name(Max.40)", "用户名"},
    {"lbledt_GPRS_Password", TargetKind::Label, -1, "GPRS Password(Max.40)", "密码"},
    {"lbledt_HeartCont", TargetKind::Label, -1, "Heartbeat Content(Max.40,Default:ACK)", "心跳包内容(ACK)"},
    {"lbledt_GprsBeatHeart", TargetKind::Label, -1, "Upload Data Interval Time(Range:0~65535 min)", "数据上传周期(范围：0~65535分)"},
    {"lbledt_GprsReconnSec", TargetKind::Label, -1, "Heartbeat Interval(Range:0~9999 sec)", "心跳间隔时间(范围：0~9999秒)"},
    {"lbledt_TcpPort", TargetKind::Label, -1, "Server Port(Range:0~65535)", "端口"},
    {"lbledt_Gprs_IP", TargetKind::Label, -1, "Server Domain/IP", "域名或IP"},
    {"lbledt_GprsRegDat", TargetKind::Label, -1, "Login Message", "设置注册码"},
    {"CheckBox1", TargetKind::Caption, -1, "Click for HEX (ASCII when not click)", "选择16进制（不勾选时为ASCII码）"},
    {"grp_OpenCloseDO", TargetKind::Caption, -1, "Manual Switch", "手动开关"},
    {"btn_DO1_Close", TargetKind::Caption, -1, "DO1 Close", "闭合继电器1"},
    {"btn_DO1_Open", TargetKind::Caption, -1, "DO1 Open", "断开继电器1"},
    {"btn_Do2_Close", TargetKind::Caption, -1, "DO2 Close", "闭合继电器2"},
    {"btn_Do2_Open", TargetKind::Caption, -1, "DO2 Open", "断开继电器2"},
    {"lvDo", TargetKind::Column, 0, "Channel", "项目"},
    {"lvDo", TargetKind::Column, 1, "Channel Name(Max.40)", "通道名称"},
    {"lvDo", TargetKind::Column, 2, "Close Time(Range:0~9999s)", "闭合时长"},
    {"lvDo", TargetKind::Column, 3, "Current Status", "当前状态"},
    {"lvDo", TargetKind::Column, 4, "Open Description(Max.40)", "断开描述"},
    {"lvDo", TargetKind::Column, 5, "Close Description(Max.40)", "闭合描述"},
    {"lvDo", TargetKind::Column, 6, "Enable Recovery SMS Alert", "断开提醒"},
    {"lvDo", TargetKind::Row, 0, "DOUT1", "继电器1"},
    {"lvDo", TargetKind::Row, 1, "DOUT2", "继电器2"},
    {"lvDo", TargetKind::Hint, -1, "Popup menu with right mouse button", "鼠标右键弹出菜单"},
    {"lvTh", TargetKind::Column, 0, "Channel", "项目"},
    {"lvTh", TargetKind::Column, 1, "Channel Name(Max.40)", "通道名称"},
    {"lvTh", TargetKind::Column, 2, "Current Value", "当前值"},
    {"lvTh", TargetKind::Column, 3, "Enable", "使能"},
    {"lvTh", TargetKind::Column, 4, "Alarm Verify Time(Range:0~999s)", "报警确认时间"},
    {"lvTh", TargetKind::Column, 5, "Threshold High", "高限值"},
    {"lvTh", TargetKind::Column, 6, "Threshold Low", "低限值"},
    {"lvTh", TargetKind::Column, 7, "High Alarm SMS Content(Max.40)", "高限报警信息"},
    {"lvTh", TargetKind::Column, 8, "Low Alarm SMS Content(Max.40)", "低限报警信息"},
    {"lvTh", TargetKind::Column, 9, "Alarm Recovery SMS Content(Max.40)", "报警恢复信息"},
    {"lvTh", TargetKind::Column, 10, "Enable Recovery SMS Alert", "报警恢复通知"},
    {"lvTh", TargetKind::Column, 11, "Alarm-link DO1", "联动继电器1"},
    {"lvTh", TargetKind::Column, 12, "Alarm-link DO2", "联动继电器2"},
    {"lvTh", TargetKind::Hint, -1, "Popup menu with right mouse button", "鼠标右键弹出菜单"},
    {"lvTel", TargetKind::Column, 0, "No.", "序号"},
    {"lvTel", TargetKind::Column, 1, "Alarm Tel Number", "报警号码"},
    {"lvTel", TargetKind::Column, 2, "Dial", "1.拨号"},
    {"lvTel", TargetKind::Column, 3, "Timer-Report", "2.定时报告"},
    {"lvTel", TargetKind::Column, 4, "Arm/Disarm SMS", "3.布撤防通知"},
    {"lvTel", TargetKind::Column, 5, "Alarm", "4.报警"},
    {"lvTel", TargetKind::Column, 6, "Alarm Recovery", "5.报警恢复"},
    {"lvTel", TargetKind::Column, 7, "External Power ON/OFF", "6.外电掉电通知"},
    {"lvTel", TargetKind::Column, 8, "GPRS Failure", "7.GPRS连接失败"},
    {"lvTel", TargetKind::Column, 9, "Low GSM Signal", "8.GSM信号低"},
    {"lvTel", TargetKind::Column, 10, "Relay Close/Open", "9.继电器变位通知"},
    {"lvTel", TargetKind::Hint, -1, "Popup menu with right mouse button", "鼠标右键弹出菜单"},
    {"grp_Timer_Notice", TargetKind::Caption, -1, "Notice:Tick it stands for Enabling the Timer,otherwise will be invalid.", "注意：“使能”要勾选才有效。"},
    {"lvTimer", TargetKind::Column, 0, "No.", "序号"},
    {"lvTimer", TargetKind::Column, 1, "Enable", "使能"},
    {"lvTimer", TargetKind::Column, 2, "Week", "星期"},
    {"lvTimer", TargetKind::Column, 3, "Hour", "时"},
    {"lvTimer", TargetKind::Column, 4, "Minute", "分"},
    {"lvTimer", TargetKind::Column, 5, "Action", "动作"},
    {"lvTimer", TargetKind::Hint, -1, "Popup menu with right mouse button", "鼠标右键弹出菜单"},
    {"grp_History", TargetKind::Caption, -1, "Use History", "历史操作"},
    {"lbledt_ReadQty", TargetKind::Label, -1, "Quantity", "读取数量"},
    {"btn_ReadHistroyFull", TargetKind::Caption, -1, "Read", "多条"},
    {"lbledt_ReadLine", TargetKind::Label, -1, "Lines", "行号"},
    {"btn_ReadHistroy", TargetKind::Caption, -1, "Single", "单条"},
    {"btn_History_Clear", TargetKind::Caption, -1, "Clear", "清空显示"},
    {"btn_Clean_History_Dev", TargetKind::Caption, -1, "Delete All", "删除记录"},
    {"grp_HisTime", TargetKind::Caption, -1, "Time Setting", "设置时间"},
    {"lbl_HisStartTime", TargetKind::Caption, -1, "Start Time", "开始时间"},
    {"lbl_HisStopTime", TargetKind::Caption, -1, "Stop Time", "结束时间"},
    {"btn_History_Filter", TargetKind::Caption, -1, "Search", "查找"},
    {"grp_HistoryFiles", TargetKind::Caption, -1, "File", "文件"},
    {"btn_Hist_Save_CSV", TargetKind::Caption, -1, "Export CSV", "导出CSV"},
    {"btn_Hist_Open_CSV", TargetKind::Caption, -1, "Import CSV", "导入CSV"},
    {"SgHist", TargetKind::GridHeader, 0, "No.", "序号"},
    {"SgHist", TargetKind::GridHeader, 1, "Date", "日期"},
    {"SgHist", TargetKind::GridHeader, 2, "Time", "时间"},
    {"SgHist", TargetKind::GridHeader, 3, "Signal", "信号值"},
    {"SgHist", TargetKind::GridHeader, 4, "Status", "状态"},
    {"SgHist", TargetKind::GridHeader, 5, "DO1", "继电器1"},
    {"SgHist", TargetKind::GridHeader, 6, "DO2", "继电器2"},
    {"SgHist", TargetKind::GridHeader, 7, "Type", "类型"},
    {"Pop_Do_Setting", TargetKind::Caption, -1, "Setting", "设　　置"},
    {"Pop_Do_ReadCurrentValue", TargetKind::Caption, -1, "Current Status", "当前状态"},
    {"Pop_Do_ClearLine", TargetKind::Caption, -1, "Clear Line", "清　　行"},
    {"Pop_Do_Clear", TargetKind::Caption, -1, "Clear Display", "清　　屏"},
    {"Pop_Th_Setting", TargetKind::Caption, -1, "Setting", "设　置"},
    {"Pop_Th_ReadCurrentValue", TargetKind::Caption, -1, "Current Value", "当前值"},
    {"Pop_Th_ClearLine", TargetKind::Caption, -1, "Clear Line", "清　行"},
    {"Pop_Th_Clear", TargetKind::Caption, -1, "Clear Display", "清　屏"},
    {"Pop_Phone_Setting", TargetKind::Caption, -1, "Setting", "设　置"},
    {"Pop_Phone_ClearLine", TargetKind::Caption, -1, "Clear Line", "清　行"},
    {"Pop_Phone_Clear", TargetKind::Caption, -1, "Clear Display", "清　屏"},
    {"Pop_Timer_Setting", TargetKind::Caption, -1, "Setting", "设　置"},
    {"Pop_Timer_Delete", TargetKind::Caption, -1, "Clear Line", "清　行"},
    {"Pop_Timer_Clear", TargetKind::Caption, -1, "Clear Display", "清　屏"},
    {"chk_AutoStart", TargetKind::Caption, -1, "Auto Start", "自动启动"},
    {"chk_Debug", TargetKind::Caption, -1, "Debug", "调试"},
    // The audit trail's item in the System menu.
    {"Pop_AuditTrail", TargetKind::Caption, -1, "Audit Trail...", "审计追踪..."},
};

// Module-wide texts, filled by every language switch.
const std::vector<TLangText> kTexts = {
    {"MsgPortChanged", "Com port have been changed, do you want to restart the configuration?", "检测到电脑有硬件改动是否重新打开软件？"},
    {"MsgPasswordError", "Password Error!", "密码错误！"},
    {"MsgSuccess", "Successfully!", "成功！"},
    {"MsgSelectRow", "Please select a setting option.", "请选择一个设置选项。"},
    {"MsgRebootAsk", "Reboot Device and Software?", "是否重启设备和软件？"},
    {"MsgResetAsk", "Reset Device?", "是否恢复出厂？"},
    {"MsgDisconnected", "Disconnected", "已经断开"},
    {"MsgClearAllAsk", "Clear All?", "是否清空？"},
    {"LblModel", "Model:", "型号:"},
    {"LblVersion", "Version:", "版本:"},
    {"LblImei", "IMEI:", "IMEI码:"},
    {"LblSignal", "Signal Value:", "信号值:"},
    {"TxtOk", "OK", "确定"},
    {"TxtCancel", "Cancel", "取消"},
    {"TxtDoChannelName", "Channel Name(Max.40)", "通道名称"},
    {"TxtDoCloseTime", "Close Time(0~9999s)", "闭合时长(秒)"},
    {"TxtDoOpenDes", "Open Description(Max.40)", "断开描述"},
    {"TxtDoCloseDes", "Close Description(Max.40)", "闭合描述"},
    {"TxtDoRecoveryAlert", "Enable Recovery SMS Alert", "断开提醒"},
    {"TxtDoDefault", "Default", "默认"},
    {"TxtThDefault", "Default", "默认"},
    {"TxtThOk", "OK", "确定"},
    {"TxtThChannelName", "Channel Name(Max.40)", "通道名称"},
    {"TxtThEnable", "Enable", "使能"},
    {"TxtThVerify", "Alarm Verify Time(Range:0~999s)", "报警确认时间(秒)"},
    {"TxtThHighSms", "High Alarm SMS Content(Max.40)", "高限报警信息"},
    {"TxtThLowSms", "Low Alarm SMS Content(Max.40)", "低限报警信息"},
    {"TxtThRecoverySms", "Alarm Recovery SMS Content(Max.40)", "报警恢复信息"},
    {"TxtThRecoveryAlarm", "Enable Recovery SMS Alert", "报警恢复通知"},
    {"TxtThLinkDo1", "Alarm-link DO1", "联动继电器1"},
    {"TxtThLinkDo2", "Alarm-link DO2", "联动继电器2"},
    {"TxtPhoneCaption", "Phone Number", "电话号码"},
    {"TxtPhoneOk", "OK", "确定"},
    {"TxtPhoneCancel", "Cancel", "取消"},
    {"TxtPhoneNumber", "Alarm Tel Number(Max.21 digits)", "号码"},
    {"TxtPhoneDial", "Dial", "1.拨号"},
    {"TxtPhoneTimerReport", "Timer-Report", "2.定时报告"},
    {"TxtPhoneArmSms", "Arm/Disarm SMS", "3.布撤防通知"},
    {"TxtPhoneAlarm", "Alarm", "4.报警"},
    {"TxtPhoneRecovery", "Alarm Recovery", "5.报警恢复"},
    {"TxtPhonePower", "External Power ON/OFF", "6.外电掉电通知"},
    {"TxtPhoneGprs", "GPRS Failure", "7.GPRS连接失败"},
    {"TxtPhoneSignal", "Low GSM Signal", "8.GSM信号低"},
    {"TxtPhoneRelay", "Relay Close/Open", "9.继电器变位通知"},
    {"TxtPhoneAll", "ALL", "全选"},
    {"TxtTimerCaption", "Timer", "定时器"},
    {"TxtTimerEnable", "Enable", "使能"},
    {"TxtTimerWeek", "Week", "星期"},
    {"TxtTimerHour", "Hour", "时"},
    {"TxtTimerMinute", "Minute", "分"},
    {"TxtTimerAction", "Action", "动作"},
    {"TxtAction0", "0.Reboot", "0.重启"},
    {"TxtAction1", "1.Upload Data By GPRS", "1.上传GPRS数据"},
    {"TxtAction2", "2.Auto Report By SMS", "2.短信上报"},
    {"TxtAction3", "3.Save Historical Data", "3.保存历史记录"},
    {"TxtAction4", "4.GPRS Online", "4.GPRS上线"},
    {"TxtAction5", "5.Arm", "5.布防"},
    {"TxtAction6", "6.Disarm", "6.撤防"},
    {"TxtAction7", "7.DO1 Close(ON)", "7.继电器1闭合"},
    {"TxtAction8", "8.DO1 Open(OFF)", "8.继电器1断开"},
    {"TxtAction9", "9.DO2 Close(ON)", "9.继电器2闭合"},
    {"TxtAction10", "10.DO2 Open(OFF)", "10.继电器2断开"},
    {"TxtDay0", "Sunday", "日"},
    {"TxtDay1", "Monday", "一"},
    {"TxtDay2", "Tuesday", "二"},
    {"TxtDay3", "Wednesday", "三"},
    {"TxtDay4", "Thursday", "四"},
    {"TxtDay5", "Friday", "五"},
    {"TxtDay6", "Saturday", "六"},
    {"TxtEveryday", "Everyday", "每天"},
    {"TxtFrameBasic", "Basic", "基本设置"},
    {"TxtFramePhone", "Phone", "电话"},
    {"TxtFrameTimer", "Timer", "定时"},
    {"TxtFrameHistory", "History", "历史记录"},
    {"TxtArmed", "Arm", "布防"},
    {"TxtDisarmed", "Disarm", "撤防"},
    {"TxtRelayClosed", "Close", "闭合"},
    {"TxtRelayOpen", "Open", "断开"},
    {"TxtRecType0", "Interval", "定时存贮"},
    {"TxtRecType1", "Alarm", "报警存贮"},
    {"TxtRecType2", "Upload", "上报存贮"},
    {"TxtRecType3", "Relay Switch", "继电器变化"},
    {"TxtRecType4", "Arm/Disarm", "布撤防变化"},
    {"TxtRecType5", "Low Singal", "信号低"},
    {"TxtRecType6", "Power ON/OFF", "外电变化"},
    {"TxtStop", "Stop", "停止"},
    // The welcome page's device card.
    {"TxtNotRead", "not read yet", "未读取"},
    {"LblDeviceClock", "Device Clock:", "设备时间:"},
    {"LblPort", "Port:", "串口:"},
    {"LblLink", "Link:", "连接状态:"},
    {"TxtLinkClosed", "Port closed", "串口已关闭"},
    {"TxtLinkOpening", "Port open, logging in", "串口已打开，正在登录"},
    {"TxtLinkLoggedIn", "Logged in", "已登录"},
    {"TxtLinkLost", "Connection lost", "连接已断开"},
    {"TxtLinkViewMode", "View mode, no device", "查看模式，无设备"},
    {"LblRelay1", "DO1:", "继电器1:"},
    {"LblRelay2", "DO2:", "继电器2:"},
    {"LblCurrentValues", "Current Values:", "当前值:"},
    // Skins menu captions by skin file name ("TxtSkin" + name); a skin
    // without an entry is listed under its file name.
    {"TxtSkinBlue", "Blue", "蓝色"},
    {"TxtSkinClassic", "Classic", "经典"},
    {"TxtSkinGraphite", "Graphite", "石墨"},
    // What the window says when an action ends or cannot start.
    {"MsgConfigRead", "The settings were read.", "配置已读取。"},
    {"MsgHistoryRecordsRead", "%1 records read (%2).", "已读取%1条记录（%2）。"},
    {"TxtHistoryEndOfLog", "end of the log", "已到记录末尾"},
    {"TxtHistoryStopped", "stopped by the user", "用户已停止"},
    {"TxtHistoryReadError", "a page could not be read", "有一页无法读取"},
    {"TxtHistoryQuantityRead", "the number asked for", "已达到读取数量"},
    {"MsgHistoryOutOfOrder",
     "Records out of time order (earlier than the record before them): %1. A page may have been shown twice, or the device clock was set back.",
     "时间顺序不对的记录（早于前一条记录）：%1。可能有一页被重复显示，或设备时钟被调回。"},
    {"MsgNotConnected", "Not connected. Open the port first (Connect > Open the Port).",
     "未连接。请先打开串口（连接 > 重新连接）。"},
};

// Texts picked by the language flag where they are used.
const std::vector<TLangText> kPointOfUseTexts = {
    {"TxtInputError", "Input Error", "输入错误"},
    {"TxtDoName", "DOUT", "继电器"},
    {"TxtDoDefaultOpen", "Open", "断开"},
    {"TxtDoDefaultClose", "Close", "闭合"},
    {"TxtDoStatusClosed", "Close", "闭合"},
    {"TxtDoStatusOpen", "Open", "断开"},
    {"TxtDoCloseTimeHint", "Range:0~65535s,stand for always close when action",
     "Range:0~65535s,stand for always close when action"},
    {"TxtThDefaultHighSms", "High Alarm", "高限报警"},
    {"TxtThDefaultLowSms", "Low Alarm", "低限报警"},
    {"TxtThDefaultRecoverySms", "Recover", "恢复"},
    {"TxtTemperature", "Temperature", "温度"},
    {"TxtHumidity", "Humidity", "湿度"},
    {"TxtRecordError", "Error", "错误"},
    {"MsgProfileMissing", "The profile file does not exist.", "配置文件不存在。"},
    {"MsgProfileReadFailed", "The profile file cannot be read.", "无法读取配置文件。"},
    {"MsgProfileTooLarge",
     "The file is too large to be a profile (more than 1 MB or 20000 lines); nothing was changed.",
     "文件过大，不是配置文件（超过1 MB或20000行），未做任何更改。"},
    {"MsgProfileNotText", "The file holds binary data, not profile text; nothing was changed.",
     "文件含有二进制数据，不是配置文件文本，未做任何更改。"},
    {"MsgProfileNotProfile",
     "The file is not a profile of this program: it has no [Value] section with its settings; nothing was changed.",
     "该文件不是本程序的配置文件：没有含设置项的[Value]节，未做任何更改。"},
    // The login window picks these once, by the user's locale, when it is shown.
    {"LoginSerial", "Serial", "串口"},
    {"LoginPassword", "Password", "密码"},
    {"LoginButton", "Login", "登陆"},
    {"LoginLogout", "Logout", "退出"},
    {"LoginDataError", "Data Error", "数据异常"},
    {"LoginPasswordError", "Password error", "验证错误"},
    {"LoginTimeOut", "Time out", "登陆超时"},
    {"MsgProfileSaveFailed", "The profile file cannot be saved; the old file is unchanged.",
     "无法保存配置文件，原文件未改变。"},
    // History sheet: CSV files and the multi-record read (%1 page, %2 and %3
    // the first and last record of that page).
    {"MsgCsvExportFailed", "The CSV file cannot be saved; an existing file of that name is unchanged.",
     "无法保存CSV文件，同名的原文件未改变。"},
    {"MsgCsvImportFailed", "The CSV file cannot be read; the history grid is unchanged.",
     "无法读取CSV文件，历史记录表格未改变。"},
    {"MsgCsvTooLarge",
     "The file is too large to be a history log (more than 16 MB, or a line longer than 64 KB); the history grid is unchanged.",
     "文件过大，不是历史记录文件（超过16 MB，或某行超过64 KB），历史记录表格未改变。"},
    {"MsgCsvNotText", "The file holds binary data, not CSV text; the history grid is unchanged.",
     "文件含有二进制数据，不是CSV文本，历史记录表格未改变。"},
    {"MsgCsvNoRecords",
     "No line of the file begins with a record date and time (y/m/d,h:m:s); the history grid is unchanged.",
     "文件中没有以记录日期和时间（年/月/日,时:分:秒）开头的行，历史记录表格未改变。"},
    {"MsgHistoryReadFailed",
     "History page %1 (records %2 to %3) could not be read from the device; the read has stopped.",
     "无法从设备读取历史记录第%1页（记录%2至%3），读取已停止。"},
    // Results of the configuration read and write (%1.. are filled in where used).
    {"MsgConfigReadFailed",
     "Page %1 of the configuration could not be read; nothing was changed.",
     "无法读取配置第%1页，界面未改变。"},
    {"MsgConfigImageShort",
     "The configuration read is incomplete (%1 of 3646 bytes received); nothing was changed.",
     "读取的配置数据不完整（收到%1字节，应为3646字节），界面未更新。"},
    {"MsgConfigOutOfRange",
     "The value \"%2\" of \"%1\" is out of range (%3 to %4); the configuration was not written.",
     "“%1”的值“%2”超出范围（%3～%4），配置未写入。"},
    {"MsgProfileRowsUnmatched",
     "The profile holds no values for these rows, which were left as they were: %1",
     "配置文件中没有以下各行的数据，这些行保持不变：%1"},
    {"MsgConfigNotNumber",
     "The value \"%2\" of \"%1\" is not a number (%3 to %4); the configuration was not written.",
     "“%1”的值“%2”不是数字（%3～%4），配置未写入。"},
    {"MsgConfigBadHex",
     "\"%2\" in \"%1\" is not a hexadecimal pair; the configuration was not written.",
     "“%1”中的“%2”不是十六进制数，配置未写入。"},
    {"MsgConfigMissingChannels",
     "The sensor list shows %2 of the model's %1 channels, so writing would erase the device's channel settings; "
     "the configuration was not written. Use Open the Port to log in again.",
     "传感器列表只有%2个通道（该型号有%1个），写入会清除设备的通道设置，配置未写入。请重新打开串口登录。"},
    {"MsgConfigWritten", "The configuration was written.", "配置已写入。"},
    {"MsgConfigWrittenVerified",
     "The configuration was written and read back: the device holds what the window shows. What it held before was kept as a backup.",
     "配置已写入并读回核对：设备中的配置与窗口一致。写入前的配置已备份。"},
    {"MsgWriteBackupReadFailed",
     "The device's settings could not be read for the backup; nothing was written.",
     "无法读取设备配置用于备份，未写入任何内容。"},
    {"MsgWriteBackupFailed", "The backup could not be stored (%1); nothing was written.",
     "无法保存备份（%1），未写入任何内容。"},
    {"MsgWriteReadBackFailed",
     "The configuration was written, but it could not be read back to check it. Use Compare with Device.",
     "配置已写入，但无法读回核对。请使用“与设备比较”。"},
    {"MsgWriteDiffers",
     "The device does not hold what was written. Fields that differ: %1",
     "设备中的配置与写入的不一致。不同的项：%1"},
    {"MsgWriteStoppedUnchanged", "Stopped before anything was written; the device is unchanged.",
     "在写入之前已停止，设备未改变。"},
    {"MsgWriteStoppedUnverified",
     "Stopped after the write, before it was checked; use Compare with Device.",
     "写入后、核对前已停止，请使用“与设备比较”。"},
    {"MsgNoDifferences", "No differences.", "没有不同。"},
    {"TxtDifferencesTitle", "Differences", "不同之处"},
    {"TxtDiffField", "Field", "项目"},
    {"TxtDiffDevice", "Device", "设备"},
    {"TxtDiffProfile", "Profile", "配置文件"},
    {"TxtDiffWindow", "Window", "窗口"},
    {"TxtImageByte", "Byte %1 of the image", "配置第%1字节"},
    {"TxtClose", "Close", "关闭"},
    {"MsgNoBackups", "There is no backup of this device yet.", "此设备还没有备份。"},
    {"TxtBackupsTitle", "Backups of this device", "此设备的备份"},
    {"TxtBackupTime", "Time", "时间"},
    {"TxtBackupDiffers", "Fields that differ from the device now", "与设备当前配置不同的项数"},
    {"TxtBackupUnreadable", "cannot be read", "无法读取"},
    {"MsgBackupRefused", "This backup cannot be restored: %1. Nothing was written.", "此备份无法恢复：%1。未写入任何内容。"},
    {"TxtTextUnreadableAt", "line %1, column %2 is neither GBK nor UTF-8 text", "第%1行第%2列既不是GBK也不是UTF-8文本"},
    {"TxtBackupWrongSize", "not a configuration image (wrong size)", "不是配置映像（大小不对）"},
    {"TxtBackupBadPassword", "its password is not four digits", "其中的密码不是四位数字"},
    {"TxtBackupNotAnImage", "not a configuration image", "不是配置映像"},
    {"TxtBackupProfileMissing", "its profile file is missing or cannot be read", "其配置文件缺失或无法读取"},
    {"TxtBackupProfileDiffers", "its profile file holds other settings than its image", "其配置文件与其映像内容不一致"},
    {"TxtRestore", "Restore", "恢复"},
    {"TxtEditedMark", "Edited", "已修改"},
    {"MsgUnsavedEdits",
     "The settings in the window have been changed since they were last read, loaded or written. Save them as a profile first?",
     "窗口中的配置自上次读取、载入或写入后已修改。是否先保存为配置文件？"},
    {"MsgConfigWriteUnconfirmed",
     "The device did not confirm page(s) %1; the device may hold a mix of old and new settings.",
     "设备未确认第%1页，设备中可能是新旧混合的配置。"},
    {"MsgConfigWriteStopped",
     "Writing was stopped; the device may hold a mix of old and new settings.",
     "写入已停止，设备中可能是新旧混合的配置。"},
    // Device work refused or ended without a result.
    {"MsgModelUnknown",
     "The device's model is not known, so its settings cannot be read or written. Use Open the Port to log in again.",
     "设备型号未知，无法读写配置。请重新打开串口登录。"},
    {"MsgDeviceNoAnswer",
     "The device does not answer. Check the cable and the port, then use Open the Port again.",
     "设备无应答。请检查连线和串口，然后重新打开串口。"},
    {"MsgDeviceUnidentified",
     "The device did not say which model it is (K801, K802 or K803); nothing will be read or written. Use Open the Port again.",
     "设备未报告型号（K801、K802或K803），不会读写任何配置。请重新打开串口。"},
    {"MsgConfigUnsolicited",
     "The device sent data nobody asked for during the read, twice; nothing was changed. Read again.",
     "读取期间设备两次发送了未请求的数据，界面未改变。请重新读取。"},
    {"MsgRelayUnknown",
     "The relay state could not be read after switching; it is shown as unknown. Read the relay state again.",
     "切换后无法读取继电器状态，状态显示为未知。请重新读取继电器状态。"},
    {"TxtDoStatusUnknown", "Unknown", "未知"},
    {"MsgRecordMissing", "Record %1 does not exist on the device; the grid is unchanged.",
     "设备中不存在第%1条记录，表格未改变。"},
    {"MsgEraseUnconfirmed",
     "The device did not report the end of the erase; its log may be partly erased.",
     "设备未报告清除完成，历史记录可能只清除了一部分。"},
    {"MsgJobRunningClose",
     "The program is still working with the device. Stop it and close the window?",
     "程序仍在与设备通信。是否停止并关闭窗口？"},
    // At start-up, when this copy of the program cannot convert GBK text.
    {"MsgNoGbkConversion",
     "This copy of the program has no GBK (code page 936) text conversion: Chinese texts from the device "
     "cannot be shown or written correctly, and profiles and CSV files will not be saved. Reinstall the "
     "program, or install Qt with ICU or the Qt 5 compatibility module.",
     "本程序缺少GBK（代码页936）文字转换：设备中的中文文字无法正确显示或写入，配置文件和CSV文件将无法保存。"
     "请重新安装本程序，或安装带ICU的Qt或Qt 5兼容模块。"},
    // The main window after a line error or the loss of its port.
    {"MsgPortLost", "The connection to the device was lost and the port is closed. Use Connect > Open the Port once the device is back.",
     "与设备的连接已断开，串口已关闭。设备恢复后请使用“连接 > 重新连接”。"},
    // The login window while it waits for the password reply (%1 seconds left).
    {"LoginWaiting", "Waiting for the device... %1 s", "正在等待设备应答…%1秒"},
    // The history archive (%1: the archive file).
    {"MsgArchiveLocked", "The history archive %1 is in use by another program.",
     "历史存档%1正被其他程序使用。"},
    {"MsgArchiveCorrupt", "The history archive %1 is damaged or is not a history archive; it is left as it is.",
     "历史存档%1已损坏或不是历史存档，未作任何改动。"},
    {"MsgArchiveNewer",
     "The history archive %1 was written by a newer version of this program; it is left as it is.",
     "历史存档%1由更新版本的程序写入，未作任何改动。"},
    {"MsgArchiveFailed", "The history archive %1 cannot be opened or written.",
     "无法打开或写入历史存档%1。"},
    {"MsgArchiveReadWithout", "The records read are shown in the grid but not archived.",
     "读取的记录显示在表格中，但未存档。"},
    {"MsgArchiveNotStored", "%1 records read could not be archived; they are in the grid only.",
     "%1条读取的记录未能存档，只在表格中。"},
    {"MsgArchiveNoImei", "The device's IMEI is not known, so the records read are not archived.",
     "设备IMEI未知，读取的记录不会存档。"},
    {"MsgArchiveDeleteAsk", "Delete every archived record of the device %1? This cannot be undone.",
     "是否删除设备%1的全部存档记录？删除后无法恢复。"},
    {"MsgArchiveDeleteFailed", "The records of %1 could not be deleted from the archive.",
     "无法从存档中删除设备%1的记录。"},
    {"MsgArchiveTooMany", "The archive holds %1 records of this device; the grid shows the latest %2.",
     "存档中有该设备的%1条记录，表格显示最新的%2条。"},
    {"MsgArchiveSkipped", "%1 records of the archive are not 64 bytes long; they were left out.",
     "存档中有%1条记录不是64字节，已略过。"},
    {"MsgArchiveEmptyDevice", "The archive holds no records of the device %1.",
     "存档中没有设备%1的记录。"},
    {"TxtArchiveTitle", "History Archive", "历史存档"},
    {"TxtArchiveImei", "IMEI", "IMEI"},
    {"TxtArchiveModel", "Model", "型号"},
    {"TxtArchiveRecords", "Records", "记录数"},
    {"TxtArchiveLastRead", "Last Read", "最后读取"},
    {"TxtArchiveOpen", "Open in Grid", "在表格中打开"},
    {"TxtArchiveExport", "Export CSV", "导出CSV"},
    {"TxtArchiveDelete", "Delete", "删除"},
    {"TxtArchiveClose", "Close", "关闭"},
    {"TxtArchiveNone", "The archive holds no records yet.", "存档中还没有记录。"},
    // The history sheet's reads of new records and the continuing of a read.
    {"TxtArchiveGroup", "Archive", "存档"},
    {"TxtReadNew", "Read New", "读取新记录"},
    {"TxtReadContinue", "Continue", "继续读取"},
    {"TxtArchiveButton", "Archive...", "存档..."},
    {"TxtGridPage", "Grid", "表格"},
    {"TxtChartPage", "Chart", "曲线"},
    {"TxtReadStoppedAt", "The read stopped at page %1 with %2 records kept. Continue reads on from page %1.",
     "读取在第%1页停止，已保留%2条记录。继续读取将从第%1页开始。"},
    {"TxtReadNewDone", "%1 new records read.", "读取了%1条新记录。"},
    {"MsgLogRestarted",
     "Record %1 read before is no longer on the device: its log was erased or started again. The log is read from the start.",
     "之前读取的第%1条记录已不在设备中：设备记录已被清除或重新开始。将从头读取。"},
    {"MsgArchiveUnknownModel",
     "The archive names the model \"%1\" for device %2, which is no K801, K802 or K803; its records are not shown.",
     "档案中设备%2的型号为“%1”，不是K801、K802或K803；其记录未显示。"},
    {"MsgReadNewFailed", "The device did not answer the check of record %1; nothing was read. Use Read New again.",
     "设备未应答第%1条记录的核对，未读取任何记录。请再次读取新记录。"},
    // The chart page.
    {"TxtChartTemperatureAxis", "Temperature (°C)", "温度 (°C)"},
    {"TxtChartHumidityAxis", "Humidity (%RH)", "湿度 (%RH)"},
    {"TxtChartRefresh", "Redraw from Grid", "按表格重绘"},
    {"TxtChartResetZoom", "Reset Zoom", "复位缩放"},
    {"TxtChartSave", "Save PNG", "保存PNG"},
    {"TxtChartChannels", "Channels shown", "显示的通道"},
    {"TxtChartHint",
     "Wheel or +/-: zoom. Drag: zoom into the area. Middle button, Shift+drag or arrow keys: pan. Home: whole range.",
     "滚轮或+/-：缩放。拖动：放大所选区域。中键、Shift+拖动或方向键：平移。Home：全部范围。"},
    {"TxtChartHigh", "%1 high alarm", "%1 高报警"},
    {"TxtChartLow", "%1 low alarm", "%1 低报警"},
    {"TxtChartEmpty", "The grid holds no records to draw.", "表格中没有可绘制的记录。"},
    {"MsgChartRowsSkipped", "%1 rows could not be read and are left out of the chart.",
     "%1行无法识别，未绘入曲线。"},
    {"MsgChartSaveFailed", "The chart could not be saved to %1.", "曲线无法保存到%1。"},
    // k80x-cli: help.
    {"CliHelpUsage", "Usage: %1", "用法：%1"},
    {"CliHelpIntro", "Sets up, backs up and reads K801/K802/K803 data loggers from the command line, one device or many in turn.",
     "在命令行中配置、备份和读取K801/K802/K803数据记录仪，可依次处理一台或多台设备。"},
    {"CliHelpCommands", "Commands:", "命令："},
    {"CliHelpMore", "k80x-cli <command> --help lists the options of a command.", "k80x-cli <命令> --help 列出该命令的选项。"},
    {"CliHelpOptions", "Options:", "选项："},
    {"CliHelpExitCodes", "Exit codes (with several devices, the highest one):", "退出码（多台设备时取最大值）："},
    {"CliExit0", "0  done", "0  完成"},
    {"CliExit1", "1  differences found (diff only)", "1  有差异（仅diff）"},
    {"CliExit2", "2  bad arguments or files, or a profile the device cannot take; nothing was sent to change the device",
     "2  参数或文件错误，或配置文件不适用于该设备；未向设备发送任何修改"},
    {"CliExit3", "3  the device refused the password", "3  设备拒绝了密码"},
    {"CliExit4", "4  the port cannot be opened, the line was lost or the device did not answer",
     "4  串口无法打开、连接中断或设备无应答"},
    {"CliExit5", "5  verification failed: the device does not hold what was written", "5  校验失败：设备中的内容与写入的不一致"},
    {"CliHelpPorts", "Lists the serial ports and the demo devices.", "列出串口和演示设备。"},
    {"CliHelpInfo", "Logs in and shows the model, firmware version, IMEI, signal value and device clock.",
     "登录并显示型号、固件版本、IMEI、信号值和设备时间。"},
    {"CliHelpRead", "Reads the configuration into a profile (.ini, as Export Profile writes it) or the raw image (.bin).",
     "读取配置，保存为配置文件（.ini，与“导出配置”相同）或原始映像（.bin）。"},
    {"CliHelpWrite", "Writes a profile (.ini) or raw image (.bin): the device's settings are backed up first and read back after the write.",
     "写入配置文件（.ini）或原始映像（.bin）：写入前先备份设备配置，写入后回读校验。"},
    {"CliHelpDiff", "Shows the fields that differ between the device and the file; exit code 0 equal, 1 different.",
     "显示设备与文件之间不同的项；退出码0表示相同，1表示不同。"},
    {"CliHelpBackup", "Keeps the device's settings as a backup (the window's backup folder and format).",
     "将设备配置保存为备份（与窗口程序相同的备份文件夹和格式）。"},
    {"CliHelpRestore", "Writes a backup back to the device: the newest one, or the newest at or before --at.",
     "将备份写回设备：最新的备份，或--at指定时间及之前最新的备份。"},
    {"CliHelpHistory", "Downloads the history log to CSV, as the window's Export CSV writes it.",
     "下载历史记录并保存为CSV文件，与窗口程序的“导出CSV”相同。"},
    {"CliHelpEraseHistory", "Erases the device's history log (only with --yes).", "清除设备中的历史记录（须加--yes）。"},
    {"CliHelpClock", "Shows the device clock; with --sync sets it from the PC's clock first.",
     "显示设备时间；加--sync时先按电脑时间校准。"},
    {"CliHelpRelay", "Opens or closes relay DO1 or DO2 and shows both relays' states.", "断开或闭合继电器DO1或DO2，并显示两个继电器的状态。"},
    {"CliOptPort", "The port (a serial port, a pseudo-terminal, demo:K801..demo:K803, or a network serial server as tcp://HOST:PORT or rfc2217://HOST:PORT); give it several times for several devices.",
     "串口（串口、伪终端、demo:K801..demo:K803，或网络串口服务器tcp://主机:端口、rfc2217://主机:端口）；多台设备时可多次给出。"},
    {"CliOptParallel", "Runs up to N devices at once, each on its own connection (default 1: one after another); the report keeps the order of the ports.",
     "同时处理最多N台设备，每台一个连接（默认1：逐台处理）；报告保持串口的顺序。"},
    {"CliOptIso", "Writes the times as ISO 8601 with the PC's UTC offset (2025-01-31T14:25:00+08:00) and a header line first.",
     "时间写成带电脑UTC时差的ISO 8601格式（2025-01-31T14:25:00+08:00），并在首行写标题。"},
    {"CliIsoTimeCaption", "Time (ISO 8601)", "时间（ISO 8601）"},
    {"CliBadParallel", "--parallel takes a number from 1 to %2, not \"%1\"", "--parallel必须是1～%2之间的数字，不能是“%1”"},
    {"CliOptPortsFrom", "Reads the ports from FILE, one a line (# starts a comment).", "从文件读取串口，每行一个（#开头为注释）。"},
    {"CliOptPassword", "The device password, 4 digits (default 5937); other users can see it in the process list, so prefer --password-file or K80X_PASSWORD.",
     "设备密码，4位数字（默认5937）；其他用户可在进程列表中看到它，建议改用--password-file或K80X_PASSWORD。"},
    {"CliOptPasswordFile", "Reads the device password from the first line of FILE; without it and --password, the environment variable K80X_PASSWORD is used.",
     "从FILE的第一行读取设备密码；未给出它和--password时使用环境变量K80X_PASSWORD。"},
    {"CliOptShowSecrets", "Shows passwords in clear in differences and JSON (hidden as •••• otherwise).",
     "在差异和JSON中明文显示密码（否则显示为••••）。"},
    {"CliOptLang", "The language of texts and profile captions: zh or en.", "文字和配置文件标题的语言：zh或en。"},
    {"CliOptJson", "Prints the results as one JSON document.", "以一个JSON文档输出结果。"},
    {"CliOptQuiet", "Prints nothing but errors.", "只输出错误。"},
    {"CliOptReport", "Writes the report table (port, model, IMEI, result, seconds) as CSV.",
     "将报告表（串口、型号、IMEI、结果、秒数）写入CSV文件。"},
    {"CliOptIn", "The profile (.ini) or raw image (.bin) to use.", "要使用的配置文件（.ini）或原始映像（.bin）。"},
    {"CliOptOut", "The file to write; {port}, {imei} and {model} in the name are replaced (needed with several devices).",
     "要写入的文件；文件名中的{port}、{imei}和{model}会被替换（多台设备时必须使用）。"},
    {"CliOptCount", "Reads at most N records (1 to 20000, default all).", "最多读取N条记录（1～20000，默认全部）。"},
    {"CliOptAt", "The backup time, e.g. 20250131-142500 or \"2025-01-31 14:25\".", "备份时间，如20250131-142500或\"2025-01-31 14:25\"。"},
    {"CliOptSync", "Sets the device clock from the PC's clock.", "按电脑时间校准设备时间。"},
    {"CliOptYes", "Confirms the erase.", "确认清除。"},
    {"CliOptHelp", "Shows this help.", "显示本帮助。"},
    // k80x-cli: bad arguments and files (nothing is sent).
    {"CliUnknownOption", "unknown option \"%1\"", "未知选项“%1”"},
    {"CliBadArguments", "bad arguments: %1", "参数错误：%1"},
    {"CliNoCommand", "no command given (k80x-cli --help lists them)", "未给出命令（k80x-cli --help 可列出全部命令）"},
    {"CliUnknownCommand", "unknown command \"%1\" (k80x-cli --help lists them)", "未知命令“%1”（k80x-cli --help 可列出全部命令）"},
    {"CliOptionNotFor", "option %1 does not apply to %2", "选项%1不适用于%2"},
    {"CliRelayArguments", "relay takes the relay and the action: 1|2 open|close", "relay需要继电器和动作：1|2 open|close"},
    {"CliExtraArgument", "unexpected argument \"%1\"", "多余的参数“%1”"},
    {"CliBadLanguage", "--lang takes zh or en, not \"%1\"", "--lang只能是zh或en，不能是“%1”"},
    {"CliEmptyPort", "--port needs a port name", "--port需要串口名称"},
    {"CliCannotReadFile", "cannot read %1: %2", "无法读取%1：%2"},
    {"CliNoSuchFile", "no such file", "文件不存在"},
    {"CliNoPort", "no port given (--port or --ports-from)", "未给出串口（--port或--ports-from）"},
    {"CliBadPassword", "--password takes the device's 4-digit password", "--password必须是设备的4位数字密码"},
    {"CliMissingValue", "%1 is needed", "需要%1"},
    {"CliOutIniOrBin", "%1: the file name must end in .ini (profile) or .bin (raw image)", "%1：文件名必须以.ini（配置文件）或.bin（原始映像）结尾"},
    {"CliInIniOrBin", "%1: the file name must end in .ini (profile) or .bin (raw image)", "%1：文件名必须以.ini（配置文件）或.bin（原始映像）结尾"},
    {"CliOutNeedsPlaceholder", "with several devices, --out must hold {imei} or {port} so that each device gets its own file",
     "多台设备时，--out中必须包含{imei}或{port}，使每台设备有自己的文件"},
    {"CliBadCount", "--count takes a number from 1 to %2, not \"%1\"", "--count必须是1～%2之间的数字，不能是“%1”"},
    {"CliBadTime", "--at: \"%1\" is no time (use 20250131-142500 or \"2025-01-31 14:25\")",
     "--at：“%1”不是时间（请用20250131-142500或\"2025-01-31 14:25\"）"},
    {"CliEraseNeedsYes", "erase-history erases the whole log on the device; add --yes to confirm",
     "erase-history会清除设备中全部历史记录；请加--yes确认"},
    {"CliImageSize", "%1: a raw image has exactly %2 bytes", "%1：原始映像必须正好是%2字节"},
    {"CliNotProfile", "%1 is no profile", "%1不是配置文件"},
    {"CliProfileOtherModel", "%1 is a profile for %2 (sensor rows %3); the device is a %4 (sensor rows %5)",
     "%1是%2的配置文件（传感器行%3）；设备是%4（传感器行%5）"},
    // k80x-cli: one device's result.
    {"CliPortOpenFailed", "cannot open port %1: it does not exist or is in use", "无法打开串口%1：串口不存在或被占用"},
    {"CliRefused", "the device refused the password", "设备拒绝了密码"},
    {"CliUnidentified", "the device did not say which model it is", "设备未报告其型号"},
    {"CliNoAnswer", "the device did not answer", "设备无应答"},
    {"CliLineLost", "the connection to the device was lost", "与设备的连接已断开"},
    {"CliFieldModel", "Model", "型号"},
    {"CliFieldFirmware", "Firmware", "固件版本"},
    {"CliFieldImei", "IMEI", "IMEI"},
    {"CliFieldSignal", "Signal", "信号"},
    {"CliFieldClock", "Device clock", "设备时间"},
    {"CliInfoDone", "done", "完成"},
    {"CliClockUnreadable", "the device's clock could not be read", "无法读取设备时间"},
    {"CliReadPageFailed", "page %1 of the configuration did not come; nothing was saved", "配置第%1页未收到；未保存任何文件"},
    {"CliCannotWriteFile", "cannot write %1: %2", "无法写入%1：%2"},
    {"CliReadDone", "configuration saved to %1", "配置已保存到%1"},
    {"CliLineLostUnchanged", "the connection was lost before the write; the device is unchanged", "写入前连接已断开；设备未改变"},
    {"CliLineLostMixed", "the connection was lost during the write; the device may hold old and new settings mixed",
     "写入过程中连接断开；设备中可能新旧配置混杂"},
    {"CliLineLostUnverified", "the connection was lost after the write; the write is not verified", "写入后连接断开；写入未经校验"},
    {"CliBackupReadFailed", "the device's settings could not be read for the backup; nothing was written",
     "无法读取设备配置用于备份；未写入任何内容"},
    {"CliBackupNotKept", "the backup could not be kept (%1); nothing was written", "无法保存备份（%1）；未写入任何内容"},
    {"CliWriteUnconfirmed", "the device did not confirm pages %1; it may hold a mix of old and new settings",
     "设备未确认第%1页，设备中可能是新旧混合的配置"},
    {"CliWriteReadBackFailed", "written, but the read-back failed: the write is not verified", "已写入，但回读失败：写入未经校验"},
    {"CliWriteDiffers", "the device holds other values than were written: %1", "设备中的值与写入的不一致：%1"},
    {"CliWritten", "written and verified", "已写入并校验"},
    {"CliRestored", "backup restored and verified", "备份已恢复并校验"},
    {"CliDiffEqual", "no differences", "没有差异"},
    {"CliDiffDifferent", "fields that differ: %1", "不同的项：%1"},
    {"CliBackupDone", "backup kept in %1", "备份已保存到%1"},
    {"CliBackupUnreadable", "the backup %1 cannot be read; nothing was written", "无法读取备份%1；未写入任何内容"},
    {"CliNotRegularFile", "it is not a regular file (a link, folder, device or FIFO)", "它不是普通文件（链接、文件夹、设备或管道）"},
    {"CliFileTooLarge", "the file is too large", "文件过大"},
    {"CliBackupRefused", "the backup %1 cannot be restored, %2; nothing was written", "备份%1无法恢复，%2；未写入任何内容"},
    {"CliFieldBackupTime", "Backup of", "备份时间"},
    {"CliNoBackupAt", "no backup of device %1 at or before %2; nothing was written", "设备%1在%2及之前没有备份；未写入任何内容"},
    {"CliNoBackup", "no backup of device %1 in %2; nothing was written", "%2中没有设备%1的备份；未写入任何内容"},
    {"CliHistoryDone", "%1 records saved to %2", "%1条记录已保存到%2"},
    {"CliHistoryPageFailed", "history page %1 did not come; nothing was saved", "历史记录第%1页未收到；未保存任何文件"},
    {"CliEraseDone", "history log erased", "历史记录已清除"},
    {"CliEraseUnconfirmed", "the device did not report the end of the erase; its log may be partly erased",
     "设备未报告清除完成，历史记录可能只清除了一部分"},
    {"CliClockRead", "done", "完成"},
    {"CliClockSet", "device clock set from the PC", "已按电脑时间校准设备时间"},
    {"CliRelayUnknown", "the relay line was sent but no state came back; the relay's state is unknown",
     "已发送继电器命令，但未收到状态；继电器状态未知"},
    {"CliRelayDone", "done", "完成"},
    {"CliRelayNotSwitched", "the relay did not switch", "继电器未动作"},
    {"CliReportPort", "Port", "串口"},
    {"CliReportModel", "Model", "型号"},
    {"CliReportImei", "IMEI", "IMEI"},
    {"CliReportResult", "Result", "结果"},
    {"CliReportSeconds", "Seconds", "秒"},
    {"CliNoSuchFolder", "no such folder", "文件夹不存在"},
    // Audit reports of a period (the PDF, the statistics panel, the Report dialog, k80x-cli report).
    {"RptTitle", "Temperature and Humidity Report", "温湿度报告"},
    {"RptDevice", "Device", "设备"},
    {"RptModel", "Model", "型号"},
    {"RptImei", "IMEI", "IMEI"},
    {"RptFirmware", "Firmware", "固件版本"},
    {"RptDescription", "Device description", "设备描述"},
    {"RptInterval", "Logging interval", "记录间隔"},
    {"RptIntervalMedian", "not in the configuration; the median of the readings: %1", "配置中没有；读数间隔的中位数：%1"},
    {"RptUnknown", "unknown", "未知"},
    {"RptPeriod", "Period", "时段"},
    {"RptPeriodText", "%1 to %2", "%1 至 %2"},
    {"RptTimeZone", "Times are the PC's local time, UTC%1.", "时间为电脑本地时间（UTC%1）。"},
    {"RptOffsetChange", "The PC's UTC offset changes inside the period (summer time) at %1 UTC; durations are real elapsed time.",
     "时段内电脑的UTC偏移有变化（夏令时），变化时刻 %1 UTC；时长按实际经过的时间计算。"},
    {"RptRecords", "Records", "记录数"},
    {"RptRowsSkipped", "%1 rows without a readable date and time are left out.", "%1行的日期时间无法读取，未计入。"},
    {"RptLimitsFrom", "Alarm limits: the configuration read from the device with the download of %1.",
     "报警限值：取自%1下载时从设备读取的配置。"},
    {"RptLimitsRead", "Alarm limits: the configuration read from the device on %1.", "报警限值：取自%1从设备读取的配置。"},
    {"RptLimitsUnknown", "Limits unknown: no configuration read from the device belongs to these records; the statistics are shown without pass or fail.",
     "限值未知：这些记录没有对应的设备配置；只列出统计，不判定合格与否。"},
    {"RptChannels", "Channels", "通道"},
    {"RptChannel", "Channel", "通道"},
    {"RptUnit", "Unit", "单位"},
    {"RptLowLimit", "Low limit", "低限值"},
    {"RptHighLimit", "High limit", "高限值"},
    {"RptSwitchedOff", "switched off", "未使能"},
    {"RptSummary", "Statistics", "统计"},
    {"RptReadings", "Readings", "读数"},
    {"RptFirstLast", "First / last reading", "首个/末个读数"},
    {"RptMinimum", "Minimum (time)", "最小值（时间）"},
    {"RptMaximum", "Maximum (time)", "最大值（时间）"},
    {"RptMean", "Mean", "平均值"},
    {"RptStdDev", "Std. deviation", "标准差"},
    {"RptMkt", "MKT", "平均动力学温度"},
    {"RptResult", "Result", "结果"},
    {"RptPass", "Pass", "合格"},
    {"RptFail", "Fail", "不合格"},
    {"RptLeftOut", "Invalid / absent", "无效/缺失"},
    {"RptMktNote", "MKT: mean kinetic temperature, ΔH = %1 kJ/mol, R = 8.3144 J/(mol·K), each reading weighted by the time it stands for. Invalid readings (not a number or outside the sensor's range) and absent ones are left out.",
     "平均动力学温度：ΔH = %1 kJ/mol，R = 8.3144 J/(mol·K)，每个读数按其代表的时间加权。无效读数（非数字或超出传感器量程）和缺失读数不计入。"},
    {"RptExcursions", "Excursions", "超限"},
    {"RptLimit", "Limit", "限值"},
    {"RptCount", "Count", "次数"},
    {"RptTotalTime", "Total time", "总时长"},
    {"RptLongest", "Longest", "最长"},
    {"RptFirstStart", "First start", "首次开始"},
    {"RptWorst", "Worst value (time)", "最差值（时间）"},
    {"RptHigh", "High %1", "高 %1"},
    {"RptLow", "Low %1", "低 %1"},
    {"RptNoExcursions", "No reading lies beyond a limit.", "没有超出限值的读数。"},
    {"RptEachExcursion", "Each excursion", "各次超限"},
    {"RptStart", "Start", "开始"},
    {"RptEnd", "End", "结束"},
    {"RptLength", "Length", "时长"},
    {"RptOpenAtEnd", "beyond until the end of the period", "至时段结束仍超限"},
    {"RptMore", "… and %1 more", "……另有%1项"},
    {"RptGaps", "Gaps in the log", "记录中断"},
    {"RptGapsText", "Readings missing for longer than 1.5 times the logging interval (%1):", "缺少读数的时间超过记录间隔（%1）的1.5倍："},
    {"RptNoGaps", "No gaps.", "无中断。"},
    {"RptFrom", "From", "从"},
    {"RptTo", "To", "到"},
    {"RptChart", "Chart", "曲线"},
    {"RptAppendix", "Appendix: the data rows", "附录：数据行"},
    {"RptTime", "Time", "时间"},
    {"RptGenerated", "Generated by %1 on %2 with %3.", "由%1于%2使用%3生成。"},
    {"RptHashText", "The SHA-256 in the footer is taken over the report's data rows (time and every channel's value, one row a line); the same data always gives the same hash.",
     "页脚中的SHA-256按报告的数据行（时间和各通道的值，每行一条）计算；相同的数据总是得到相同的值。"},
    {"RptFooter", "SHA-256 of the data rows: %1", "数据行SHA-256：%1"},
    {"RptPage", "Page %1 of %2", "第%1页，共%2页"},
    {"RptDays", "%1 d", "%1天"},
    {"RptNoRecords", "There are no records in the period %1 to %2.", "时段%1至%2内没有记录。"},
    {"RptWriteFailed", "The report %1 cannot be written: %2. If it is open in another program, close it there and try again; the file on disk is unchanged.",
     "无法写入报告%1：%2。如果该文件已在其他程序中打开，请先关闭后再试；磁盘上的文件未改变。"},
    {"RptNotHistoryFile", "%1 is not a history file: %2", "%1不是历史记录文件：%2"},
    // The history page's statistics panel and Report dialog.
    {"RptButton", "Report…", "报告…"},
    {"RptPanel", "Statistics of the grid", "表格统计"},
    {"RptPanelEmpty", "No records in the grid.", "表格中没有记录。"},
    {"RptDialogTitle", "Report", "报告"},
    {"RptDialogPeriodFrom", "From", "从"},
    {"RptDialogPeriodTo", "To", "到"},
    {"RptDialogChannels", "Channels", "通道"},
    {"RptDialogAppendix", "Add the data rows as an appendix", "附上数据行"},
    {"RptDialogDeltaH", "Activation energy ΔH (kJ/mol)", "活化能ΔH（kJ/mol）"},
    {"RptDialogPreview", "Print Preview…", "打印预览…"},
    {"RptDialogSave", "Save PDF…", "保存PDF…"},
    {"RptDialogNoChannel", "Choose at least one channel.", "请至少选择一个通道。"},
    {"RptSaved", "The report was saved to %1.", "报告已保存到%1。"},
    // k80x-cli report.
    {"CliHelpReportCmd", "Makes the PDF report of a period from the archive (--imei) or a history CSV (--in); never talks to a device.",
     "根据存档（--imei）或历史记录CSV（--in）生成某一时段的PDF报告；不与设备通信。"},
    {"CliOptImei", "The device whose archived records to report; give it several times for one report per device ({imei} in --out).",
     "要生成报告的设备的IMEI；可多次给出，每台设备一份报告（--out中用{imei}）。"},
    {"CliOptReportIn", "A history CSV file (as Export CSV writes it) to report instead of the archive.", "用历史记录CSV文件（导出CSV所写的格式）代替存档。"},
    {"CliOptFrom", "The start of the period, e.g. \"2025-01-31 14:25\" (default: the first record).", "时段开始，如\"2025-01-31 14:25\"（默认：第一条记录）。"},
    {"CliOptTo", "The end of the period (default: the last record); a date alone means the whole day.", "时段结束（默认：最后一条记录）；只给日期表示整天。"},
    {"CliOptReportOut", "The PDF to write; {imei} and {model} in the name are replaced.", "要写入的PDF文件；文件名中的{imei}和{model}会被替换。"},
    {"CliOptAppendix", "Adds the data rows as an appendix.", "附上数据行。"},
    {"CliOptDeltaH", "The activation energy of the MKT in kJ/mol (default 83.144).", "平均动力学温度的活化能，kJ/mol（默认83.144）。"},
    {"CliOptModel", "The model of a CSV's device: K801, K802 or K803 (default: from the number of columns).", "CSV对应设备的型号：K801、K802或K803（默认按列数判断）。"},
    {"CliReportImeiOrIn", "report takes --imei or --in, one of the two", "report需要--imei或--in（二者之一）"},
    {"CliBadDeltaH", "--delta-h takes a number of kJ/mol above 0, not \"%1\"", "--delta-h必须是大于0的kJ/mol数值，不能是“%1”"},
    {"CliBadModel", "--model takes K801, K802 or K803, not \"%1\"", "--model只能是K801、K802或K803，不能是“%1”"},
    {"CliPeriodReversed", "--from %1 is later than --to %2", "--from %1晚于--to %2"},
    {"CliNoArchive", "the archive %1 cannot be opened: %2", "无法打开存档%1：%2"},
    {"CliReportDone", "report of %1 records saved to %2", "%1条记录的报告已保存到%2"},
    // k80x-cli archive.
    {"CliHelpArchiveCmd",
     "Lists the devices the history archive holds (list) or writes every archived record of one device into a CSV file (export); never talks to a device.",
     "列出历史存档中的设备（list），或把一台设备存档的全部记录写入CSV文件（export）；不与设备通信。"},
    {"CliOptArchiveImei", "The device whose archived records to export.", "要导出存档记录的设备的IMEI。"},
    {"CliOptArchiveOut", "The CSV file to write; {imei} and {model} in the name are replaced.",
     "要写入的CSV文件；文件名中的{imei}和{model}会被替换。"},
    {"CliArchiveAction", "archive takes list or export, not \"%1\"", "archive只能是list或export，不能是“%1”"},
    {"CliArchiveNoFile", "no history archive yet: %1 does not exist", "还没有历史存档：%1不存在"},
    {"CliArchiveExported", "%1 records of %2 saved to %3", "%2的%1条记录已保存到%3"},
    {"CliOptArchive", "history: stores the records read in the history archive the window uses (no duplicates); --out is then optional.",
     "history：把读到的记录存入窗口所用的历史存档（不重复）；此时--out可省略。"},
    {"CliOptNew", "history --archive: reads only the records after the last archived one, as Read New does.",
     "history --archive：只读取最后存档记录之后的记录，与“读取新记录”相同。"},
    {"CliNewNeedsArchive", "--new reads after the last archived record and needs --archive", "--new从最后存档的记录之后读取，需要同时给出--archive"},
    {"CliArchiveUnusable", "the records cannot be archived: %1", "无法存档记录：%1"},
    {"CliArchivedCount", "%1 new records archived (%2 records of this device in the archive)",
     "新存档%1条记录（存档中该设备共%2条记录）"},
    {"CliLogRestarted", "the device's log no longer holds the last archived record %1 (erased or restarted); it was read from its start",
     "设备日志中已没有最后存档的第%1条记录（已清空或重新开始），已从头读取"},
    {"NetBadAddress", "\"%1\" is no network port: write tcp://HOST:PORT or rfc2217://HOST:PORT, e.g. tcp://192.168.1.20:4001",
     "“%1”不是网络端口：应写成tcp://主机:端口或rfc2217://主机:端口，如tcp://192.168.1.20:4001"},
    {"NetBadPortNumber", "\"%1\": the port number must be from 1 to 65535", "“%1”：端口号必须在1～65535之间"},
    {"NetRefused", "%1 refused the connection: no serial server listens on that port",
     "%1拒绝连接：该端口上没有串口服务器"},
    {"NetHostNotFound", "%1: the host \"%2\" is not known; check the name", "%1：找不到主机“%2”，请检查名称"},
    {"NetNoAnswer", "%1 did not answer within %2 seconds; check the address and the network",
     "%1在%2秒内无应答，请检查地址和网络"},
    {"NetNoRfc2217", "%1 does not speak RFC 2217 (Telnet COM port control); a raw TCP server is reached with tcp://",
     "%1不支持RFC 2217（Telnet串口控制）；原始TCP服务器请用tcp://连接"},
    {"NetTelnetOnRaw", "%1 speaks Telnet; reach it with rfc2217://%2", "%1使用Telnet协议，请用rfc2217://%2连接"},
    {"NetClosed", "%1 closed the connection", "%1关闭了连接"},
    {"NetFailed", "the connection to %1 failed: %2", "与%1的连接失败：%2"},
    // The audit trail: its store, chain check, reason prompt, window and the tool's audit command.
    {"AudChainIntact", "intact", "完好"},
    {"AudChainUnreadable", "cannot be checked: %1", "无法检查：%1"},
    {"AudChainAltered", "entry %1 was altered", "第%1条记录被改动"},
    {"AudChainRemoved", "entry %1 was removed", "第%1条记录被删除"},
    {"AudChainInserted", "entry %1 was inserted", "第%1条记录是后来插入的"},
    {"AudChainSwapped", "entries %1 and %2 were swapped", "第%1条和第%2条记录被调换了顺序"},
    {"AudStoreLocked", "the audit trail %1 is locked by another program", "审计追踪文件%1被其他程序锁定"},
    {"AudStoreDamaged", "the audit trail %1 is damaged; it is kept as it is: move it away to start a new one",
     "审计追踪文件%1已损坏；文件保持原样，请将其移走后再开始新的记录"},
    {"AudStoreForeign", "%1 is not an audit trail of this program; it is kept as it is: move it away to start a new one",
     "%1不是本程序的审计追踪文件；文件保持原样，请将其移走后再开始新的记录"},
    {"AudStoreNewer", "the audit trail %1 was written by a newer version of this program",
     "审计追踪文件%1由更新版本的程序写入"},
    {"AudStoreFailed", "the audit trail %1 cannot be written (%2)", "无法写入审计追踪文件%1（%2）"},
    {"AudRefused", "Nothing was sent to the device: %1.", "未向设备发送任何内容：%1。"},
    {"AudNotLogged", "This action was not recorded in the audit trail: %1.", "此操作未记入审计追踪：%1。"},
    {"AudReasonMissing", "a reason is required for this action (setting \"a reason is required\")",
     "此操作必须填写原因（已启用“必须填写原因”设置）"},
    {"AudProfileLoaded", "profile loaded into the window", "配置文件已载入窗口"},
    {"AudNoOutcome", "started; no outcome was recorded (interrupted)", "已开始；没有记录结果（被中断）"},
    {"AudActWrite", "Write setting", "写入配置"},
    {"AudActRestore", "Restore backup", "恢复备份"},
    {"AudActEraseHistory", "Erase history", "清除历史记录"},
    {"AudActSetClock", "Set clock", "设置时间"},
    {"AudActRelayClose1", "DO1 close", "闭合继电器1"},
    {"AudActRelayOpen1", "DO1 open", "断开继电器1"},
    {"AudActRelayClose2", "DO2 close", "闭合继电器2"},
    {"AudActRelayOpen2", "DO2 open", "断开继电器2"},
    {"AudActReboot", "Reboot", "重启"},
    {"AudActReset", "Reset", "恢复出厂"},
    {"AudActConfigRead", "Read setting", "读取配置"},
    {"AudActHistoryDownload", "History download", "下载历史记录"},
    {"AudActProfileLoad", "Profile loaded", "载入配置文件"},
    {"AudReasonTitle", "Reason", "原因"},
    {"AudReasonPrompt", "Why is this done? One line, kept in the audit trail (may be left empty).",
     "操作原因（一行，记入审计追踪，可不填）："},
    {"AudReasonPromptRequired", "Why is this done? One line, kept in the audit trail (required).",
     "操作原因（一行，记入审计追踪，必填）："},
    {"AudTitle", "Audit Trail", "审计追踪"},
    {"AudColTime", "Time", "时间"},
    {"AudColUser", "User", "用户"},
    {"AudColDevice", "Device", "设备"},
    {"AudColAction", "Action", "操作"},
    {"AudColOutcome", "Outcome", "结果"},
    {"AudColReason", "Reason", "原因"},
    {"AudColField", "Field", "项目"},
    {"AudColBefore", "Before", "原值"},
    {"AudColAfter", "After", "新值"},
    {"AudFilterDevice", "Device", "设备"},
    {"AudAllDevices", "All devices", "全部设备"},
    {"AudFilterFrom", "From", "从"},
    {"AudFilterTo", "To", "到"},
    {"AudChanges", "Field changes of the selected entry", "所选记录的项目变化"},
    {"AudBackupFile", "Backup file: %1", "备份文件：%1"},
    {"AudChainState", "Chain: %1", "记录链：%1"},
    {"AudExportCsv", "Export CSV...", "导出CSV..."},
    {"AudExportPdf", "Export PDF...", "导出PDF..."},
    {"AudClose", "Close", "关闭"},
    {"AudExported", "Saved to %1", "已保存到%1"},
    {"AudExportFailed", "%1 could not be saved: %2", "无法保存%1：%2"},
    {"AudCsvHeader", "Entry,Time (UTC),UTC offset,User,Host,Version,Port,IMEI,Model,Action,Outcome,Reason,Backup file,Field changes",
     "序号,时间（UTC）,UTC偏移,用户,主机,版本,端口,IMEI,型号,操作,结果,原因,备份文件,项目变化"},
    {"CliHelpAudit", "Lists the audit trail's entries, or checks its chain with --verify.",
     "列出审计追踪记录，或用--verify检查记录链。"},
    {"CliOptReason", "The reason for a changing command, kept in the audit trail.", "更改类命令的原因，记入审计追踪。"},
    {"CliOptVerify", "Checks the audit trail's chain: exit 0 intact, 5 altered.", "检查审计追踪记录链：完好返回0，被改动返回5。"},
    {"CliAuditIntact", "audit trail intact (%1 entries)", "审计追踪完好（%1条记录）"},
    {"CliAuditAltered", "audit trail altered: %1", "审计追踪被改动：%1"},
    {"CliAuditUnreadable", "the audit trail cannot be read: %1", "无法读取审计追踪：%1"},
    {"AudOptImei", "Only the entries of this device.", "只列出该设备的记录。"},
    {"AudOptFrom", "Entries from this time on, e.g. \"2026-12-11 09:30\" or a day.", "从该时间起的记录，如\"2026-12-11 09:30\"或某一天。"},
    {"AudOptTo", "Entries up to this time; a date alone means the whole day.", "到该时间为止的记录；只给日期表示整天。"},
    {"AudBadTime", "\"%1\" is no time (use \"2026-12-11 09:30\" or 2026-12-11)", "“%1”不是时间（请用\"2026-12-11 09:30\"或2026-12-11）"},
    {"CliReasonRequired", "a reason is required: give --reason TEXT; nothing was sent", "必须填写原因：请用--reason 文本；未发送任何内容"},
    // The protocol debug window, the progress window's caption and the
    // history file filter, in the program's language.
    {"TxtDebugCaption", "Serial Port Debug", "调试串口"},
    {"TxtDebugSend", "Sent", "发送"},
    {"TxtDebugRecv", "Received", "接收"},
    {"TxtDebugTools", "Actions", "操作"},
    {"TxtDebugClearSend", "Clear Sent", "清空发送"},
    {"TxtDebugClearRecv", "Clear Received", "清空接收"},
    {"TxtDebugClearAll", "Clear All", "清空所有"},
    {"TxtDebugSendLines", "Sent Lines", "发送总行"},
    {"TxtDebugRecvLines", "Received Lines", "接收总行"},
    {"TxtDebugShow", "Show", "显示"},
    {"TxtDebugHex", "Hexadecimal", "十六进制"},
    {"TxtDebugAnsi", "Characters", "字符串"},
    {"TxtDebugDecimal", "Decimal", "十进制"},
    {"TxtDebugBinary", "Binary", "二进制"},
    {"TxtProgressCaption", "Process......", "处理中......"},
    {"TxtCsvFilter", "CSV File (*.csv)", "CSV 文件 (*.csv)"},
    {"TxtValuesAsOf", " as of %1", " %1 读取"},
    // Daily use: what was written, restored, compared and answered, in plain words.
    {"TxtWriteNeedsSettings",
     "Nothing to write yet: the window holds no settings from the device. Read Setting, load a profile or restore a backup first.",
     "尚无可写入的配置：窗口中没有来自设备的配置。请先读取配置、导入配置文件或恢复备份。"},
    {"TxtAreaWholeImage", "the whole configuration", "整个配置"},
    {"TxtAreaPhone", "Phone number %1", "电话号码%1"},
    {"TxtAreaRelay", "DO%1 settings", "继电器%1设置"},
    {"TxtAreaTimer", "Timer %1", "定时%1"},
    {"TxtAreaSensorSlot", "Sensor slot %1", "传感器位置%1"},
    {"TxtAreaReserved", "reserved bytes of page %1", "第%1页的保留字节"},
    {"TxtRestoreTitle", "Restore Backup", "恢复备份"},
    {"TxtDiffDeviceNow", "Device now", "设备当前"},
    {"TxtDiffBackup", "Backup", "备份"},
    {"MsgRestoreAsk",
     "Write the backup of %1 to the device? These fields would change (what the device holds now, what the backup holds):",
     "将%1的备份写入设备？以下项目将改变（设备当前的值，备份中的值）："},
    {"MsgRestoreNothing", "The backup of %1 holds what the device holds now; nothing needs to be written.",
     "%1的备份与设备当前配置相同，无需写入。"},
    {"MsgWriteStoppedAnswering",
     "The device stopped answering at %1 % of the write; the pages after that were not sent. It may now hold a mix of old and new settings.\n\n"
     "The settings it held before the write are kept as the backup of %2. Once it answers again (check the cable and the power), "
     "use Setting > Restore Backup... to put them back, or write again.",
     "写入进行到%1%时设备停止应答，之后的页未发送。设备中现在可能是新旧混合的配置。\n\n"
     "写入前设备中的配置已保存为%2的备份。设备恢复应答后（请检查连线和电源），"
     "可用“配置 > 恢复备份...”恢复，或重新写入。"},
    {"CliWriteStoppedAnswering",
     "the device stopped answering at %1 % of the write; later pages were not sent; it may hold a mix of old and new settings; "
     "its settings before the write are kept as the backup of %2 (put them back with k80x-cli restore)",
     "写入进行到%1%时设备停止应答，之后的页未发送；设备中可能是新旧混合的配置；"
     "写入前的配置已保存为%2的备份（可用k80x-cli restore恢复）"},
    {"TxtLinkNoAnswer", "No answer", "无应答"},
    {"TxtLastAnswer", "last answer %1", "最后应答%1"},
    {"MsgClockNoAnswer", "The device did not answer: its clock was not read. Check the cable and the power, then try again.",
     "设备无应答：未读取到设备时间。请检查连线和电源后重试。"},
    {"MsgClockSetNoAnswer",
     "The device did not answer: its clock may not have been set. Check the cable and the power, then try again.",
     "设备无应答：设备时间可能未设置。请检查连线和电源后重试。"},
    {"CliClockSetNoAnswer", "the device did not answer; its clock may not have been set", "设备无应答；设备时间可能未设置"},
    {"MsgClockSetNotReadBack", "The clock was set; reading it back failed, so the device's time is not confirmed.",
     "设备时间已设置；回读失败，设备时间未经确认。"},
    {"CliClockSetNotReadBack", "the clock was set; reading it back failed", "设备时间已设置；回读失败"},
    {"MsgClockSetThenRead", "%1 %2", "%1 %2"},
    {"MsgClockSame", "The device's clock reads %1, the same as the PC's.", "设备时间为%1，与电脑时间相同。"},
    {"MsgClockBehind", "The device's clock reads %1, %2 s behind the PC's.", "设备时间为%1，比电脑慢%2秒。"},
    {"MsgClearAllLoses",
     "Every record in the device's history log is erased for good; records not copied to this PC are lost. "
     "Archive first reads the new records into the archive on this PC, then erases.",
     "设备历史记录中的所有记录将被永久清除，未复制到本电脑的记录将丢失。"
     "“先存档再清除”会先把新记录读入本电脑的存档，然后清除。"},
    {"TxtArchiveThenErase", "Archive first, then erase", "先存档再清除"},
    {"TxtEraseWithoutArchive", "Erase without archiving", "不存档直接清除"},
    {"MsgEraseNotArchived",
     "The device's log was not erased: its records could not all be archived on this PC first. The records read are in the grid.",
     "设备日志未清除：未能先把其全部记录存档到本电脑。已读取的记录在表格中。"},
    {"MsgResetLoses",
     "The device goes back to its factory settings: its password, device ID and description, phone numbers and their alarms, "
     "relay and sensor channels, timers and GPRS settings are all replaced. "
     "Keep a backup first reads its settings and keeps them, so that Restore Backup can put them back.",
     "设备将恢复出厂配置：密码、设备ID和描述、电话号码及其报警、继电器和传感器通道、定时和GPRS配置都将被替换。"
     "“先备份再恢复”会先读取并保存设备配置，之后可用“恢复备份”找回。"},
    {"TxtBackupThenReset", "Keep a backup first, then reset", "先备份再恢复出厂"},
    {"TxtResetAnyway", "Reset without a backup", "不备份直接恢复出厂"},
    {"MsgResetBackupFailed", "The backup could not be kept (%1); the device was not reset.",
     "无法保存备份（%1），设备未恢复出厂。"},
    {"MsgProfileSavedTo", "The settings were saved as the profile %1.", "配置已保存为配置文件%1。"},
    {"MsgProfileLoadedFrom", "The profile %1 was loaded; the device still holds its own settings until you write.",
     "已载入配置文件%1；写入之前设备中仍是原来的配置。"},
    {"MsgCsvExportedTo", "%1 records were written to %2.", "%1条记录已写入%2。"},
    {"TxtWriteToDevice", "Write to the device", "写入设备"},
    {"TxtLoadIntoWindow", "Load into the window", "载入窗口"},
    {"TxtBackupWouldChange", "Restoring it would change: %1", "恢复后将改变：%1"},
    {"TxtBackupChangesNothing", "Restoring it would change nothing.", "恢复后不会改变任何项目。"},
    {"TxtRecordsReadSoFar", "%1 records read", "已读取%1条记录"},
    {"LoginConnecting", "Connecting to %1… %2 s", "正在连接%1…%2秒"},
    {"LoginOpenFailedNext",
     "The port %1 could not be opened. If another program uses it (a terminal, another copy of this tool), close that "
     "program; otherwise check that the cable is plugged in and that %1 is the logger's port.",
     "无法打开串口%1。如果其他程序（终端、本工具的另一个副本）正在使用它，请关闭该程序；否则请检查连线是否插好、%1是否是记录仪的串口。"},
    {"LoginRefusedNext", "The device on %1 refused the password. Check the password (four digits) and try again.",
     "%1上的设备拒绝了密码。请检查密码（四位数字）后重试。"},
    {"LoginBadReplyNext",
     "What came back on %1 is no answer of a K801/K802/K803. Check that %1 is the logger's port and try again.",
     "%1上收到的不是K801/K802/K803的应答。请检查%1是否是记录仪的串口后重试。"},
    {"LoginNoAnswerNext",
     "The device on %1 does not answer. Check the cable and the device's power, and that %1 is the logger's port.",
     "%1上的设备无应答。请检查连线和设备电源，以及%1是否是记录仪的串口。"},
    {"LoginLineLostNext", "The connection through %1 was lost. Check the cable or the network, then try again.",
     "经%1的连接已断开。请检查连线或网络后重试。"},
    {"MsgClockAhead", "The device's clock reads %1, %2 s ahead of the PC's.", "设备时间为%1，比电脑快%2秒。"},
    // The device card: when the settings were last read (%1 the PC's time).
    {"TxtSettingsReadAt", "Settings read %1", "配置于%1读取"},
    {"TxtSettingsNotReadYet", "Settings not read yet", "配置未读取"},
    // The archive window's fleet list and its chart of one channel of several devices.
    {"TxtFleetLastDownload", "Last Download", "最后下载"},
    {"TxtFleetLastValues", "Last Values", "最后数值"},
    {"TxtFleetLimits", "Limits", "限值"},
    {"TxtFleetWithinLimits", "within limits", "未超限"},
    {"TxtFleetLimitsCrossed", "limits crossed (%1 readings)", "超限（%1个读数）"},
    {"TxtFleetLimitsUnknown", "limits unknown", "限值未知"},
    {"TxtFleetChannel", "Channel:", "通道："},
    {"TxtFleetOverlay", "Overlay", "叠加对比"},
    {"TxtFleetOverlayTitle", "%1 of %2 devices", "%2台设备的%1"},
    {"TxtFleetOverlayCut", "%1 of %2 devices (the latest %3 records of each)", "%2台设备的%1（每台最近%3条记录）"},
    {"TxtFleetOverlayPick", "Select the devices to compare in the list (Ctrl or Shift adds to the selection).",
     "请在列表中选择要对比的设备（按住Ctrl或Shift可多选）。"},
    {"TxtFleetTime", "Time", "时间"},
};

struct TThresholdTexts {
    const char *lowEnglish;
    const char *highEnglish;
    const char *lowChinese;
    const char *highChinese;
};

const TThresholdTexts kThresholdTempHum = {
    "Threshold Low(Temp range:-40~80℃; Hum range:0~100RH%)",
    "Threshold High(Temp range:-40~80℃; Hum range:0~100RH%)",
    "低限值(温度范围:-40~80℃；湿度范围0~100RH%)",
    "高限值(温度范围:-40~80℃；湿度范围0~100RH%)",
};

const TThresholdTexts kThresholdTempOnly = {
    "Threshold Low(Temp range:-55~125℃)",
    "Threshold High(Temp range:-55~125℃)",
    "低限值(温度范围:-55~125℃)",
    "高限值(温度范围:-55~125℃)",
};

const char kCaptionEnglish[] = "K801/2/3 Temperature Humidity Data Logger Configurator  ";
const char kCaptionChinese[] = "K801/2/3 温湿度配置软件  ";

const char *const kGprsEnglish[] = {"0.Disable", "1.Modbus RTU Protocol", "2.Definition Protocol"};
const char *const kGprsChinese[] = {"0.禁用", "1.Modbus RTU协议", "2.自定义协议"};

bool IsLanguage(int language)
{
    return language == Chinese || language == English;
}

const char *Pick(const TLangText &text, int language)
{
    return language == English ? text.english : text.chinese;
}

// Both text tables by key; built on first use.
const QHash<QString, const TLangText *> &TextIndex()
{
    static const QHash<QString, const TLangText *> index = [] {
        QHash<QString, const TLangText *> built;
        for (const TLangText &text : kTexts)
            built.insert(QString::fromLatin1(text.key), &text);
        for (const TLangText &text : kPointOfUseTexts)
            built.insert(QString::fromLatin1(text.key), &text);
        return built;
    }();
    return index;
}

QStringList TextsOf(std::initializer_list<const char *> keys, int language)
{
    QStringList texts;
    if (!IsLanguage(language))
        return texts;
    for (const char *key : keys)
        texts << Text(QString::fromLatin1(key), language);
    return texts;
}

// Row captions or value headers of the sensor channels of one model: 0 and 1
// alternate temperature and humidity (4 or 8 pairs), 2 has 8 temperatures.
QStringList ChannelTexts(int modelIndex, const QString &temperature, const QString &humidity)
{
    QStringList texts;
    if (modelIndex == 0 || modelIndex == 1) {
        const int pairs = modelIndex == 0 ? 4 : 8;
        for (int channel = 1; channel <= pairs; ++channel)
            texts << temperature + QString::number(channel) << humidity + QString::number(channel);
    } else if (modelIndex == 2) {
        for (int channel = 1; channel <= 8; ++channel)
            texts << temperature + QString::number(channel);
    }
    return texts;
}

} // namespace

std::optional<QString> TLangTarget::Text(int language) const
{
    if (!IsLanguage(language))
        return std::nullopt;
    const char *text = language == English ? english : chinese;
    if (text == nullptr)
        return std::nullopt;
    return QString::fromUtf8(text);
}

const std::vector<TLangTarget> &Targets()
{
    return kTargets;
}

const TLangTarget *FindTarget(const QString &control, TargetKind kind, int index)
{
    for (const TLangTarget &target : kTargets) {
        if (target.kind == kind && target.index == index && control == QLatin1String(target.control))
            return &target;
    }
    return nullptr;
}

QString CaptionControl(const QString &control)
{
    static const struct
    {
        const char *Control;
        const char *NamedBy;
    } namedBy[] = {
        {"chk_PwrOffTime", "lbledt_PwrOffTime"},
        {"chk_SaveRecordInterSec", "lbledt_SaveRecordInterSec"},
        {"chk_SmsReportInterMin", "lbledt_SmsReportInterMin"},
        {"dtp_RePortTime", "chk_ReportTime"},
        {"cbb_GPRSCommunication_Proctocol", "lbl_GPRSCommunication_Proctocol"},
        {"cbb_GPRS_TcpUdp", "lbl_GPRS_Proctocol"},
    };
    for (const auto &pair : namedBy) {
        if (control == QLatin1String(pair.Control))
            return QString::fromLatin1(pair.NamedBy);
    }
    return control;
}

const std::vector<TLangText> &Texts()
{
    return kTexts;
}

const std::vector<TLangText> &PointOfUseTexts()
{
    return kPointOfUseTexts;
}

QString Text(const char *key, int language)
{
    return Text(QString::fromLatin1(key), language);
}

QString Text(const QString &key, int language)
{
    if (!IsLanguage(language))
        return QString();
    const TLangText *text = TextIndex().value(key, nullptr);
    return text ? QString::fromUtf8(Pick(*text, language)) : QString();
}

std::optional<QString> ThresholdText(bool high, int modelIndex, int language)
{
    if (!IsLanguage(language))
        return std::nullopt;
    const TThresholdTexts *texts = nullptr;
    if (modelIndex == 0 || modelIndex == 1)
        texts = &kThresholdTempHum;
    else if (modelIndex == 2)
        texts = &kThresholdTempOnly;
    else
        return std::nullopt;
    if (language == English)
        return QString::fromUtf8(high ? texts->highEnglish : texts->lowEnglish);
    return QString::fromUtf8(high ? texts->highChinese : texts->lowChinese);
}

QString WindowCaption(int language, const QString &versionText)
{
    if (!IsLanguage(language))
        return QString();
    return QString::fromUtf8(language == English ? kCaptionEnglish : kCaptionChinese) + versionText;
}

QStringList GprsProtocolItems(int language)
{
    QStringList items;
    if (!IsLanguage(language))
        return items;
    for (const char *item : language == English ? kGprsEnglish : kGprsChinese)
        items << QString::fromUtf8(item);
    return items;
}

QString ThRowCaption(bool humidity, int channelNumber, int language)
{
    if (!IsLanguage(language))
        return QString();
    return Text(humidity ? QStringLiteral("TxtHumidity") : QStringLiteral("TxtTemperature"), language)
           + QString::number(channelNumber);
}

QStringList ThRowCaptions(int modelIndex, int language)
{
    if (!IsLanguage(language))
        return QStringList();
    return ChannelTexts(modelIndex, Text(QStringLiteral("TxtTemperature"), language),
                        Text(QStringLiteral("TxtHumidity"), language));
}

QStringList HistoryValueHeaders(int modelIndex, int language)
{
    if (!IsLanguage(language))
        return QStringList();
    if (language == English)
        return ChannelTexts(modelIndex, QStringLiteral("Temp"), QStringLiteral("Hum"));
    return ChannelTexts(modelIndex, QStringLiteral("温度"), QStringLiteral("湿度"));
}

QStringList TimerActionTexts(int language)
{
    return TextsOf({"TxtAction0", "TxtAction1", "TxtAction2", "TxtAction3", "TxtAction4", "TxtAction5",
                    "TxtAction6", "TxtAction7", "TxtAction8", "TxtAction9", "TxtAction10"},
                   language);
}

QStringList TimerWeekTexts(int language)
{
    return TextsOf({"TxtDay0", "TxtDay1", "TxtDay2", "TxtDay3", "TxtDay4", "TxtDay5", "TxtDay6",
                    "TxtEveryday"},
                   language);
}

} // namespace ConstLang
