#pragma once

#include "httpModule.h"

#include <QNetworkAccessManager>
#include <QObject>

// GET through QNetworkAccessManager.
class NetworkGetter : public HttpGetter
{
public:
    HttpResult get(const QUrl &url, std::chrono::milliseconds timeout, qint64 maxBytes) override;

private:
    QNetworkAccessManager m_manager;
};

class NetworkModule : public QObject, public HttpModule
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID HttpModule_iid)
    Q_INTERFACES(HttpModule)
public:
    std::unique_ptr<HttpGetter> createHttpGetter() override;
};
