#include "inet.h"

#include <QApplication>
#include <QEventLoop>
#include <QList>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QScopeGuard>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <memory>

namespace {

// Disables every enabled top-level window and shows a busy cursor for its lifetime. Input that
// arrived meanwhile is delivered, and thrown away, while the windows are still disabled.
class InputBlocker
{
public:
    InputBlocker()
    {
        if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
            return;
        // Disabling a window takes the focus from its controls; it is given back afterwards.
        m_focus = QApplication::focusWidget();
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (window->isEnabled()) {
                window->setEnabled(false);
                m_disabled.append(window);
            }
        }
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_active = true;
    }

    ~InputBlocker()
    {
        if (!m_active)
            return;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        for (const QPointer<QWidget> &window : std::as_const(m_disabled)) {
            if (window)
                window->setEnabled(true);
        }
        if (m_focus && m_focus->isVisible() && m_focus->isEnabled())
            m_focus->setFocus(Qt::OtherFocusReason);
        QApplication::restoreOverrideCursor();
    }

    InputBlocker(const InputBlocker &) = delete;
    InputBlocker &operator=(const InputBlocker &) = delete;

private:
    QList<QPointer<QWidget>> m_disabled;
    QPointer<QWidget> m_focus;
    bool m_active = false;
};

} // namespace

Inet::Inet(QObject *parent)
    : QObject(parent)
    , m_host(QStringLiteral(QUILLORA_UPDATE_HOST))
{
}

std::optional<QString> Inet::fail(const QString &reason)
{
    m_errorString = reason;
    return std::nullopt;
}

std::optional<QString> Inet::openUrl(const QString &path)
{
    m_errorString.clear();
    // Timers keep running during the wait; a second fetch from one of them must not nest.
    if (m_busy)
        return fail(QStringLiteral("Another request is in progress."));

    const QUrl url(QStringLiteral("http://") + m_host + path, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty())
        return fail(QStringLiteral("Invalid URL: %1").arg(url.errorString()));

    m_busy = true;
    const auto notBusy = qScopeGuard([this] { m_busy = false; });
    const InputBlocker blocker;

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
    if (!m_manager)
        m_manager = std::make_unique<QNetworkAccessManager>();
    const std::unique_ptr<QNetworkReply> reply(m_manager->get(request));

    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(&deadline, &QTimer::timeout, reply.get(), [&] {
        timedOut = true;
        reply->abort();
    });
    QObject::connect(reply.get(), &QNetworkReply::metaDataChanged, reply.get(), [&] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > maxReplyBytes) {
            tooLarge = true;
            reply->abort();
        }
    });
    QObject::connect(reply.get(), &QNetworkReply::readyRead, reply.get(), [&] {
        body += reply->readAll();
        if (body.size() > maxReplyBytes) {
            tooLarge = true;
            reply->abort();
        }
    });

    if (!reply->isFinished()) {
        deadline.start(m_timeout);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        deadline.stop();
    }
    if (!reply->isFinished()) {
        // The loop was left early (the program is quitting): no reply.
        reply->abort();
        return fail(QStringLiteral("The request was interrupted."));
    }
    if (timedOut)
        return fail(QStringLiteral("No reply within %1 ms.").arg(m_timeout.count()));
    if (tooLarge)
        return fail(QStringLiteral("The reply is larger than %1 bytes.").arg(maxReplyBytes));

    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid())
        return fail(reply->errorString());
    const int code = status.toInt();
    if (code < 200 || code > 299)
        return fail(QStringLiteral("The server answered with HTTP status %1.").arg(code));
    if (reply->error() != QNetworkReply::NoError)
        return fail(reply->errorString());

    body += reply->readAll();
    if (body.size() > maxReplyBytes)
        return fail(QStringLiteral("The reply is larger than %1 bytes.").arg(maxReplyBytes));
    return QString::fromLatin1(body);
}
