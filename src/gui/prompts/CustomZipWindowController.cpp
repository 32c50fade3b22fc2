#include "CustomZipWindowController.h"

#include "NameChoice.h"
#include "core/support/Utilities.h"
#include "gui/chooser/DestinationCell.h"
#include "gui/chooser/DestinationChooserView.h"
#include "gui/support/Alerts.h"
#include "gui/support/ShadowView.h"
#include "ui_CustomZipWindowController.h"

#include <QPushButton>

using namespace Qt::Literals::StringLiterals;

namespace {
const QSizeF kTileSize(54, 54);
constexpr int kShadowRadius = 20;
constexpr int kShadowOffsetY = 10;
constexpr int kGridMargin = 24;
} // namespace

CustomZipWindowController::CustomZipWindowController(const QString &savedName, const QString &derivedName,
    qint32 initialNameType, const QString &savedPassword, qint32 initialDestinationType,
    const DestinationList &destinations, Completion completion)
    : m_ui(std::make_unique<Ui::CustomZipWindowController>())
    , m_savedPassword(savedPassword.isNull() ? u""_s : savedPassword)
    , m_destinations(destinations)
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
    connect(
        m_ui->passwordOptionsButton, &QPushButton::clicked, this, &CustomZipWindowController::useSavedPasswordSelected);
    connect(m_ui->passwordTextField, &QLineEdit::textChanged, this, &CustomZipWindowController::updateCreateButton);
    connect(m_ui->confirmTextField, &QLineEdit::textChanged, this, &CustomZipWindowController::updateCreateButton);

    m_destinationChooserView = new DestinationChooserView(kTileSize, m_ui->destinationArea);
    m_destinationChooserView->setInteractionOptions(DestinationChooserView::InteractionClickHighlights);
    m_destinationChooserView->setDestinations(m_destinations, 0);
    m_shadowView = new ShadowView(kShadowRadius, 0, kShadowOffsetY, m_ui->destinationArea);
    adjustToDestinationChooserSize();
    m_shadowView->lower();
    // The grid comes after the password, before the buttons.
    setTabOrder(m_ui->passwordOptionsButton, m_destinationChooserView);
    setTabOrder(m_destinationChooserView, m_ui->buttonBox);
    m_ui->nameTextField->setFocus();
}

CustomZipWindowController::~CustomZipWindowController() = default;

void CustomZipWindowController::adjustToDestinationChooserSize()
{
    // The grid sits in its own area with room around it for the shadow; the fields follow below
    // it, at least the space they need away from it.
    const QSize grid = m_destinationChooserView->size();
    m_ui->destinationArea->setFixedSize(grid.width() + 2 * kGridMargin, grid.height() + kGridMargin);
    m_destinationChooserView->move(kGridMargin, kGridMargin / 2);
    m_shadowView->applyToView(m_destinationChooserView);
}

bool CustomZipWindowController::shouldCreateArchiveWithPassword() const
{
    return !m_ui->passwordTextField->text().isEmpty() || !m_ui->confirmTextField->text().isEmpty();
}

void CustomZipWindowController::updateCreateButton()
{
    m_createButton->setText(
        shouldCreateArchiveWithPassword() ? u"Create with Password"_s : u"Create without Password"_s);
}

void CustomZipWindowController::useSavedPasswordSelected()
{
    m_ui->passwordTextField->setText(m_savedPassword);
    m_ui->confirmTextField->setText(m_savedPassword);
}

bool CustomZipWindowController::passesChecks()
{
    if (m_nameChoice->name().isEmpty())
        return failCheck(u"Please provide a name."_s, u"Name Required"_s, nullptr);
    if (m_destinationChooserView->hilitedCell() == nullptr)
        return failCheck(
            u"Please select a destination for this Tessary Archive."_s, u"Destination Required"_s, nullptr);
    if (!shouldCreateArchiveWithPassword())
        return true;
    if (m_ui->passwordTextField->text().isEmpty())
        return Alerts::getConfirmation(u"No Password"_s,
            u"Do you want to create this Tessary Archive with no password?"_s, u"Create with No Password"_s);
    return checkPasswords(m_ui->passwordTextField, m_ui->confirmTextField);
}

void CustomZipWindowController::completeWithOK()
{
    Destination *chosen = m_destinationChooserView->hilitedCell()->destination();
    DestinationPointer destination;
    for (const DestinationPointer &candidate : std::as_const(m_destinations))
        if (candidate.get() == chosen)
            destination = candidate;
    const QString password = m_ui->passwordTextField->text();
    if (m_completion)
        m_completion(false, m_nameChoice->nameType(), m_nameChoice->name(), password.isEmpty() ? QString() : password,
            destination);
}

void CustomZipWindowController::completeWithCancel()
{
    if (m_completion)
        m_completion(true, 0, QString(), QString(), nullptr);
}
