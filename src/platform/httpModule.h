#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <QtPlugin>

#include <chrono>
#include <memory>
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

// What the network module offers.
class HttpModule
{
public:
    static inline const QString fileName = QStringLiteral("quillora_http");

    virtual ~HttpModule() = default;
    virtual std::unique_ptr<HttpGetter> createHttpGetter() = 0;
};

#define HttpModule_iid "org.quillora.HttpModule/1"
Q_DECLARE_INTERFACE(HttpModule, HttpModule_iid)
