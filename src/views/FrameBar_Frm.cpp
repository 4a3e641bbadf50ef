#include "views/FrameBar_Frm.h"

#include "views/ViewContext_Unt.h"

#include <QFontMetrics>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

// Pages of the settings: PageControl 1 holds PageControlMain, whose page 1
// holds PageControl_DIDOTH; PageControl 2 is the history.
constexpr TPageSelection kBasicPages{1, 0, -1};
constexpr TPageSelection kDoPages{1, 1, 0};
constexpr TPageSelection kThPages{1, 1, 1};
constexpr TPageSelection kPhonePages{1, 2, -1};
constexpr TPageSelection kTimerPages{1, 3, -1};
constexpr TPageSelection kGprsPages{1, 4, -1};
constexpr TPageSelection kHistoryPages{2, -1, -1};

void Select(QTabWidget *pages, int index)
{
    if (pages != nullptr && index >= 0)
        pages->setCurrentIndex(index);
}

} // namespace

TNavigationFrame::TNavigationFrame(QWidget *parent) : QFrame(parent)
{
    setFrameShape(QFrame::NoFrame);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
}

namespace {
constexpr char kTextKey[] = "textKey";
} // namespace

QPushButton *TNavigationFrame::AddButton(const char *name, const char *textKey, const QString &caption,
                                         std::function<void()> onClick)
{
    auto *button = new QPushButton(caption, this);
    button->setObjectName(QString::fromLatin1(name));
    if (textKey != nullptr)
        button->setProperty(kTextKey, QString::fromLatin1(textKey));
    button->setMinimumHeight(40);
    static_cast<QVBoxLayout *>(layout())->addWidget(button);
    connect(button, &QPushButton::clicked, this, std::move(onClick));
    return button;
}

void TNavigationFrame::Retranslate(int language)
{
    for (QPushButton *button : findChildren<QPushButton *>()) {
        const QString key = button->property(kTextKey).toString();
        if (!key.isEmpty())
            button->setText(ConstLang::Text(key, language));
    }
}

void TFrameBar::Retranslate(int language)
{
    if (!m_frame.isNull())
        m_frame->Retranslate(language);
    // The bar grows so that no section title is cut short.
    const QFontMetrics metrics(font());
    int widest = 0;
    for (int section = 0; section < count(); ++section)
        widest = qMax(widest, metrics.horizontalAdvance(itemText(section)));
    setFixedWidth(qMax(Width, widest + TitleMargin));
}

TFormBasice::TFormBasice(const TMainSheets &sheets, QWidget *parent) : TNavigationFrame(parent)
{
    setObjectName(QStringLiteral("FormBasice"));
    btn_Basic = AddButton("btn_Basic", "TxtFrameBasic", ViewContext::Text("TxtFrameBasic"),
                          [sheets] { TFrameBar::SelectPages(sheets, kBasicPages); });
}

TFormDIDOTH::TFormDIDOTH(const TMainSheets &sheets, QWidget *parent) : TNavigationFrame(parent)
{
    setObjectName(QStringLiteral("FormDIDOTH"));
    btn_DO = AddButton("btn_DO", nullptr, QStringLiteral("DO"), [sheets] { TFrameBar::SelectPages(sheets, kDoPages); });
    btn_TH = AddButton("btn_TH", nullptr, QStringLiteral("TH"), [sheets] { TFrameBar::SelectPages(sheets, kThPages); });
}

TFormPhoneMrg::TFormPhoneMrg(const TMainSheets &sheets, QWidget *parent) : TNavigationFrame(parent)
{
    setObjectName(QStringLiteral("FormPhoneMrg"));
    btn_Phone = AddButton("btn_Phone", "TxtFramePhone", ViewContext::Text("TxtFramePhone"),
                          [sheets] { TFrameBar::SelectPages(sheets, kPhonePages); });
}

TFormTimeDebug::TFormTimeDebug(const TMainSheets &sheets, QWidget *parent) : TNavigationFrame(parent)
{
    setObjectName(QStringLiteral("FormTimeDebug"));
    btn_Time = AddButton("btn_Time", "TxtFrameTimer", ViewContext::Text("TxtFrameTimer"),
                         [sheets] { TFrameBar::SelectPages(sheets, kTimerPages); });
}

