#pragma once

#include "views/MainSheets.h"

#include <QTabWidget>
#include <QVBoxLayout>
#include <QWidget>

#include <memory>

// The main window's page controls and sheets as the main window hands them to
// the settings views: PageControl (welcome, basic, history), PageControlMain on
// Sheet_Basic, PageControl_DIDOTH on Sheet_DiDoTh.
struct TSheetsFixture
{
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    TMainSheets sheets;

    TSheetsFixture()
    {
        window->setObjectName(QStringLiteral("FormK900"));
        sheets.PageControl = Pages("PageControl", window.get());
        (new QVBoxLayout(window.get()))->addWidget(sheets.PageControl);
        sheets.abSheetVerInfo = Sheet(sheets.PageControl, "abSheetVerInfo");
        sheets.Sheet_Basic = Sheet(sheets.PageControl, "Sheet_Basic");
        sheets.Sheet_History = Sheet(sheets.PageControl, "Sheet_History");
        sheets.PageControlMain = Pages("PageControlMain", sheets.Sheet_Basic);
        sheets.Sheet_Common = Sheet(sheets.PageControlMain, "Sheet_Common");
        sheets.Sheet_DiDoTh = Sheet(sheets.PageControlMain, "Sheet_DiDoTh");
        sheets.Sheet_Telephone = Sheet(sheets.PageControlMain, "Sheet_Telephone");
        sheets.Sheet_DateTime = Sheet(sheets.PageControlMain, "Sheet_DateTime");
        sheets.Sheet_InfoMode = Sheet(sheets.PageControlMain, "Sheet_InfoMode");
        sheets.PageControl_DIDOTH = Pages("PageControl_DIDOTH", sheets.Sheet_DiDoTh);
        sheets.Sheet_DO = Sheet(sheets.PageControl_DIDOTH, "Sheet_DO");
        sheets.Sheet_TH = Sheet(sheets.PageControl_DIDOTH, "Sheet_TH");
    }

private:
    static QTabWidget *Pages(const char *name, QWidget *parent)
    {
        auto *pages = new QTabWidget(parent);
        pages->setObjectName(QString::fromLatin1(name));
        return pages;
    }

    static QWidget *Sheet(QTabWidget *pages, const char *name)
    {
        auto *sheet = new QWidget;
        sheet->setObjectName(QString::fromLatin1(name));
        pages->addTab(sheet, QString::fromLatin1(name));
        return sheet;
    }
};
