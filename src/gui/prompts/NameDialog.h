#pragma once

#include "PromptDialog.h"

#include <functional>
#include <memory>

class NameChoice;
namespace Ui {
class NameDialog;
}

// Asks for the name of an archive, offering "Tessary Archive", the name derived from the items
// and the preset name.
class NameDialog final : public PromptDialog
{
    Q_OBJECT

public:
    /// (cancelled, name type, name): (false, the type in force, the typed name) or (true, 0, null).
    using Completion = std::function<void(bool cancelled, qint32 nameType, const QString &name)>;

    NameDialog(const QString &savedName, const QString &derivedName, qint32 nameType, Completion completion);
    ~NameDialog() override;

protected:
    bool passesChecks() override;
    void completeWithOK() override;
    void completeWithCancel() override;

private:
    std::unique_ptr<Ui::NameDialog> m_ui;
    NameChoice *m_nameChoice = nullptr;
    Completion m_completion;
};
