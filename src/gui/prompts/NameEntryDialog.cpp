#include "NameEntryDialog.h"

#include "ui_NameEntryDialog.h"

using namespace Qt::Literals::StringLiterals;

NameEntryDialog::Wording NameEntryDialog::destinationName()
{
    return {u"Destination Name"_s, u"The name shown on the Destination's tile."_s,
        u"Please provide a name for this Destination."_s, true};
}

NameEntryDialog::Wording NameEntryDialog::presetName()
{
    return {u"Preset Name"_s, u"The name quick zips use when they are set to use the preset name."_s,
        u"Please provide a name."_s, false};
}

NameEntryDialog::NameEntryDialog(const Wording &wording, const QString &name, Completion completion)
    : m_ui(std::make_unique<Ui::NameEntryDialog>())
    , m_wording(wording)
    , m_originalName(name.isNull() ? u""_s : name)
    , m_completion(std::move(completion))
{
    m_ui->setupUi(this);
    setWindowTitle(m_wording.title);
    m_ui->introLabel->setText(m_wording.explanation);
    connectButtons(m_ui->buttonBox);
    m_ui->nameTextField->setText(m_originalName);
    m_ui->nameTextField->setFocus();
    m_ui->nameTextField->selectAll();
}

NameEntryDialog::~NameEntryDialog() = default;

bool NameEntryDialog::passesChecks()
{
    if (m_ui->nameTextField->text().isEmpty())
        return failCheck(m_wording.emptyNameMessage, u"Name Required"_s,
            m_wording.selectFieldWhenEmpty ? m_ui->nameTextField : nullptr);
    return true;
}

void NameEntryDialog::completeWithOK()
{
    if (m_completion)
        m_completion(false, m_ui->nameTextField->text());
}

void NameEntryDialog::completeWithCancel()
{
    if (m_completion)
        m_completion(true, m_originalName);
}
