#include "qtHttpGetter.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace {

HttpResult failure(const QString &reason)
{
    return {std::nullopt, reason};
}

QString tooLargeText(qint64 maxBytes)
{
    return QStringLiteral("The reply is larger than %1 bytes.").arg(maxBytes);
}

} // namespace

QtHttpGetter::QtHttpGetter() = default;

QtHttpGetter::~QtHttpGetter() = default;

HttpResult QtHttpGetter::get(const QUrl &url, std::chrono::milliseconds timeout, qint64 maxBytes)
{
    if (!m_manager)
        m_manager = std::make_unique<QNetworkAccessManager>();
    QNetworkRequest request(url);
    // Only the update server is ever talked to: a redirect elsewhere is an error.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    // Requests are minutes apart: no idle connection is kept open to the server.
    request.setRawHeader("Connection", "close");

    QByteArray body;
    bool tooLarge = false;
    bool timedOut = false;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    // Declared last so that it goes first, before the locals its handlers use.
    const std::unique_ptr<QNetworkReply> reply(m_manager->get(request));

    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(&deadline, &QTimer::timeout, reply.get(), [&] {
        timedOut = true;
        reply->abort();
    });
    QObject::connect(reply.get(), &QNetworkReply::metaDataChanged, reply.get(), [&] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > maxBytes) {
            tooLarge = true;
            reply->abort();
        }
    });
    QObject::connect(reply.get(), &QNetworkReply::readyRead, reply.get(), [&] {
        body += reply->readAll();
        if (body.size() > maxBytes) {
            tooLarge = true;
            reply->abort();
        }
    });

    if (!reply->isFinished()) {
        deadline.start(timeout);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        deadline.stop();
    }
    if (!reply->isFinished()) {
        // The loop was left early (the program is quitting): no reply.
        reply->abort();
        return failure(QStringLiteral("The request was interrupted."));
    }
    if (timedOut)
        return failure(QStringLiteral("No reply within %1 ms.").arg(timeout.count()));
    if (tooLarge)
        return failure(tooLargeText(maxBytes));

    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid())
        return failure(reply->errorString());
    const int code = status.toInt();
    if (code < 200 || code > 299)
        return failure(QStringLiteral("The server answered with HTTP status %1.").arg(code));
    if (reply->error() != QNetworkReply::NoError)
        return failure(reply->errorString());

    body += reply->readAll();
    if (body.size() > maxBytes)
        return failure(tooLargeText(maxBytes));
    return {std::move(body), {}};
}
