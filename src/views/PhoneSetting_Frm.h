#pragma once

#include "views/ViewContext_Unt.h"

#include <QDialog>

class QPushButton;
class TLabeledEdit;
class TSkinCheckBox;

// Modal editor of one lvTel row: the number (at most 20 characters, any
// characters) and the nine event flags; ALL ticks or unticks them together.
// The row is written only on OK.
class TFormPhoneSetting : public QDialog
{
    Q_OBJECT
public:
    static constexpr int NumberMaxLength = 20;

    TFormPhoneSetting(QTreeWidget *lvTel, int rowIndex, QWidget *parent = nullptr);

    TLabeledEdit *lbledt_TelNumber = nullptr;
    // The nine flags in the order of sub-items 1-9.
    TSkinCheckBox *chk_Dial = nullptr;
    TSkinCheckBox *chk_TimeRePort = nullptr;
    TSkinCheckBox *chk_SMSFunction = nullptr;
    TSkinCheckBox *chk_Alam = nullptr;
    TSkinCheckBox *chk_AlamReco = nullptr;
    TSkinCheckBox *chk_ExtendPower = nullptr;
    TSkinCheckBox *chk_GPRS = nullptr;
    TSkinCheckBox *chk_GSMSignal = nullptr;
    TSkinCheckBox *chk_Realy = nullptr;
    TSkinCheckBox *chk_TelAll = nullptr;
    QPushButton *btn_Phone_OK = nullptr;
    QPushButton *btn_Phone_NO = nullptr;

    // Every themed box of the dialog takes the state of ALL.
    void chk_TelAllClick();
    void btn_Phone_OKClick();
    void btn_Phone_NOClick();

private:
    void FormShow();
    void LoadPhoneEditor();
    void SavePhoneEditor();
    QList<TSkinCheckBox *> FlagBoxes() const;

    TEditedRow m_row;
};
