#include "FTPSettingsDialog.h"

#include "core/ftp/FTPAddress.h"
#include "ui_FTPSettingsDialog.h"

using namespace Qt::Literals::StringLiterals;

FTPSettingsDialog::FTPSettingsDialog(const QString &serverAddress, qint64 port, ServerProtocol protocol,
    const QString &userName, const QString &password, const QString &folderPath, bool confirmReplacementOfExistingFiles,
    Completion completion)
    : m_ui(std::make_unique<Ui::FTPSettingsDialog>())
    , m_completion(std::move(completion))
{
    m_ui->setupUi(this);
    connectButtons(m_ui->buttonBox);
    m_ui->protocolPopUp->addItem(u"FTP with TLS (FTPS)"_s, int(ServerProtocolFTPS));
    m_ui->protocolPopUp->addItem(u"SFTP (SSH)"_s, int(ServerProtocolSFTP));
    m_ui->protocolPopUp->addItem(u"FTP (unencrypted)"_s, int(ServerProtocolFTP));
    setProtocol(protocol);
    m_ui->serverAddressTextField->setText(serverAddress);
    m_ui->serverPortTextField->setText(QString::number(port));
    m_ui->userNameTextField->setText(userName);
    m_ui->passwordTextField->setText(password);
    m_ui->folderPathTextField->setText(folderPath);
    m_ui->confirmCheckBox->setChecked(confirmReplacementOfExistingFiles);
    connect(m_ui->protocolPopUp, &QComboBox::currentIndexChanged, this, &FTPSettingsDialog::protocolChosen);
    connect(m_ui->serverAddressTextField, &QLineEdit::editingFinished, this, &FTPSettingsDialog::addressEdited);
    m_ui->serverAddressTextField->setFocus();
    m_ui->serverAddressTextField->selectAll();
}

FTPSettingsDialog::~FTPSettingsDialog() = default;

qint64 FTPSettingsDialog::portFromText(const QString &text)
{
    const QString trimmed = text.trimmed();
    qsizetype digits = 0;
    while (digits < trimmed.size() && trimmed.at(digits).isDigit() && trimmed.at(digits).unicode() < 128)
        ++digits;
    return trimmed.left(digits).toLongLong();
}

ServerProtocol FTPSettingsDialog::protocol() const
{
    return ServerProtocol(m_ui->protocolPopUp->currentData().toInt());
}

void FTPSettingsDialog::setProtocol(ServerProtocol protocol)
{
    m_shownProtocol = protocol;
    m_ui->protocolPopUp->setCurrentIndex(m_ui->protocolPopUp->findData(int(protocol)));
}

void FTPSettingsDialog::protocolChosen()
{
    const qint64 port = portFromText(m_ui->serverPortTextField->text());
    if (port == 0 || port == defaultPortFor(m_shownProtocol))
        m_ui->serverPortTextField->setText(QString::number(defaultPortFor(protocol())));
    m_shownProtocol = protocol();
}

void FTPSettingsDialog::addressEdited()
{
    const FTPAddress address = FTPAddress::parse(m_ui->serverAddressTextField->text());
    if (!address.protocol)
        return;
    m_ui->serverAddressTextField->setText(address.host);
    setProtocol(*address.protocol);
    const qint32 port = address.port > 0 ? address.port : defaultPortFor(*address.protocol);
    m_ui->serverPortTextField->setText(QString::number(port));
    if (!address.userName.isEmpty())
        m_ui->userNameTextField->setText(address.userName);
    if (!address.folder.isEmpty())
        m_ui->folderPathTextField->setText(address.folder);
}

bool FTPSettingsDialog::passesChecks()
{
    addressEdited(); // OK may come straight from the address field
    if (m_ui->serverAddressTextField->text().isEmpty())
        return failCheck(u"Please provide an FTP Server Address for this Destination."_s, u"Server Address Required."_s,
            m_ui->serverAddressTextField);
    return true;
}

void FTPSettingsDialog::completeWithOK()
{
    if (m_completion)
        m_completion(false, m_ui->serverAddressTextField->text(), portFromText(m_ui->serverPortTextField->text()),
            protocol(), m_ui->userNameTextField->text(), m_ui->passwordTextField->text(),
            m_ui->folderPathTextField->text(), m_ui->confirmCheckBox->isChecked());
}

void FTPSettingsDialog::completeWithCancel()
{
    if (m_completion)
        m_completion(true, QString(), 0, ServerProtocolFTP, QString(), QString(), QString(), false);
}
