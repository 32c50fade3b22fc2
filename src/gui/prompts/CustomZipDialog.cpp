#include "CustomZipDialog.h"

#include "NameChoice.h"
#include "core/support/Utilities.h"
#include "gui/chooser/DestinationGrid.h"
#include "gui/chooser/DestinationTile.h"
#include "gui/support/Alerts.h"
#include "gui/support/ShadowWidget.h"
#include "ui_CustomZipDialog.h"

#include <QPushButton>

using namespace Qt::Literals::StringLiterals;

namespace {
const QSizeF kTileSize(54, 54);
constexpr int kShadowRadius = 20;
constexpr int kShadowOffsetY = 10;
constexpr int kGridMargin = 24;
} // namespace

CustomZipDialog::CustomZipDialog(const QString &savedName, const QString &derivedName, qint32 initialNameType,
    const QString &savedPassword, ZipEncryption encryption, qint32 initialDestinationType,
    const DestinationList &destinations, Completion completion)
    : m_ui(std::make_unique<Ui::CustomZipDialog>())
    , m_savedPassword(savedPassword.isNull() ? u""_s : savedPassword)
    , m_completion(std::move(completion))
{
    Q_UNUSED(initialDestinationType);
    m_ui->setupUi(this);
    m_createButton = m_ui->buttonBox->addButton(u"Create without Password"_s, QDialogButtonBox::AcceptRole);
    m_createButton->setDefault(true);
    connectButtons(m_ui->buttonBox);

    m_nameChoice
        = new NameChoice(m_ui->nameOptionsButton, m_ui->nameTextField, savedName, derivedName, initialNameType);
    m_ui->passwordOptionsButton->setVisible(!m_savedPassword.isEmpty());
    connect(m_ui->passwordOptionsButton, &QPushButton::clicked, this, &CustomZipDialog::useSavedPasswordSelected);
    connect(m_ui->passwordTextField, &QLineEdit::textChanged, this, &CustomZipDialog::updateCreateButton);
    connect(m_ui->confirmTextField, &QLineEdit::textChanged, this, &CustomZipDialog::updateCreateButton);
    m_ui->encryptionChoice->setEncryption(encryption);
    m_ui->encryptionChoice->explainIn(m_ui->encryptionExplanation);
    m_ui->encryptionChoice->followPassword(m_ui->passwordTextField);

    m_destinationGrid = new DestinationGrid(kTileSize, m_ui->destinationArea);
    m_destinationGrid->setInteractionOptions(DestinationGrid::InteractionClickHighlights);
    m_destinationGrid->setDestinations(destinations, 0);
    m_shadow = new ShadowWidget(kShadowRadius, 0, kShadowOffsetY, m_ui->destinationArea);
    adjustToGridSize();
    m_shadow->lower();
    // The grid comes after the password, before the buttons.
    setTabOrder(m_ui->passwordOptionsButton, m_destinationGrid);
    setTabOrder(m_destinationGrid, m_ui->buttonBox);
    m_ui->nameTextField->setFocus();
}

CustomZipDialog::~CustomZipDialog() = default;

void CustomZipDialog::adjustToGridSize()
{
    // The grid sits in its own area with room around it for the shadow; the fields follow below
    // it, at least the space they need away from it.
    const QSize grid = m_destinationGrid->size();
    m_ui->destinationArea->setFixedSize(grid.width() + 2 * kGridMargin, grid.height() + kGridMargin);
    m_destinationGrid->move(kGridMargin, kGridMargin / 2);
    m_shadow->applyToView(m_destinationGrid);
}

bool CustomZipDialog::shouldCreateArchiveWithPassword() const
{
    return !m_ui->passwordTextField->text().isEmpty() || !m_ui->confirmTextField->text().isEmpty();
}

void CustomZipDialog::updateCreateButton()
{
    m_createButton->setText(
        shouldCreateArchiveWithPassword() ? u"Create with Password"_s : u"Create without Password"_s);
}

void CustomZipDialog::useSavedPasswordSelected()
{
    m_ui->passwordTextField->setText(m_savedPassword);
    m_ui->confirmTextField->setText(m_savedPassword);
}

bool CustomZipDialog::passesChecks()
{
    if (m_nameChoice->name().isEmpty())
        return failCheck(u"Please provide a name."_s, u"Name Required"_s, nullptr);
    if (m_destinationGrid->hilitedTile() == nullptr)
        return failCheck(
            u"Please select a destination for this Tessary Archive."_s, u"Destination Required"_s, nullptr);
    if (!shouldCreateArchiveWithPassword())
        return true;
    if (m_ui->passwordTextField->text().isEmpty())
        return Alerts::getConfirmation(u"No Password"_s,
            u"Do you want to create this Tessary Archive with no password?"_s, u"Create with No Password"_s);
    return checkPasswords(m_ui->passwordTextField, m_ui->confirmTextField);
}

void CustomZipDialog::completeWithOK()
{
    const DestinationPointer destination = m_destinationGrid->hilitedDestination();
    const QString password = m_ui->passwordTextField->text();
    if (m_completion)
        m_completion(false, m_nameChoice->nameType(), m_nameChoice->name(), password.isEmpty() ? QString() : password,
            m_ui->encryptionChoice->encryption(), destination);
}

void CustomZipDialog::completeWithCancel()
{
    if (m_completion)
        m_completion(true, 0, QString(), QString(), m_ui->encryptionChoice->encryption(), nullptr);
}
