#include "CreateShareLinkOperation.h"

#include "core/support/ChildProcess.h"
#include "core/support/Log.h"
#include "core/support/Utilities.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>

using namespace Qt::Literals::StringLiterals;

const QString CreateShareLinkOperation::CurlPath = u"/usr/bin/curl"_s;
const QString CreateShareLinkOperation::DefaultEndpoint = u"https://api.dropboxapi.com/2/sharing/create_shared_link"_s;

namespace {
QMutex endpointLock;
QString &endpoint()
{
    static QString url = CreateShareLinkOperation::DefaultEndpoint;
    return url;
}

// The text as a JSON string literal, quotes included: quotation marks, backslashes and control
// characters escaped.
QString jsonString(const QString &text)
{
    const QByteArray array = QJsonDocument(QJsonArray {text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}
} // namespace

CreateShareLinkOperation::CreateShareLinkOperation(QString dropboxRelativeFilePath, QString accessToken)
    : m_path(std::move(dropboxRelativeFilePath))
    , m_accessToken(std::move(accessToken))
{
}

void CreateShareLinkOperation::setEndpoint(const QString &url)
{
    QMutexLocker locker(&endpointLock);
    endpoint() = url;
}

QStringList CreateShareLinkOperation::arguments() const
{
    QString url;
    {
        QMutexLocker locker(&endpointLock);
        url = endpoint();
    }
    const QString body
        = u"{\"pending_upload\":\"file\",\"path\":%1,\"short_url\":false}"_s.arg(jsonString(u'/' + m_path));
    return {u"--silent"_s, u"--show-error"_s, u"--connect-timeout"_s, u"15"_s, u"--max-time"_s, u"60"_s, u"-X"_s,
        u"POST"_s, url, u"-H"_s, u"@-"_s, u"-H"_s, u"Content-Type: application/json"_s, u"-d"_s, body};
}

void CreateShareLinkOperation::startOperating()
{
    Operation::startOperating();
    Log::handler()(u"Create Dropbox Share Link Arguments: (%1)"_s.arg(arguments().join(u", "_s)));

    ChildProcess curl(CurlPath, arguments());
    curl.setStandardInput((u"Authorization: Bearer "_s + m_accessToken + u'\n').toUtf8());
    int status = -1;
    QByteArray answer;
    bool started = false;
    {
        QMutexLocker locker(&m_curlLock);
        started = !isCancelled() && curl.start();
        m_curl = started ? &curl : nullptr;
    }
    if (started) {
        for (QByteArray chunk = curl.readChunk(); !chunk.isEmpty(); chunk = curl.readChunk()) {
            Log::handler()(u"Create Dropbox Share Output: %1"_s.arg(QString::fromUtf8(chunk)));
            answer += chunk;
        }
        status = curl.waitForExit();
        QMutexLocker locker(&m_curlLock);
        m_curl = nullptr;
    }
    // The whole answer is read at once, so that no later chunk can erase a link read before it.
    m_linkString = QJsonDocument::fromJson(answer).object().value(u"url"_s).toString();
    if (status == 0 && !m_linkString.isEmpty())
        noteOperationFinishedWithResults(m_linkString, {});
    else
        noteOperationFinishedWithResults({}, Utilities::errorWithCode(0, u"Could not generate share link"_s));
}

void CreateShareLinkOperation::cancelOperating()
{
    Operation::cancelOperating();
    QMutexLocker locker(&m_curlLock);
    if (m_curl != nullptr)
        m_curl->terminate();
}
