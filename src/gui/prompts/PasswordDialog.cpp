#include "PasswordDialog.h"

#include "ui_PasswordDialog.h"

PasswordDialog::PasswordDialog(ZipEncryption encryption, Completion completion)
    : m_ui(std::make_unique<Ui::PasswordDialog>())
    , m_completion(std::move(completion))
{
    m_ui->setupUi(this);
    connectButtons(m_ui->buttonBox);
    m_ui->encryptionChoice->setEncryption(encryption);
    m_ui->encryptionChoice->explainIn(m_ui->encryptionExplanation);
    m_ui->passwordTextField->setFocus();
}

PasswordDialog::~PasswordDialog() = default;

bool PasswordDialog::passesChecks()
{
    return checkPasswords(m_ui->passwordTextField, m_ui->confirmTextField);
}

void PasswordDialog::completeWithOK()
{
    if (m_completion)
        m_completion(false, m_ui->passwordTextField->text(), m_ui->encryptionChoice->encryption());
}

void PasswordDialog::completeWithCancel()
{
    if (m_completion)
        m_completion(true, QString(), m_ui->encryptionChoice->encryption());
}
