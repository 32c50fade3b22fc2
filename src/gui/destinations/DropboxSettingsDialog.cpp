#include "DropboxSettingsDialog.h"

#include "ui_DropboxSettingsDialog.h"

DropboxSettingsDialog::DropboxSettingsDialog(bool createShareLinks, bool sendShareLinks, qint32 sendLinkMethod,
    const QString &accessToken, Completion completion)
    : m_ui(std::make_unique<Ui::DropboxSettingsDialog>())
    , m_createShareLinks(createShareLinks)
    , m_sendShareLinks(sendShareLinks)
    , m_sendLinkMethod(sendLinkMethod)
    , m_accessToken(accessToken)
    , m_completion(std::move(completion))
{
    m_ui->setupUi(this);
    connectButtons(m_ui->buttonBox);
    m_ui->createShareLinkCheckBox->setChecked(createShareLinks);
    m_ui->sendShareLinkCheckBox->setChecked(sendShareLinks);
    m_ui->sendLinkMethodButton->setCurrentIndex(sendLinkMethod == 1 ? 1 : 0);
    m_ui->accessTokenTextField->setText(accessToken);
    connect(m_ui->createShareLinkCheckBox, &QCheckBox::toggled, this, &DropboxSettingsDialog::maintainInterface);
    maintainInterface();
}

DropboxSettingsDialog::~DropboxSettingsDialog() = default;

void DropboxSettingsDialog::maintainInterface()
{
    m_ui->sendShareLinkCheckBox->setEnabled(m_ui->createShareLinkCheckBox->isChecked());
}

void DropboxSettingsDialog::completeWithOK()
{
    if (m_completion)
        m_completion(false, m_ui->createShareLinkCheckBox->isChecked(), m_ui->sendShareLinkCheckBox->isChecked(),
            m_ui->sendLinkMethodButton->currentIndex(), m_ui->accessTokenTextField->text());
}

void DropboxSettingsDialog::completeWithCancel()
{
    if (m_completion)
        m_completion(true, m_createShareLinks, m_sendShareLinks, m_sendLinkMethod, m_accessToken);
}
