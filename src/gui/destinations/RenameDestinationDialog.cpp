#include "RenameDestinationDialog.h"

#include "ui_RenameDestinationDialog.h"

using namespace Qt::Literals::StringLiterals;

RenameDestinationDialog::RenameDestinationDialog(const QString &name, Completion completion)
    : m_ui(std::make_unique<Ui::RenameDestinationDialog>())
    , m_originalName(name.isNull() ? u""_s : name)
    , m_completion(std::move(completion))
{
    m_ui->setupUi(this);
    connectButtons(m_ui->buttonBox);
    m_ui->nameTextField->setText(m_originalName);
    m_ui->nameTextField->setFocus();
    m_ui->nameTextField->selectAll();
}

RenameDestinationDialog::~RenameDestinationDialog() = default;

bool RenameDestinationDialog::passesChecks()
{
    if (m_ui->nameTextField->text().isEmpty())
        return failCheck(u"Please provide a name for this Destination."_s, u"Name Required"_s, m_ui->nameTextField);
    return true;
}

void RenameDestinationDialog::completeWithOK()
{
    if (m_completion)
        m_completion(false, m_ui->nameTextField->text());
}

void RenameDestinationDialog::completeWithCancel()
{
    if (m_completion)
        m_completion(true, m_originalName);
}
