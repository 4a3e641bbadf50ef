#pragma once

#include "views/MainSheets.h"

class QGroupBox;
class QObject;
class QPushButton;
class QTreeWidget;
class QWidget;
class TFrameBar;
class TSettingsPanes;
class TSoftDateTime;
class TSoftDiDoTh;
class TSoftInfoMode;
class TSoftTelephone;

// Everything the settings views put into the main window's sheets, with the
// binding objects that serve them. The objects live as long as their owner.
struct TSettingsViews
{
    TSoftDateTime *SoftDateTime = nullptr;
    TSoftDiDoTh *SoftDiDoTh = nullptr;
    TSoftInfoMode *SoftInfoMode = nullptr;
    TSoftTelephone *SoftTelephone = nullptr;
    TSettingsPanes *Panes = nullptr;

    QTreeWidget *lvDo = nullptr;
    QTreeWidget *lvTh = nullptr;
    QTreeWidget *lvTel = nullptr;
    QTreeWidget *lvTimer = nullptr;
    QGroupBox *grp_OpenCloseDO = nullptr;
    QPushButton *btn_DO1_Close = nullptr;
    QPushButton *btn_DO1_Open = nullptr;
    QPushButton *btn_Do2_Close = nullptr;
    QPushButton *btn_Do2_Open = nullptr;
    QGroupBox *grp_Timer_Notice = nullptr;

    // Column widths of lvTel, lvDo and lvTh from their current captions; for
    // the first showing and every resize of the main window.
    void SizeColumns() const;
    // The rows of lvTel, lvTimer and lvDo, once, when the main window is first
    // shown (lvTh waits for the first version reply: SoftDiDoTh->BuildThRows).
    void BuildRows() const;
};

// Creates the panes, list views, pop-up menus and relay buttons inside the
// sheets, and the binding objects (owned by owner). Each list view is the
// first direct child of its sheet, followed by the sheet's group.
TSettingsViews BuildSettingsViews(const TMainSheets &sheets, QObject *owner);

// The navigation bar for these sheets; the caller places it.
TFrameBar *CreateFrameBar(const TMainSheets &sheets, QWidget *parent);
