#pragma once

#include "views/ViewContext_Unt.h"

#include <QDialog>

class QPushButton;
class TLabeledEdit;
class TSkinCheckBox;

// Modal editor of one lvDo row. It loads the row when it is created, shows the
// texts of the current language, and writes the row back only on OK.
class TFormDoSetting : public QDialog
{
    Q_OBJECT
public:
    TFormDoSetting(QTreeWidget *lvDo, int rowIndex, QWidget *parent = nullptr);

    TLabeledEdit *lbledt_DO_ChannleName = nullptr;
    TLabeledEdit *lbledt_DO_CloseTime = nullptr;
    TLabeledEdit *lbledt_DO_OpenDes = nullptr;
    TLabeledEdit *lbledt_DO_CloseDes = nullptr;
    TSkinCheckBox *chk_Enable_RecoveryAlert = nullptr;
    QPushButton *btn_DO_Default = nullptr;
    QPushButton *btn_OK = nullptr;
    QPushButton *btn_NO = nullptr;

    // Fills the fields with the defaults of this relay; the row changes only on OK.
    void btn_DO_DefaultClick();
    void btn_OKClick();
    void btn_NOClick();

private:
    void FormShow();
    void LoadDoEditor();
    void SaveDoEditor();
    // "DOUT" or "继电器" followed by the row number.
    QString DefaultName() const;

    TEditedRow m_row;
};
