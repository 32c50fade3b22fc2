#include "EmailSettingsDialog.h"

#include "core/support/Utilities.h"
#include "gui/support/TextFieldSizing.h"
#include "ui_EmailSettingsDialog.h"

namespace {
constexpr int kBodyLines = 5;
constexpr int kMaximumLines = 12;
} // namespace

EmailSettingsDialog::EmailSettingsDialog(
    const QStringList &recipients, const QString &subject, const QString &body, Completion completion)
    : m_ui(std::make_unique<Ui::EmailSettingsDialog>())
    , m_completion(std::move(completion))
{
    m_ui->setupUi(this);
    connectButtons(m_ui->buttonBox);
    m_ui->recipientsTextField->setPlainText(Utilities::recipientsArrayToRecipientsString(recipients));
    m_ui->subjectTextField->setPlainText(subject);
    m_ui->bodyTextField->setPlainText(body);
    fitTextFieldToItsLines(m_ui->recipientsTextField, 1, kMaximumLines);
    fitTextFieldToItsLines(m_ui->subjectTextField, 1, kMaximumLines);
    fitTextFieldToItsLines(m_ui->bodyTextField, kBodyLines, kMaximumLines);
    m_ui->subjectTextField->setFocus();
    m_ui->subjectTextField->selectAll();
}

EmailSettingsDialog::~EmailSettingsDialog() = default;

void EmailSettingsDialog::completeWithOK()
{
    if (m_completion)
        m_completion(false, Utilities::recipientsStringToRecipientsArray(m_ui->recipientsTextField->toPlainText()),
            m_ui->subjectTextField->toPlainText(), m_ui->bodyTextField->toPlainText());
}

void EmailSettingsDialog::completeWithCancel()
{
    if (m_completion)
        m_completion(true, {}, QString(), QString());
}
