#include "EnterPasswordDialog.h"

#include "ui_EnterPasswordDialog.h"

using namespace Qt::Literals::StringLiterals;

EnterPasswordDialog::EnterPasswordDialog(const QString &password, const QString &prompt, Completion completion)
    : m_ui(std::make_unique<Ui::EnterPasswordDialog>())
    , m_password(password)
    , m_completion(std::move(completion))
{
    m_ui->setupUi(this);
    connectButtons(m_ui->buttonBox);
    m_ui->promptTextField->setText(prompt);
    m_ui->passwordTextField->setFocus();
}

EnterPasswordDialog::~EnterPasswordDialog() = default;

bool EnterPasswordDialog::passesChecks()
{
    if (m_ui->passwordTextField->text() != m_password)
        return failCheck(u"The Password you entered is incorrect."_s, u"Password Mismatch"_s, m_ui->passwordTextField);
    return true;
}

void EnterPasswordDialog::completeWithOK()
{
    if (m_completion)
        m_completion(true);
}

void EnterPasswordDialog::completeWithCancel()
{
    if (m_completion)
        m_completion(false);
}
