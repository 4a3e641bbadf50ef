#include "dialogs/Questions_Frm.h"

#include "dialogs/MessageBox_Frm.h"

#include "base/Const_Unt.h"
#include "base/Funs_Unt.h"
#include "base/GbkText_Unt.h"
#include "platform/Platform_Unt.h"
#include "lang/ConstLang_Unt.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include <cstdio>

namespace {

QString CurrentTitle(QWidget *parent)
{
    QWidget *window = parent ? parent->window() : QApplication::activeWindow();
    return window ? window->windowTitle() : ApplicationTitle(1);
}

} // namespace

bool NoticeMissingGbkConversion(QWidget *parent, int language)
{
    if (TGbkText::Available())
        return false;
    std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()),
                 qPrintable(TGbkText::NoConversionReason()));
    ShowErrorBox(parent, ConstLang::Text(QStringLiteral("MsgNoGbkConversion"), language));
    return true;
}

int LocaleLanguage()
{
    return UserLocaleIsChinesePRC() ? 0 : 1;
}

QString ApplicationTitle(int language)
{
    return QString::fromUtf8(language == 0 ? Const::TitleChinese : Const::TitleEnglish)
        + ProgramVersionText();
}

void ShowErrorBox(QWidget *parent, const QString &text)
{
    auto *box = new QMessageBox(QMessageBox::Critical, CurrentTitle(parent), text,
                                QMessageBox::Ok, parent);
    box->setObjectName(QStringLiteral("ErrorBox"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    FitTextToScreen(box);
    box->open();
}

void AskWithSafeStep(QWidget *parent, const QString &text, const QString &safeText, std::function<void()> onSafe,
                     const QString &proceedText, std::function<void()> onProceed)
{
    auto *box = new QMessageBox(QMessageBox::Warning, CurrentTitle(parent), text, QMessageBox::Cancel, parent);
    box->setObjectName(QStringLiteral("QuestionBox"));
    QPushButton *safe = box->addButton(safeText, QMessageBox::AcceptRole);
    safe->setObjectName(QStringLiteral("btn_SafeStep"));
    QPushButton *proceed = box->addButton(proceedText, QMessageBox::DestructiveRole);
    proceed->setObjectName(QStringLiteral("btn_Proceed"));
    box->setDefaultButton(QMessageBox::Cancel);
    box->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(box, &QMessageBox::finished, box,
                     [box, safe, proceed, onSafe = std::move(onSafe), onProceed = std::move(onProceed)](int) {
                         if (box->clickedButton() == safe && onSafe)
                             onSafe();
                         else if (box->clickedButton() == proceed && onProceed)
                             onProceed();
                     });
    box->open();
}

void AskQuestion(QWidget *parent, const QString &text, std::function<void()> onYes)
{
    auto *box = new QMessageBox(QMessageBox::Question, CurrentTitle(parent), text,
                                QMessageBox::Yes | QMessageBox::No, parent);
    box->setObjectName(QStringLiteral("QuestionBox"));
    box->setDefaultButton(QMessageBox::No);
    box->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(box, &QMessageBox::finished, box, [box, onYes = std::move(onYes)](int) {
        if (box->clickedButton() == box->button(QMessageBox::Yes) && onYes)
            onYes();
    });
    box->open();
}
