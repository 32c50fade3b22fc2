#include "NameDialog.h"

#include "NameChoice.h"
#include "ui_NameDialog.h"

using namespace Qt::Literals::StringLiterals;

NameDialog::NameDialog(const QString &savedName, const QString &derivedName, qint32 nameType, Completion completion)
    : m_ui(std::make_unique<Ui::NameDialog>())
    , m_completion(std::move(completion))
{
    m_ui->setupUi(this);
    connectButtons(m_ui->buttonBox);
    m_nameChoice = new NameChoice(m_ui->optionsButton, m_ui->nameTextField, savedName, derivedName, nameType);
    m_ui->nameTextField->setFocus();
}

NameDialog::~NameDialog() = default;

bool NameDialog::passesChecks()
{
    if (m_nameChoice->name().isEmpty())
        return failCheck(u"Please provide a name."_s, u"Name Required"_s, nullptr);
    return true;
}

void NameDialog::completeWithOK()
{
    if (m_completion)
        m_completion(false, m_nameChoice->nameType(), m_nameChoice->name());
}

void NameDialog::completeWithCancel()
{
    if (m_completion)
        m_completion(true, 0, QString());
}
