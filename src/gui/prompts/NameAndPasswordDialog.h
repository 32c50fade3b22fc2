#pragma once

#include "PromptDialog.h"
#include "core/pipeline/ZipEncryption.h"

#include <functional>
#include <memory>

class NameChoice;
namespace Ui {
class NameAndPasswordDialog;
}

// Asks for the name of an archive and its password at once, with how the password encrypts; an
// empty password (after a question) makes an archive without one.
class NameAndPasswordDialog final : public PromptDialog
{
    Q_OBJECT

public:
    /// (cancelled, name type, name, password, encryption): the password is null when there is
    /// none; on Cancel (true, 0, null, null, the encryption offered).
    using Completion = std::function<void(
        bool cancelled, qint32 nameType, const QString &name, const QString &password, ZipEncryption encryption)>;

    NameAndPasswordDialog(const QString &savedName, const QString &derivedName, qint32 nameType,
        ZipEncryption encryption, Completion completion);
    ~NameAndPasswordDialog() override;

protected:
    bool passesChecks() override;
    void completeWithOK() override;
    void completeWithCancel() override;

private:
    std::unique_ptr<Ui::NameAndPasswordDialog> m_ui;
    NameChoice *m_nameChoice = nullptr;
    Completion m_completion;
};
