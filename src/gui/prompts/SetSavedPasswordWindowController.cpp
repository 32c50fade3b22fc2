#include "SetSavedPasswordWindowController.h"

#include "ui_SetSavedPasswordWindowController.h"

SetSavedPasswordWindowController::SetSavedPasswordWindowController(
    bool requirePasswordToChangePassword, Completion completion)
    : m_ui(std::make_unique<Ui::SetSavedPasswordWindowController>())
    , m_completion(std::move(completion))
{
    m_ui->setupUi(this);
    connectButtons(m_ui->buttonBox);
    m_ui->requirePasswordCheckBox->setChecked(requirePasswordToChangePassword);
    m_ui->passwordTextField->setFocus();
}

SetSavedPasswordWindowController::~SetSavedPasswordWindowController() = default;

bool SetSavedPasswordWindowController::passesChecks()
{
    return checkPasswords(m_ui->passwordTextField, m_ui->confirmTextField);
}

void SetSavedPasswordWindowController::completeWithOK()
{
    if (m_completion)
        m_completion(false, m_ui->requirePasswordCheckBox->isChecked(), m_ui->passwordTextField->text());
}

void SetSavedPasswordWindowController::completeWithCancel()
{
    if (m_completion)
        m_completion(true, m_ui->requirePasswordCheckBox->isChecked(), QString());
}
