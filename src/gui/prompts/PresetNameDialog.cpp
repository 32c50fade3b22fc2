#include "PresetNameDialog.h"

#include "ui_PresetNameDialog.h"

using namespace Qt::Literals::StringLiterals;

PresetNameDialog::PresetNameDialog(const QString &name, Completion completion)
    : m_ui(std::make_unique<Ui::PresetNameDialog>())
    , m_originalName(name.isNull() ? u""_s : name)
    , m_completion(std::move(completion))
{
    m_ui->setupUi(this);
    connectButtons(m_ui->buttonBox);
    m_ui->nameTextField->setText(m_originalName);
    m_ui->nameTextField->setFocus();
    m_ui->nameTextField->selectAll();
}

PresetNameDialog::~PresetNameDialog() = default;

bool PresetNameDialog::passesChecks()
{
    if (m_ui->nameTextField->text().isEmpty())
        return failCheck(u"Please provide a name."_s, u"Name Required"_s, nullptr);
    return true;
}

void PresetNameDialog::completeWithOK()
{
    if (m_completion)
        m_completion(m_ui->nameTextField->text());
}

void PresetNameDialog::completeWithCancel()
{
    if (m_completion)
        m_completion(m_originalName);
}
