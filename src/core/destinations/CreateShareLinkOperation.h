#pragma once

#include "core/pipeline/Operation.h"

#include <QMutex>

class ChildProcess;

// Asks the Dropbox web API, through /usr/bin/curl, for a share link to a file in the user's
// Dropbox (one that works once the file has synced). Finishes with the link as its results, or
// with the error "Could not generate share link" (code 0).
class CreateShareLinkOperation final : public Operation
{
public:
    static const QString CurlPath;
    static const QString DefaultEndpoint;

    /// The path relative to the Dropbox folder, without a leading "/" (Apps/Tessary/Report.zip);
    /// the user's access token.
    CreateShareLinkOperation(QString dropboxRelativeFilePath, QString accessToken);

    /// Where requests go (tests point this at a local server).
    static void setEndpoint(const QString &endpoint);
    /// curl's arguments, in order. The access token is not among them: curl reads its header
    /// on its standard input, where no other user can see it.
    QStringList arguments() const;

protected:
    void startOperating() override;
    /// Ends the request under way.
    void cancelOperating() override;

private:
    const QString m_path;
    const QString m_accessToken;
    QString m_linkString;
    QMutex m_curlLock;
    ChildProcess *m_curl = nullptr;
};
