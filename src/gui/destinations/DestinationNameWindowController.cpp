#include "DestinationNameWindowController.h"

#include "ui_DestinationNameWindowController.h"

using namespace Qt::Literals::StringLiterals;

DestinationNameWindowController::DestinationNameWindowController(const QString &name, Completion completion)
    : m_ui(std::make_unique<Ui::DestinationNameWindowController>())
    , m_originalName(name.isNull() ? u""_s : name)
    , m_completion(std::move(completion))
{
    m_ui->setupUi(this);
    connectButtons(m_ui->buttonBox);
    m_ui->nameTextField->setText(m_originalName);
    m_ui->nameTextField->setFocus();
    m_ui->nameTextField->selectAll();
}

DestinationNameWindowController::~DestinationNameWindowController() = default;

bool DestinationNameWindowController::passesChecks()
{
    if (m_ui->nameTextField->text().isEmpty())
        return failCheck(u"Please provide a name for this Destination."_s, u"Name Required"_s, m_ui->nameTextField);
    return true;
}

void DestinationNameWindowController::completeWithOK()
{
    if (m_completion)
        m_completion(false, m_ui->nameTextField->text());
}

void DestinationNameWindowController::completeWithCancel()
{
    if (m_completion)
        m_completion(true, m_originalName);
}
