#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <chrono>
#include <optional>

// What one GET brought: the body of a 2xx reply, or why there is none.
struct HttpResult
{
    std::optional<QByteArray> body;
    QString errorString;
};

// One GET at a time, waited for in a local event loop that leaves user input queued. No
// redirect is followed, and a body over maxBytes is refused without being read to the end.
class HttpGetter
{
public:
    virtual ~HttpGetter() = default;
    virtual HttpResult get(const QUrl &url, std::chrono::milliseconds timeout, qint64 maxBytes) = 0;
};
