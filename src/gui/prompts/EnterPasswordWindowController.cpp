#include "EnterPasswordWindowController.h"

#include "ui_EnterPasswordWindowController.h"

using namespace Qt::Literals::StringLiterals;

EnterPasswordWindowController::EnterPasswordWindowController(
    const QString &password, const QString &prompt, Completion completion)
    : m_ui(std::make_unique<Ui::EnterPasswordWindowController>())
    , m_password(password)
    , m_completion(std::move(completion))
{
    m_ui->setupUi(this);
    connectButtons(m_ui->buttonBox);
    m_ui->promptTextField->setText(prompt);
    m_ui->passwordTextField->setFocus();
}

EnterPasswordWindowController::~EnterPasswordWindowController() = default;

bool EnterPasswordWindowController::passesChecks()
{
    if (m_ui->passwordTextField->text() != m_password)
        return failCheck(u"The Password you entered is incorrect."_s, u"Password Mismatch"_s, m_ui->passwordTextField);
    return true;
}

void EnterPasswordWindowController::completeWithOK()
{
    if (m_completion)
        m_completion(true);
}

void EnterPasswordWindowController::completeWithCancel()
{
    if (m_completion)
        m_completion(false);
}
