#include "DropboxManager.h"

#include "CreateShareLinkOperation.h"
#include "core/pipeline/ThreadHops.h"
#include "core/settings/Keychain.h"
#include "core/settings/KeychainBackend.h"
#include "core/settings/SettingsFile.h"
#include "core/support/UserInteraction.h"
#include "core/support/Utilities.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

using namespace Qt::Literals::StringLiterals;

namespace {
const QString kDropboxFolderPathKey = u"DropboxFolderPath"_s;
const QString kExplainedKey = u"DropboxAccessHasBeenExplained"_s;
const QString kTokenService = u"Tessary Dropbox"_s;
const QString kTokenAccount = u"Access Token"_s;
constexpr double kRequestDelay = 1.0;
} // namespace

DropboxManager::DropboxManager(UserInteraction &user)
    : m_user(user)
{
    setDefaultDropboxFolderPath();
}

void DropboxManager::setDefaultDropboxFolderPath()
{
    const QString remembered = SettingsFile().value(kDropboxFolderPathKey).toString();
    if (!remembered.isEmpty() && QFileInfo(remembered).isDir()) {
        setDropboxFolderPath(remembered);
        return;
    }
    const QString standard = QDir::homePath() + u"/Dropbox"_s;
    if (QFileInfo(standard).isDir())
        setDropboxFolderPath(standard);
}

void DropboxManager::setDropboxFolderPath(const QString &path)
{
    m_dropboxFolderPath = path;
    SettingsFile settings;
    if (settings.value(kDropboxFolderPathKey).toString() != path)
        settings.setValue(kDropboxFolderPathKey, path);
}

bool DropboxManager::isDropboxInstalled()
{
    return !QStandardPaths::findExecutable(u"dropbox"_s).isEmpty()
        || QFileInfo(QDir::homePath() + u"/.dropbox-dist"_s).isDir();
}

bool DropboxManager::locateDropboxFolder()
{
    // A folder picker out of the blue would leave the user guessing what to pick, and why.
    m_user.message(u"Tessary could not find your Dropbox folder, the folder that Dropbox keeps in step "
                   "with your Dropbox account. Please choose it next, so that Tessary can put the "
                   "archives you share through Dropbox there."_s,
        u"Where Is Your Dropbox Folder?"_s);
    const QList<QUrl> picked = m_user.openPanel(false, true, {}, false, QUrl::fromLocalFile(QDir::homePath()));
    if (!picked.isEmpty()) {
        const QString folder = picked.first().toLocalFile();
        if (Utilities::fileNameFromFullPath(folder, false) != u"Dropbox"_s
            && !m_user.confirm(u"Dropbox Folder?"_s,
                u"This doesn't appear to be a Dropbox folder.  Are you sure you want to use this folder?"_s,
                u"Use Folder"_s))
            return false;
        setDropboxFolderPath(folder);
    }
    return !m_dropboxFolderPath.isEmpty();
}

void DropboxManager::explainToUserWhyWeWantDropboxAccessWithCompletion(const std::function<void()> &handler)
{
    SettingsFile settings;
    if (!settings.value(kExplainedKey).toBool()) {
        settings.setValue(kExplainedKey, true);
        settings.sync();
        m_user.message(
            u"Dropbox may request that you give Tessary permission to access your Dropbox folder.\r\rThis permission "
            "allows Tessary to:\r\r   \u2022 Create a Tessary folder in your Dropbox folder\r   \u2022 Create "
            "Dropbox Share Links to Tessary Archives\r\rTessary will have no other access to your Dropbox and its "
            "contents."_s,
            u"Dropbox Access Explanation"_s);
    }
    handler();
}

void DropboxManager::createShareLinkToFileInDropboxAtPath(
    const QString &relativePath, const ShareLinkCompletion &completion)
{
    const Error failed = Utilities::errorWithCode(0, u"Could not generate share link"_s);
    readAccessToken(this, [this, relativePath, completion, failed](const QString &token, const Error &error) {
        if (!error.isNull() && error.code() != KeychainBackend::StatusItemNotFound) {
            m_user.message(
                u"Tessary could not read your Dropbox access token from your keyring: it may be locked (%1). "
                "Unlock your keyring and try once more."_s.arg(error.localizedDescription()),
                u"Dropbox Access Token Unreadable"_s);
            completion(QString(), failed);
            return;
        }
        if (token.isEmpty()) {
            m_user.message(
                u"Tessary asks Dropbox for share links with your own Dropbox access token, and none is set. Create "
                "one for an app of your own at https://www.dropbox.com/developers/apps (with the permission "
                "\"sharing.write\"), then paste it into the settings of your Dropbox Destination."_s,
                u"Dropbox Access Token Required"_s);
            completion(QString(), failed);
            return;
        }
        explainToUserWhyWeWantDropboxAccessWithCompletion([this, relativePath, token, completion] {
            runOnMainThread(
                this,
                [this, relativePath, token, completion] {
                    const auto request = std::make_shared<CreateShareLinkOperation>(relativePath, token);
                    request->setReceiver(this);
                    request->setFinishedHandler([completion](bool, const QVariant &results, const Error &failure) {
                        completion(results.toString(), failure);
                    });
                    m_requests.removeIf([](const std::weak_ptr<Operation> &old) { return old.expired(); });
                    m_requests.append(request);
                    request->startOnBackgroundThread();
                },
                kRequestDelay);
        });
    });
}

void DropboxManager::cancelRequests()
{
    for (const std::weak_ptr<Operation> &request : std::as_const(m_requests))
        if (const auto running = request.lock())
            running->cancel();
    m_requests.clear();
}

void DropboxManager::readAccessToken(const QObject *receiver, Keychain::ReadCompletion completion)
{
    Keychain::readPassword(receiver, kTokenService, kTokenAccount, std::move(completion));
}

void DropboxManager::storeAccessToken(
    const QObject *receiver, const QString &token, Keychain::WriteCompletion completion)
{
    if (token.isEmpty())
        Keychain::removePassword(receiver, kTokenService, kTokenAccount, std::move(completion));
    else
        Keychain::storePassword(receiver, token, kTokenService, kTokenAccount, std::move(completion));
}
