#pragma once

#include "views/BaseSoftInterface_Unt.h"

#include <QByteArray>
#include <QPointer>
#include <QStringList>

#include <optional>

class QMenu;
class QTreeWidget;

// Relay (DO) and sensor (TH) channels: the list views lvDo and lvTh, their
// pop-up menus and editors, and the live relay states and sensor values.
//
// lvDo rows: DOUT1, DOUT2; sub-items 0 name, 1 close time (s), 2 current
// state (display only), 3 open description, 4 close description, 5 recovery
// alert (tick).
// lvTh rows by model; sub-items 0 name, 1 current value (display only),
// 2 enabled (tick), 3 alarm verify time (s), 4 high and 5 low threshold,
// 6 high-alarm, 7 low-alarm and 8 recovery SMS texts, 9 recovery alarm (tick),
// 10 and 11 alarm drives relay 1 and 2 (tick).
class TSoftDiDoTh : public TBaseSoftInterface
{
    Q_OBJECT
public:
    static constexpr int DoColumns = 7;
    static constexpr int ThColumns = 13;
    static constexpr int DoStatusSubItem = 2;
    static constexpr int ThValueSubItem = 1;

    explicit TSoftDiDoTh(QObject *parent = nullptr);

    // The list views with their columns and pop-up menus (pmDo, pmTh), as the
    // first children of their sheets.
    static QTreeWidget *CreateDoView(QWidget *sheet);
    static QTreeWidget *CreateThView(QWidget *sheet);
    // Connects the menus and double clicks of both views to the handlers below.
    void BindViews(QTreeWidget *lvDo, QTreeWidget *lvTh);

    // Column widths: column 0 always 120 pixels, the others a factor times the
    // caption's length in code page 936 (see the tables in the source).
    void SizeDoColumns(QTreeWidget *lvDo) const;
    void SizeThColumns(QTreeWidget *lvTh) const;
    // The two relay rows DOUT1 and DOUT2.
    void BuildDoRows(QTreeWidget *lvDo) const;
    // The sensor rows for the model named in the first version reply
    // ("K801" 4 pairs, "K802" 8 pairs of Temperature n / Humidity n, "K803"
    // Temperature1..8, anything else none). Rows are built once per view: a
    // later call for the same model changes nothing; another model's rows
    // replace them.
    void BuildThRows(const QString &modelText, QTreeWidget *lvTh) const;
    // The model index (0 K801, 1 K802, 2 K803) whose rows BuildThRows last
    // built in the view; -1 while it shows none.
    static int ThRowsModel(const QTreeWidget *lvTh);

    // Current-values reply (a whole frame): bit 0 of payload byte 32 is DOUT1,
    // bit 1 DOUT2; the state text in the current language goes to sub-item 2.
    // A frame that fails its check or is too short changes nothing.
    void ShowDoStatus(const QByteArray &frame, QTreeWidget *lvDo) const;
    // Both relays' status cells say the state is not known.
    void ShowDoStatusUnknown(QTreeWidget *lvDo) const;
    // Current-values reply: row i shows the signed 16-bit value, low byte
    // first, at payload offset 2i (models 0 and 1) or 4i (model 2), times 0.1
    // with one decimal, in sub-item 1. Rows beyond the payload and any other
    // model index are left unchanged.
    void ShowThValues(const QByteArray &frame, QTreeWidget *lvTh, int modelIndex) const;

    // The relay status byte of a current-values reply; std::nullopt for a
    // frame that fails its check or is too short.
    static std::optional<quint8> DoStatusBits(const QByteArray &frame);
    // The value texts of a current-values reply, one per channel row of the
    // model, as many as the payload holds; empty for an unknown model.
    static QStringList ThValueTexts(const QByteArray &frame, int modelIndex);
    // Writes the relay state cells shown by ShowDoStatus again in language;
    // cells that were cleared stay empty.
    static void RetranslateDoStatus(QTreeWidget *lvDo, int language);

public slots:
    void Pop_Do_SettingClick();
    void lvDoDblClick();
    void Pop_Do_ReadCurrentValueClick();
    void Pop_Do_ClearLineClick();
    void Pop_Do_ClearClick();
    void Pop_Th_SettingClick();
    void lvThDblClick();
    void Pop_Th_ReadCurrentValueClick();
    void Pop_Th_ClearLineClick();
    void Pop_Th_ClearClick();

signals:
    // The user asked for the relay states or the sensor values; the main
    // window sends the query (when its port is open) with the matching
    // expected reply.
    void readDoStatusRequested();
    void readThValuesRequested();

private:
    QPointer<QTreeWidget> m_lvDo;
    QPointer<QTreeWidget> m_lvTh;
};
