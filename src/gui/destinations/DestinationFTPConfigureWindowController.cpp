#include "DestinationFTPConfigureWindowController.h"

#include "ui_DestinationFTPConfigureWindowController.h"

using namespace Qt::Literals::StringLiterals;

DestinationFTPConfigureWindowController::DestinationFTPConfigureWindowController(const QString &serverAddress,
    qint64 port, const QString &userName, const QString &password, const QString &folderPath,
    bool confirmReplacementOfExistingFiles, Completion completion)
    : m_ui(std::make_unique<Ui::DestinationFTPConfigureWindowController>())
    , m_completion(std::move(completion))
{
    m_ui->setupUi(this);
    connectButtons(m_ui->buttonBox);
    m_ui->serverAddressTextField->setText(serverAddress);
    m_ui->serverPortTextField->setText(QString::number(port));
    m_ui->userNameTextField->setText(userName);
    m_ui->passwordTextField->setText(password);
    m_ui->folderPathTextField->setText(folderPath);
    m_ui->confirmCheckBox->setChecked(confirmReplacementOfExistingFiles);
    m_ui->serverAddressTextField->setFocus();
    m_ui->serverAddressTextField->selectAll();
}

DestinationFTPConfigureWindowController::~DestinationFTPConfigureWindowController() = default;

qint64 DestinationFTPConfigureWindowController::portFromText(const QString &text)
{
    const QString trimmed = text.trimmed();
    qsizetype digits = 0;
    while (digits < trimmed.size() && trimmed.at(digits).isDigit() && trimmed.at(digits).unicode() < 128)
        ++digits;
    return trimmed.left(digits).toLongLong();
}

bool DestinationFTPConfigureWindowController::passesChecks()
{
    if (m_ui->serverAddressTextField->text().isEmpty())
        return failCheck(u"Please provide an FTP Server Address for this Destination."_s, u"Server Address Required."_s,
            m_ui->serverAddressTextField);
    return true;
}

void DestinationFTPConfigureWindowController::completeWithOK()
{
    if (m_completion)
        m_completion(false, m_ui->serverAddressTextField->text(), portFromText(m_ui->serverPortTextField->text()),
            m_ui->userNameTextField->text(), m_ui->passwordTextField->text(), m_ui->folderPathTextField->text(),
            m_ui->confirmCheckBox->isChecked());
}

void DestinationFTPConfigureWindowController::completeWithCancel()
{
    if (m_completion)
        m_completion(true, QString(), 0, QString(), QString(), QString(), false);
}
