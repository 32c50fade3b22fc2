#include "SetSavedNameWindowController.h"

#include "ui_SetSavedNameWindowController.h"

using namespace Qt::Literals::StringLiterals;

SetSavedNameWindowController::SetSavedNameWindowController(const QString &name, Completion completion)
    : m_ui(std::make_unique<Ui::SetSavedNameWindowController>())
    , m_originalName(name.isNull() ? u""_s : name)
    , m_completion(std::move(completion))
{
    m_ui->setupUi(this);
    connectButtons(m_ui->buttonBox);
    m_ui->nameTextField->setText(m_originalName);
    m_ui->nameTextField->setFocus();
    m_ui->nameTextField->selectAll();
}

SetSavedNameWindowController::~SetSavedNameWindowController() = default;

bool SetSavedNameWindowController::passesChecks()
{
    if (m_ui->nameTextField->text().isEmpty())
        return failCheck(u"Please provide a name."_s, u"Name Required"_s, nullptr);
    return true;
}

void SetSavedNameWindowController::completeWithOK()
{
    if (m_completion)
        m_completion(m_ui->nameTextField->text());
}

void SetSavedNameWindowController::completeWithCancel()
{
    if (m_completion)
        m_completion(m_originalName);
}
