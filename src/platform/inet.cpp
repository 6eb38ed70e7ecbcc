#include "inet.h"

#include "httpGetter.h"

#include <QApplication>
#include <QEventLoop>
#include <QList>
#include <QPointer>
#include <QScopeGuard>
#include <QUrl>
#include <QWidget>

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

Inet::Inet(HttpGetter &getter, QObject *parent)
    : QObject(parent)
    , m_getter(getter)
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

    HttpResult result = m_getter.get(url, m_timeout, maxReplyBytes);
    if (!result.body)
        return fail(result.errorString);
    return QString::fromLatin1(*result.body);
}
