#include "remote/WebDownload.h"

#include "platform/io/DurableFile.h"
#include "platform/io/FileWriteError.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

#include <memory>

namespace {

bool statusOk(QNetworkReply *reply)
{
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    return status.isValid() && status.toInt() >= 200 && status.toInt() < 300;
}

// Writes the body as it arrives; stops the transfer at the first refusal.
class BodyWriter
{
public:
    BodyWriter(QNetworkReply *reply, const QString &destination) : m_reply(reply), m_destination(destination) {}

    void take()
    {
        if (m_result != DownloadOk)
            return;
        if (!statusOk(m_reply)) {
            fail(DownloadFailed);
            return;
        }
        try {
            if (!m_file)
                m_file = std::make_unique<DurableFile>(m_destination);
            m_file->write(m_reply->readAll());
        } catch (const FileWriteError &) {
            fail(DownloadCannotWrite);
        }
    }

    int finish()
    {
        take();
        if (m_result == DownloadOk && m_reply->error() != QNetworkReply::NoError)
            m_result = DownloadFailed;
        if (m_result != DownloadOk)
            return m_result;
        try {
            m_file->commit();
        } catch (const FileWriteError &) {
            return DownloadCannotWrite;
        }
        return DownloadOk;
    }

private:
    void fail(int result)
    {
        m_result = result;
        m_file.reset();
        m_reply->abort();
    }

    QNetworkReply *m_reply;
    QString m_destination;
    std::unique_ptr<DurableFile> m_file;
    int m_result = DownloadOk;
};

} // namespace

int DownloadUrlToFile(const QString &url, const QString &destination, int inactivityMs)
{
    const QUrl target(url);
    if (!target.isValid() || (target.scheme() != u"http" && target.scheme() != u"https"))
        return DownloadFailed;
    QNetworkAccessManager manager;
    QNetworkRequest request(target);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Sugestii"));
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setTransferTimeout(inactivityMs);
    QNetworkReply *reply = manager.get(request);
    BodyWriter writer(reply, destination);
    QObject::connect(reply, &QNetworkReply::readyRead, [&writer] { writer.take(); });
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec();
    const int result = writer.finish();
    return result;
}
