#pragma once

class QTabWidget;
class QWidget;

// The pages of the main window that the settings views fill. The main window
// creates the page controls and their sheets (each with its objectName) and
// hands them over; the views create their panes and list views inside.
struct TMainSheets
{
    QTabWidget *PageControl = nullptr;        // abSheetVerInfo, Sheet_Basic, Sheet_History
    QTabWidget *PageControlMain = nullptr;    // on Sheet_Basic: Common, DiDoTh, Telephone, DateTime, InfoMode
    QTabWidget *PageControl_DIDOTH = nullptr; // on Sheet_DiDoTh: Sheet_DO, Sheet_TH
    QWidget *abSheetVerInfo = nullptr;
    QWidget *Sheet_Basic = nullptr;
    QWidget *Sheet_Common = nullptr;
    QWidget *Sheet_DiDoTh = nullptr;
    QWidget *Sheet_DO = nullptr;
    QWidget *Sheet_TH = nullptr;
    QWidget *Sheet_Telephone = nullptr;
    QWidget *Sheet_DateTime = nullptr;
    QWidget *Sheet_InfoMode = nullptr;
    QWidget *Sheet_History = nullptr;
};
