#pragma once

#include "gui/prompts/PromptDialog.h"

#include <functional>
#include <memory>

namespace Ui {
class RenameDestinationDialog;
}

// Renames a Destination.
class RenameDestinationDialog final : public PromptDialog
{
    Q_OBJECT

public:
    /// (cancelled, name): (false, the typed name) or (true, the name it was opened with).
    using Completion = std::function<void(bool cancelled, const QString &name)>;

    /// A null name is shown as the empty text.
    RenameDestinationDialog(const QString &name, Completion completion);
    ~RenameDestinationDialog() override;

protected:
    bool passesChecks() override;
    void completeWithOK() override;
    void completeWithCancel() override;

private:
    std::unique_ptr<Ui::RenameDestinationDialog> m_ui;
    QString m_originalName;
    Completion m_completion;
};
