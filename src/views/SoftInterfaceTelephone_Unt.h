#pragma once

#include "views/BaseSoftInterface_Unt.h"

#include <QPointer>

class QTreeWidget;

// The ten alarm phone numbers in lvTel: row i is the device's phone entry i,
// captioned two spaces and i + 1; sub-item 0 holds the number, sub-items 1-9
// the event flags (dial, timer report, arm/disarm, alarm, alarm recovery,
// external power, GPRS failure, low signal, relay change) as tick marks.
class TSoftTelephone : public TBaseSoftInterface
{
    Q_OBJECT
public:
    static constexpr int TelColumns = 11;
    static constexpr int TelRows = 10;

    explicit TSoftTelephone(QObject *parent = nullptr);

    // The list view with its columns and pop-up menu pmPhone, as a child of sheet.
    static QTreeWidget *CreateTelView(QWidget *sheet);
    void BindView(QTreeWidget *lvTel);

    // Every column 12 pixels per byte of its caption in code page 936, fixed.
    void SizeTelColumns(QTreeWidget *lvTel) const;
    void BuildTelRows(QTreeWidget *lvTel) const;

public slots:
    void Pop_Phone_SettingClick();
    void lvTelDblClick();
    void Pop_Phone_ClearLineClick();
    void Pop_Phone_ClearClick();

private:
    QPointer<QTreeWidget> m_lvTel;
};
