#pragma once

#include "gui/prompts/PromptWindowController.h"

#include <functional>
#include <memory>

namespace Ui {
class DestinationNameWindowController;
}

// Renames a Destination.
class DestinationNameWindowController final : public PromptWindowController
{
    Q_OBJECT

public:
    /// (cancelled, name): (false, the typed name) or (true, the name it was opened with).
    using Completion = std::function<void(bool cancelled, const QString &name)>;

    /// A null name is shown as the empty text.
    DestinationNameWindowController(const QString &name, Completion completion);
    ~DestinationNameWindowController() override;

protected:
    bool passesChecks() override;
    void completeWithOK() override;
    void completeWithCancel() override;

private:
    std::unique_ptr<Ui::DestinationNameWindowController> m_ui;
    QString m_originalName;
    Completion m_completion;
};
