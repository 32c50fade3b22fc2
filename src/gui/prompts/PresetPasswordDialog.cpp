#include "PresetPasswordDialog.h"

#include "ui_PresetPasswordDialog.h"

PresetPasswordDialog::PresetPasswordDialog(bool requirePasswordToChangePassword, Completion completion)
    : m_ui(std::make_unique<Ui::PresetPasswordDialog>())
    , m_completion(std::move(completion))
{
    m_ui->setupUi(this);
    connectButtons(m_ui->buttonBox);
    m_ui->requirePasswordCheckBox->setChecked(requirePasswordToChangePassword);
    m_ui->passwordTextField->setFocus();
}

PresetPasswordDialog::~PresetPasswordDialog() = default;

bool PresetPasswordDialog::passesChecks()
{
    return checkPasswords(m_ui->passwordTextField, m_ui->confirmTextField);
}

void PresetPasswordDialog::completeWithOK()
{
    if (m_completion)
        m_completion(false, m_ui->requirePasswordCheckBox->isChecked(), m_ui->passwordTextField->text());
}

void PresetPasswordDialog::completeWithCancel()
{
    if (m_completion)
        m_completion(true, m_ui->requirePasswordCheckBox->isChecked(), QString());
}
