#pragma once

#include "httpGetter.h"

#include <memory>

class QNetworkAccessManager;

// GET through QNetworkAccessManager, made at the first request: most runs never make one.
class QtHttpGetter : public HttpGetter
{
public:
    QtHttpGetter();
    ~QtHttpGetter() override;
    HttpResult get(const QUrl &url, std::chrono::milliseconds timeout, qint64 maxBytes) override;

private:
    std::unique_ptr<QNetworkAccessManager> m_manager;
};