TFormSMSMode::TFormSMSMode(const TMainSheets &sheets, QWidget *parent) : TNavigationFrame(parent)
{
    setObjectName(QStringLiteral("FormSMSMode"));
    btn_GPRS = AddButton("btn_GPRS", nullptr, QStringLiteral("GPRS"),
                         [sheets] { TFrameBar::SelectPages(sheets, kGprsPages); });
}

TFormHistory::TFormHistory(const TMainSheets &sheets, QWidget *parent) : TNavigationFrame(parent)
{
    setObjectName(QStringLiteral("FormHistory"));
    btn_History = AddButton("btn_History", "TxtFrameHistory", ViewContext::Text("TxtFrameHistory"),
                            [sheets] { TFrameBar::SelectPages(sheets, kHistoryPages); });
}

TFrameBar::TFrameBar(const TMainSheets &sheets, QWidget *parent) : QToolBox(parent), m_sheets(sheets)
{
    setObjectName(QStringLiteral("FrameBar"));
    setFixedWidth(Width);
    for (int section = 0; section < SectionCount; ++section) {
        auto *holder = new QWidget(this);
        auto *layout = new QVBoxLayout(holder);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addStretch();
        addItem(holder, ViewContext::TargetText("FrameBar", ConstLang::TargetKind::Section, section,
                                                ConstLang::English));
    }
    connect(this, &QToolBox::currentChanged, this, &TFrameBar::SectionOpened);
    SectionOpened(currentIndex());
}

void TFrameBar::SelectPages(const TMainSheets &sheets, TPageSelection selection)
{
    Select(sheets.PageControl, selection.page);
    Select(sheets.PageControlMain, selection.mainPage);
    Select(sheets.PageControl_DIDOTH, selection.didothPage);
}

TPageSelection TFrameBar::SectionPages(int section)
{
    switch (section) {
    case 0: return kBasicPages;
    case 1: return kDoPages;
    case 2: return kPhonePages;
    case 3: return kTimerPages;
    case 4: return kGprsPages;
    case 5: return kHistoryPages;
    default: return TPageSelection{};
    }
}

void TFrameBar::SectionOpened(int section)
{
    switch (section) {
    case 0: FrameBarItems0CreateFrame(); break;
    case 1: FrameBarItems5CreateFrame(); break;
    case 2: FrameBarItems2CreateFrame(); break;
    case 3: FrameBarItems7CreateFrame(); break;
    case 4: FrameBarItems4CreateFrame(); break;
    case 5: FrameBarItems8CreateFrame(); break;
    default: break;
    }
}

void TFrameBar::ShowFrame(int section, TNavigationFrame *frame)
{
    if (!m_frame.isNull())
        m_frame->deleteLater();
    m_frame = frame;
    auto *holder = widget(section);
    static_cast<QVBoxLayout *>(holder->layout())->insertWidget(0, frame);
}

void TFrameBar::FrameBarItems0CreateFrame()
{
    SelectPages(m_sheets, SectionPages(0));
    ShowFrame(0, new TFormBasice(m_sheets, widget(0)));
}

void TFrameBar::FrameBarItems5CreateFrame()
{
    SelectPages(m_sheets, SectionPages(1));
    ShowFrame(1, new TFormDIDOTH(m_sheets, widget(1)));
}

void TFrameBar::FrameBarItems2CreateFrame()
{
    SelectPages(m_sheets, SectionPages(2));
    ShowFrame(2, new TFormPhoneMrg(m_sheets, widget(2)));
}

void TFrameBar::FrameBarItems7CreateFrame()
{
    SelectPages(m_sheets, SectionPages(3));
    ShowFrame(3, new TFormTimeDebug(m_sheets, widget(3)));
}

void TFrameBar::FrameBarItems4CreateFrame()
{
    SelectPages(m_sheets, SectionPages(4));
    ShowFrame(4, new TFormSMSMode(m_sheets, widget(4)));
}

void TFrameBar::FrameBarItems8CreateFrame()
{
    SelectPages(m_sheets, SectionPages(5));
    ShowFrame(5, new TFormHistory(m_sheets, widget(5)));
}
