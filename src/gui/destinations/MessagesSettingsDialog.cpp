#include "MessagesSettingsDialog.h"

#include "core/support/Utilities.h"
#include "gui/support/TextFieldSizing.h"
#include "ui_MessagesSettingsDialog.h"

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr int kTextLines = 5;
constexpr int kMaximumLines = 12;
} // namespace

MessagesSettingsDialog::MessagesSettingsDialog(
    const QString &text, const QStringList &recipients, Completion completion)
    : m_ui(std::make_unique<Ui::MessagesSettingsDialog>())
    , m_text(text.isNull() ? u""_s : text)
    , m_recipients(recipients)
    , m_completion(std::move(completion))
{
    m_ui->setupUi(this);
    connectButtons(m_ui->buttonBox);
    m_ui->subjectTextField->setPlainText(m_text);
    m_ui->recipientsTextField->setPlainText(Utilities::recipientsArrayToRecipientsString(recipients));
    fitTextFieldToItsLines(m_ui->subjectTextField, kTextLines, kMaximumLines);
    fitTextFieldToItsLines(m_ui->recipientsTextField, 1, kMaximumLines);
    m_ui->subjectTextField->setFocus();
    m_ui->subjectTextField->selectAll();
}

MessagesSettingsDialog::~MessagesSettingsDialog() = default;

void MessagesSettingsDialog::completeWithOK()
{
    if (m_completion)
        m_completion(false, m_ui->subjectTextField->toPlainText(),
            Utilities::recipientsStringToRecipientsArray(m_ui->recipientsTextField->toPlainText()));
}

void MessagesSettingsDialog::completeWithCancel()
{
    if (m_completion)
        m_completion(true, m_text, m_recipients);
}
