#include "NameAndPasswordDialog.h"

#include "NameChoice.h"
#include "core/support/Utilities.h"
#include "gui/support/Alerts.h"
#include "ui_NameAndPasswordDialog.h"

using namespace Qt::Literals::StringLiterals;

NameAndPasswordDialog::NameAndPasswordDialog(const QString &savedName, const QString &derivedName, qint32 nameType,
    ZipEncryption encryption, Completion completion)
    : m_ui(std::make_unique<Ui::NameAndPasswordDialog>())
    , m_completion(std::move(completion))
{
    m_ui->setupUi(this);
    connectButtons(m_ui->buttonBox);
    m_nameChoice = new NameChoice(m_ui->optionsButton, m_ui->nameTextField, savedName, derivedName, nameType);
    m_ui->encryptionChoice->setEncryption(encryption);
    m_ui->encryptionChoice->explainIn(m_ui->encryptionExplanation);
    m_ui->encryptionChoice->followPassword(m_ui->passwordTextField);
    m_ui->nameTextField->setFocus();
}

NameAndPasswordDialog::~NameAndPasswordDialog() = default;

bool NameAndPasswordDialog::passesChecks()
{
    if (m_nameChoice->name().isEmpty())
        return failCheck(u"Please provide a name."_s, u"Name Required"_s, nullptr);
    if (m_ui->passwordTextField->text().isEmpty())
        return Alerts::getConfirmation(u"No Password"_s,
            u"Do you want to create this Tessary Archive with no password?"_s, u"Create with No Password"_s);
    return checkPasswords(m_ui->passwordTextField, m_ui->confirmTextField);
}

void NameAndPasswordDialog::completeWithOK()
{
    const QString password = m_ui->passwordTextField->text();
    if (m_completion)
        m_completion(false, m_nameChoice->nameType(), m_nameChoice->name(), password.isEmpty() ? QString() : password,
            m_ui->encryptionChoice->encryption());
}

void NameAndPasswordDialog::completeWithCancel()
{
    if (m_completion)
        m_completion(true, 0, QString(), QString(), m_ui->encryptionChoice->encryption());
}
