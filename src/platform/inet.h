#pragma once

#include <QObject>
#include <QString>

#include <chrono>
#include <optional>

class HttpGetter;

// The game's one HTTP client, talking to the update server only. A fetch waits for its reply
// right here, with every window disabled and a busy cursor, so nothing the player clicks or
// types meanwhile is carried out afterwards.
class Inet : public QObject
{
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds defaultTimeout{60000};
    // The whole chain database is well under one MiB; anything this large is not ours.
    static constexpr qint64 maxReplyBytes = 4 * 1024 * 1024;

    explicit Inet(HttpGetter &getter, QObject *parent = nullptr);

    QString host() const { return m_host; }
    void setHost(const QString &host) { m_host = host; }

    std::chrono::milliseconds timeout() const { return m_timeout; }
    void setTimeout(std::chrono::milliseconds timeout) { m_timeout = timeout; }

    // GET "http://" + host + path, where path starts with "/" and any query in it is already
    // percent-encoded. Gives the body, one character per byte (Latin-1), or nothing when no
    // good reply came: no connection, time-out, a status other than 2xx, or a body over
    // maxReplyBytes.
    std::optional<QString> openUrl(const QString &path);

    // Why the last openUrl gave nothing.
    QString errorString() const { return m_errorString; }

private:
    std::optional<QString> fail(const QString &reason);

    HttpGetter &m_getter;
    QString m_host;
    std::chrono::milliseconds m_timeout = defaultTimeout;
    QString m_errorString;
    bool m_busy = false;
};
