#pragma once

#include "PromptWindowController.h"

#include <functional>
#include <memory>

namespace Ui {
class SetSavedNameWindowController;
}

// Sets the preset name of quick zips.
class SetSavedNameWindowController final : public PromptWindowController
{
    Q_OBJECT

public:
    /// (name): the typed name, or on Cancel the name the prompt opened with.
    using Completion = std::function<void(const QString &name)>;

    /// A null name is shown as the empty text.
    SetSavedNameWindowController(const QString &name, Completion completion);
    ~SetSavedNameWindowController() override;

protected:
    bool passesChecks() override;
    void completeWithOK() override;
    void completeWithCancel() override;

private:
    std::unique_ptr<Ui::SetSavedNameWindowController> m_ui;
    QString m_originalName;
    Completion m_completion;
};
