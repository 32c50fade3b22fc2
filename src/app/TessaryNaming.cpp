// The quick-zip policies: what an archive is called and whether it gets a password, and the
// preset name and password.

#include "Tessary.h"

#include "AskForNameAndPasswordWindowController.h"
#include "AskForNameWindowController.h"
#include "AskForPasswordWindowController.h"
#include "EnterPasswordWindowController.h"
#include "SetSavedNameWindowController.h"
#include "SetSavedPasswordWindowController.h"
#include "settings/Settings.h"
#include "support/Utilities.h"

#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

namespace {
const QString kTessaryArchive = u"Tessary Archive"_s;
constexpr double kNoFilesNoticeDuration = 2.0;
constexpr double kNoFilesNoticeDelay = 0.5;
} // namespace

void Tessary::performQuickZipWithURLs(
    const QList<QUrl> &urls, const DestinationPointer &destination, const RequestCompletion &completion)
{
    if (urls.isEmpty()) {
        showNoFilesToZip();
        if (completion)
            completion(RequestOutcome::Cancelled, QString(), Error());
        return;
    }
    determineQuickZipOutputFileNameAndPasswordWithURLS(
        urls, [&](bool cancelled, const QString &name, const QString &password) {
            if (cancelled) {
                if (completion)
                    completion(RequestOutcome::Cancelled, QString(), Error());
                return;
            }
            performCommonZipWithURLs(urls, destination, name, password, completion);
        });
}

void Tessary::showNoFilesToZip()
{
    Utilities::displayNotification(u"No Files to Zip"_s, kNoFilesNoticeDuration, kNoFilesNoticeDelay);
}

void Tessary::determineQuickZipOutputFileNameAndPasswordWithURLS(
    const QList<QUrl> &urls, const NameAndPasswordCompletion &completion)
{
    const qint32 nameType = m_settings->quickZipNameType();
    const qint32 passwordType = m_settings->quickZipPasswordType();
    bool cancelled = false;
    QString name;
    QString password;

    const auto rememberNameChoice = [this](qint32 chosenType) { m_settings->setLastUsedAskForNameType(chosenType); };
    if (nameType == ZipNameTypeAsk && passwordType == ZipPasswordTypeAsk) {
        AskForNameAndPasswordWindowController(m_settings->quickZipName(), derivedNameFromURLs(urls),
            m_settings->lastUsedAskForNameType(),
            [&](bool wasCancelled, qint32 chosenType, const QString &typedName, const QString &typedPassword) {
                cancelled = wasCancelled;
                if (wasCancelled)
                    return;
                rememberNameChoice(chosenType);
                name = typedName;
                password = typedPassword;
            })
            .runModal();
    } else if (nameType == ZipNameTypeAsk) {
        AskForNameWindowController(m_settings->quickZipName(), derivedNameFromURLs(urls),
            m_settings->lastUsedAskForNameType(),
            [&](bool wasCancelled, qint32 chosenType, const QString &typedName) {
                cancelled = wasCancelled;
                if (wasCancelled)
                    return;
                rememberNameChoice(chosenType);
                name = typedName;
            })
            .runModal();
    } else if (passwordType == ZipPasswordTypeAsk) {
        AskForPasswordWindowController([&](bool wasCancelled, const QString &typedPassword) {
            cancelled = wasCancelled;
            if (!wasCancelled)
                password = typedPassword;
        }).runModal();
    }

    if (name.isNull()) {
        switch (nameType) {
        case ZipNameTypeTessaryArchive:
        case ZipNameTypeAsk:
            name = kTessaryArchive;
            break;
        case ZipNameTypeDerived:
            name = derivedNameFromURLs(urls);
            break;
        case ZipNameTypePreset:
            name = m_settings->quickZipName();
            break;
        default:
            break;
        }
    }
    if (password.isNull() && passwordType == ZipPasswordTypePreset)
        password = m_settings->quickZipPassword();
    if (name.isEmpty())
        name = kTessaryArchive;
    completion(cancelled, name, password);
}

QString Tessary::derivedNameFromURLs(const QList<QUrl> &urls)
{
    if (urls.isEmpty())
        return kTessaryArchive;
    QString name = Utilities::stringByDeletingPathExtension(QFileInfo(urls.first().toLocalFile()).fileName());
    if (urls.size() >= 2)
        name += u" and More"_s;
    return name.isEmpty() ? kTessaryArchive : name;
}

bool Tessary::getPasswordFromUserWithPrompt(const QString &prompt)
{
    const QString preset = m_settings->quickZipPassword();
    if (preset.isEmpty())
        return true;
    bool matched = false;
    EnterPasswordWindowController(preset, prompt, [&matched](bool typedCorrectly) {
        matched = typedCorrectly;
    }).runModal();
    return matched;
}

void Tessary::defineSavedZipName()
{
    SetSavedNameWindowController(m_settings->quickZipName(), [this](const QString &name) {
        m_settings->setQuickZipName(name);
    }).runModal();
}

void Tessary::defineSavedZipPassword()
{
    SetSavedPasswordWindowController(m_settings->passwordRequiredToChangePassword(),
        [this](bool cancelled, bool requirePassword, const QString &password) {
            if (cancelled)
                return;
            m_settings->setQuickZipPassword(password);
            m_settings->setPasswordRequiredToChangePassword(requirePassword);
        })
        .runModal();
}

void Tessary::useSavedNameSelected()
{
    if (m_settings->quickZipName().isEmpty())
        defineSavedZipName();
    if (!m_settings->quickZipName().isEmpty())
        m_settings->setQuickZipNameType(ZipNameTypePreset);
}

void Tessary::useSavedPasswordSelected()
{
    if (m_settings->quickZipPassword().isEmpty())
        defineSavedZipPassword();
    if (!m_settings->quickZipPassword().isEmpty())
        m_settings->setQuickZipPasswordType(ZipPasswordTypePreset);
}

void Tessary::setSavedPasswordSelected()
{
    if (m_settings->passwordRequiredToChangePassword()
        && !getPasswordFromUserWithPrompt(u"To set a new Password, please enter your existing Password:"_s))
        return;
    defineSavedZipPassword();
}
