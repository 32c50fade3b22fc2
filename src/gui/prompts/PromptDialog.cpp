#include "PromptDialog.h"

#include "core/pipeline/Zipper.h"

#include "core/support/Utilities.h"
#include "gui/support/Alerts.h"
#include "gui/support/UtilitiesWindows.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScreen>

using namespace Qt::Literals::StringLiterals;

PromptDialog::PromptDialog(QWidget *parent)
    : QDialog(parent)
{
}

void PromptDialog::connectButtons(QDialogButtonBox *buttons)
{
    // The buttons report to the prompt, which decides whether it closes. OK's checks may ask
    // questions of their own: they come once the button has finished with its click.
    disconnect(buttons, nullptr, this, nullptr);
    connect(buttons, &QDialogButtonBox::accepted, this, &PromptDialog::okButtonPressed, Qt::QueuedConnection);
    connect(buttons, &QDialogButtonBox::rejected, this, &PromptDialog::cancelButtonPressed);
}

void PromptDialog::runModal()
{
    if (UtilitiesWindows::isNonInteractive()) {
        cancelButtonPressed();
        return;
    }
    adjustSize();
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(Utilities::centeredRect(QRectF(frameGeometry()), QRectF(screen->availableGeometry())).topLeft().toPoint());
    exec();
}

void PromptDialog::dismiss()
{
    m_answered = true;
    done(QDialog::Accepted);
}

void PromptDialog::okButtonPressed()
{
    // Answered once: a second press queued behind the first, or a close while a check asked
    // its question, leaves the answer as it is.
    if (m_answered || !passesChecks() || m_answered)
        return;
    dismiss();
    completeWithOK();
}

void PromptDialog::cancelButtonPressed()
{
    if (m_answered)
        return;
    dismiss();
    completeWithCancel();
}

bool PromptDialog::failCheck(const QString &message, const QString &title, QLineEdit *fieldToSelect)
{
    Alerts::displayMessage(message, title);
    if (fieldToSelect != nullptr) {
        fieldToSelect->setFocus();
        fieldToSelect->selectAll();
    }
    return false;
}

bool PromptDialog::checkPasswords(QLineEdit *password, QLineEdit *confirmation)
{
    if (password->text().isEmpty())
        return failCheck(u"Please provide a password."_s, u"Password Required"_s, password);
    if (confirmation->text().isEmpty())
        return failCheck(u"Please confirm your password."_s, u"Confirmation Required"_s, confirmation);
    if (password->text() != confirmation->text())
        return failCheck(u"The passwords do not match.  Please re-type them to ensure they are the same."_s,
            u"Passwords Not Matched"_s, password);
    if (const QString problem = Zipper::passwordProblem(password->text()); !problem.isNull())
        return failCheck(problem, u"Password Too Long"_s, password);
    return true;
}

void PromptDialog::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        QMetaObject::invokeMethod(this, &PromptDialog::okButtonPressed, Qt::QueuedConnection);
        break;
    case Qt::Key_Escape:
        cancelButtonPressed();
        break;
    default:
        QDialog::keyPressEvent(event);
    }
}

void PromptDialog::reject()
{
    // Closing the window counts as Cancel, once.
    if (!m_answered)
        cancelButtonPressed();
}

void PromptDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    raise();
    activateWindow();
}
