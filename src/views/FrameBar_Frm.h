#pragma once

#include "views/MainSheets.h"

#include <QFrame>
#include <QPointer>
#include <QToolBox>

#include <functional>

class QPushButton;

// A frame window shown under an open section of the navigation bar: no
// border, one or two buttons that select settings pages. Language-dependent
// button captions are taken when the frame is created and follow Retranslate.
class TNavigationFrame : public QFrame
{
    Q_OBJECT
public:
    explicit TNavigationFrame(QWidget *parent = nullptr);

    // Writes the captions of the buttons that have a text key in language.
    void Retranslate(int language);

protected:
    // textKey: the module-wide text of the caption, or nullptr for a caption
    // that is the same in every language.
    QPushButton *AddButton(const char *name, const char *textKey, const QString &caption,
                           std::function<void()> onClick);
};

// Pages selected by index: PageControl first, then PageControlMain, then
// PageControl_DIDOTH; -1 leaves a page control as it is.
struct TPageSelection {
    int page = -1;
    int mainPage = -1;
    int didothPage = -1;
};

class TFormBasice : public TNavigationFrame
{
    Q_OBJECT
public:
    TFormBasice(const TMainSheets &sheets, QWidget *parent = nullptr);
    QPushButton *btn_Basic = nullptr;
};

class TFormDIDOTH : public TNavigationFrame
{
    Q_OBJECT
public:
    TFormDIDOTH(const TMainSheets &sheets, QWidget *parent = nullptr);
    QPushButton *btn_DO = nullptr;
    QPushButton *btn_TH = nullptr;
};

class TFormPhoneMrg : public TNavigationFrame
{
    Q_OBJECT
public:
    TFormPhoneMrg(const TMainSheets &sheets, QWidget *parent = nullptr);
    QPushButton *btn_Phone = nullptr;
};

class TFormTimeDebug : public TNavigationFrame
{
    Q_OBJECT
public:
    TFormTimeDebug(const TMainSheets &sheets, QWidget *parent = nullptr);
    QPushButton *btn_Time = nullptr;
};

class TFormSMSMode : public TNavigationFrame
{
    Q_OBJECT
public:
    TFormSMSMode(const TMainSheets &sheets, QWidget *parent = nullptr);
    QPushButton *btn_GPRS = nullptr;
};

class TFormHistory : public TNavigationFrame
{
    Q_OBJECT
public:
    TFormHistory(const TMainSheets &sheets, QWidget *parent = nullptr);
    QPushButton *btn_History = nullptr;
};

// The navigation bar along the main window's left edge, objectName
// "FrameBar", 161 pixels wide (wider when a section title needs it): six
// titled sections, one open at a time. Opening a section selects its
// settings page and shows its frame of buttons under the title; the frame of
// the section that closes is released. The open frame's captions follow
// Retranslate.
// Section titles are set by the language switch (setItemText).
class TFrameBar : public QToolBox
{
    Q_OBJECT
public:
    static constexpr int SectionCount = 6;
    static constexpr int Width = 161;
    // Room beside a section title for the section tab's slanted edge.
    static constexpr int TitleMargin = 56;

    explicit TFrameBar(const TMainSheets &sheets, QWidget *parent = nullptr);

    // Selects the pages in order, outer page control first.
    static void SelectPages(const TMainSheets &sheets, TPageSelection selection);
    // The pages section opens.
    static TPageSelection SectionPages(int section);

    // The frame of the open section.
    TNavigationFrame *CurrentFrame() const { return m_frame; }
    // The open frame's captions in language (section titles come from the
    // language table).
    void Retranslate(int language);

    void FrameBarItems0CreateFrame();
    void FrameBarItems5CreateFrame();
    void FrameBarItems2CreateFrame();
    void FrameBarItems7CreateFrame();
    void FrameBarItems4CreateFrame();
    void FrameBarItems8CreateFrame();

private:
    void SectionOpened(int section);
    void ShowFrame(int section, TNavigationFrame *frame);

    TMainSheets m_sheets;
    QPointer<TNavigationFrame> m_frame;
};
