#pragma once

#include "PromptDialog.h"
#include "core/destinations/Destination.h"
#include "core/pipeline/ZipEncryption.h"

#include <functional>
#include <memory>

class DestinationGrid;
class NameChoice;
class QPushButton;
class ShadowWidget;
namespace Ui {
class CustomZipDialog;
}

// The one dialog of a drop on the drop pad: the archive's name (with the naming choices), an
// optional password (the preset one a click away) with how it encrypts, and the Destination, picked
// from a grid of tiles.
class CustomZipDialog final : public PromptDialog
{
    Q_OBJECT

public:
    /// Free space kept below the grid for the fields and buttons, in points.
    static constexpr int SpaceBelowGrid = 70;

    /// On OK (false, name type, name, password or null, encryption, Destination); on Cancel (true,
    /// 0, null, null, the encryption offered, null).
    using Completion = std::function<void(bool cancelled, qint32 nameType, const QString &name, const QString &password,
        ZipEncryption encryption, const DestinationPointer &destination)>;

    /// The initial Destination type is accepted and not used: no tile starts selected.
    CustomZipDialog(const QString &savedName, const QString &derivedName, qint32 initialNameType,
        const QString &savedPassword, ZipEncryption encryption, qint32 initialDestinationType,
        const DestinationList &destinations, Completion completion);
    ~CustomZipDialog() override;

    DestinationGrid *destinationGrid() const { return m_destinationGrid; }
    /// Whether either password field holds text.
    bool shouldCreateArchiveWithPassword() const;

protected:
    bool passesChecks() override;
    void completeWithOK() override;
    void completeWithCancel() override;

private:
    void useSavedPasswordSelected();
    void updateCreateButton();
    void adjustToGridSize();

    std::unique_ptr<Ui::CustomZipDialog> m_ui;
    QString m_savedPassword;
    Completion m_completion;
    NameChoice *m_nameChoice = nullptr;
    QPushButton *m_createButton = nullptr;
    DestinationGrid *m_destinationGrid = nullptr;
    ShadowWidget *m_shadow = nullptr;
};
