#include "AskForPasswordWindowController.h"

#include "ui_AskForPasswordWindowController.h"

AskForPasswordWindowController::AskForPasswordWindowController(Completion completion)
    : m_ui(std::make_unique<Ui::AskForPasswordWindowController>())
    , m_completion(std::move(completion))
{
    m_ui->setupUi(this);
    connectButtons(m_ui->buttonBox);
    m_ui->passwordTextField->setFocus();
}

AskForPasswordWindowController::~AskForPasswordWindowController() = default;

bool AskForPasswordWindowController::passesChecks()
{
    return checkPasswords(m_ui->passwordTextField, m_ui->confirmTextField);
}

void AskForPasswordWindowController::completeWithOK()
{
    if (m_completion)
        m_completion(false, m_ui->passwordTextField->text());
}

void AskForPasswordWindowController::completeWithCancel()
{
    if (m_completion)
        m_completion(true, QString());
}
