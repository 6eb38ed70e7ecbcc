#include "httpServer.h"

#include "requestHandler.h"

#include <microhttpd.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

std::string addressText(const sockaddr *address)
{
    char text[INET6_ADDRSTRLEN] = {};
    if (address && address->sa_family == AF_INET)
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in *>(address)->sin_addr, text,
                  sizeof text);
    else if (address && address->sa_family == AF_INET6)
        inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6 *>(address)->sin6_addr, text,
                  sizeof text);
    return text;
}

} // namespace

// One TCP connection, from accept to close; the reaper reads `fd` and `deadline`.
struct HttpServer::Connection
{
    int fd = -1;
    std::string address;
    std::string target; // of the request being read, as sent
    bool headersRead = false;
    bool answered = false;
    std::optional<HttpReply> deferred; // set by a store worker before it resumes the connection
    bool reaped = false;
    std::atomic<Clock::rep> deadline{0};

    void allow(std::chrono::milliseconds time)
    {
        deadline = (Clock::now() + time).time_since_epoch().count();
    }
};

struct HttpServerCallbacks
{
    static HttpServer::Connection *connectionOf(MHD_Connection *connection)
    {
        const MHD_ConnectionInfo *info =
            MHD_get_connection_info(connection, MHD_CONNECTION_INFO_SOCKET_CONTEXT);
        return info ? static_cast<HttpServer::Connection *>(info->socket_context) : nullptr;
    }

    static void notify(void *cls, MHD_Connection *connection, void **context,
                       MHD_ConnectionNotificationCode code)
    {
        auto &server = *static_cast<HttpServer *>(cls);
        if (code == MHD_CONNECTION_NOTIFY_STARTED) {
            auto state = std::make_unique<HttpServer::Connection>();
            if (const auto *info =
                    MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD))
                state->fd = info->connect_fd;
            if (const auto *info =
                    MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS))
                state->address = addressText(info->client_addr);
            state->allow(server.m_limits.requestDeadline);
            const std::lock_guard lock(server.m_mutex);
            server.m_connections.insert(state.get());
            *context = state.release();
            return;
        }
        // The library closes the socket only after this, so the reaper never touches a
        // descriptor that could already belong to another connection.
        std::unique_ptr<HttpServer::Connection> state(
            static_cast<HttpServer::Connection *>(*context));
        const std::lock_guard lock(server.m_mutex);
        server.m_connections.erase(state.get());
    }

    // Called with the request target exactly as sent, before the library decodes it: the
    // handler decodes the query itself, and "/chayn%2Ever" is no name of a package file.
    static void *requestStarted(void *, const char *target, MHD_Connection *connection)
    {
        HttpServer::Connection *state = connectionOf(connection);
        if (state)
            state->target = target;
        return state;
    }

    static MHD_Result answer(void *cls, MHD_Connection *connection, const char *,
                             const char *method, const char *, const char *, size_t *uploadSize,
                             void **requestContext)
    {
        auto &server = *static_cast<HttpServer *>(cls);
        auto *state = static_cast<HttpServer::Connection *>(*requestContext);
        if (!state)
            return MHD_NO;
        if (state->answered) {
            *uploadSize = 0; // a body after the refusal below: dropped unread
            return MHD_YES;
        }
        HttpReply reply;
        // No request of ours has a body; it is refused unread, and the connection closed.
        const char *length = MHD_lookup_connection_value(connection, MHD_HEADER_KIND,
                                                         MHD_HTTP_HEADER_CONTENT_LENGTH);
        if (MHD_lookup_connection_value(connection, MHD_HEADER_KIND,
                                        MHD_HTTP_HEADER_TRANSFER_ENCODING) ||
            (length && std::strcmp(length, "0") != 0)) {
            reply = {413, "text/plain", "Requests take no body\n", {}};
        } else if (!state->headersRead) {
            // The library keeps a connection alive only for a reply given once the whole
            // request is in, on the call that follows this one.
            state->headersRead = true;
            state->allow(server.m_limits.replyDeadline);
            return MHD_YES;
        } else if (state->deferred) {
            reply = std::move(*state->deferred); // resumed: the store worker's answer
            state->deferred.reset();
        } else if (std::string_view(state->target).substr(0, state->target.find('?')) ==
                       "/chain.php" &&
                   server.deferToStore(
                       [&server, state, connection,
                        request = HttpRequest{method, state->target, state->address}] {
                           state->deferred = server.m_handler.handle(request);
                           MHD_resume_connection(connection);
                       })) {
            // A submission waits for its commit on a store worker, so that the event threads
            // go on serving every other connection meanwhile.
            MHD_suspend_connection(connection);
            return MHD_YES;
        } else {
            reply = server.m_handler.handle({method, state->target, state->address});
        }
        state->answered = true;

        MHD_Response *response = nullptr;
        if (reply.file.isOpen()) {
            // Sent with sendfile() from the file opened for this request, never copied.
            const size_t size = reply.file.size();
            response = MHD_create_response_from_fd(size, reply.file.release());
        } else {
            response = MHD_create_response_from_buffer(reply.body.size(), reply.body.data(),
                                                       MHD_RESPMEM_MUST_COPY);
        }
        if (!response)
            return MHD_NO;
        MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, reply.contentType.c_str());
        const MHD_Result queued =
            MHD_queue_response(connection, static_cast<unsigned>(reply.status), response);
        MHD_destroy_response(response);
        return queued;
    }

    static void requestCompleted(void *cls, MHD_Connection *, void **requestContext,
                                 MHD_RequestTerminationCode)
    {
        auto &server = *static_cast<HttpServer *>(cls);
        if (auto *state = static_cast<HttpServer::Connection *>(*requestContext)) {
            state->headersRead = false;
            state->answered = false;
            state->target.clear();
            state->allow(server.m_limits.requestDeadline);
        }
    }
};

HttpServer::HttpServer(RequestHandler &handler, const Limits &limits)
    : m_handler(handler)
    , m_limits(limits)
{
}

HttpServer::~HttpServer()
{
    stop();
}

int HttpServer::start(const std::string &address, int port)
{
    sockaddr_storage socketAddress{};
    auto &v4 = reinterpret_cast<sockaddr_in &>(socketAddress);
    auto &v6 = reinterpret_cast<sockaddr_in6 &>(socketAddress);
    unsigned flags = MHD_USE_EPOLL_INTERNAL_THREAD | MHD_USE_TURBO | MHD_ALLOW_SUSPEND_RESUME;
    if (inet_pton(AF_INET, address.c_str(), &v4.sin_addr) == 1) {
        v4.sin_family = AF_INET;
        v4.sin_port = htons(static_cast<uint16_t>(port));
    } else if (inet_pton(AF_INET6, address.c_str(), &v6.sin6_addr) == 1) {
        v6.sin6_family = AF_INET6;
        v6.sin6_port = htons(static_cast<uint16_t>(port));
        flags |= MHD_USE_IPv6;
    } else {
        throw std::runtime_error(address + ": not an IPv4 or IPv6 address");
    }
    const unsigned threads =
        m_limits.threads ? m_limits.threads : std::max(2U, std::thread::hardware_concurrency());

    m_daemon = MHD_start_daemon(
        flags, 0, nullptr, nullptr, &HttpServerCallbacks::answer, this, MHD_OPTION_SOCK_ADDR,
        &socketAddress, MHD_OPTION_THREAD_POOL_SIZE, threads, MHD_OPTION_CONNECTION_LIMIT,
        m_limits.connections, MHD_OPTION_PER_IP_CONNECTION_LIMIT, m_limits.connectionsPerAddress,
        MHD_OPTION_CONNECTION_TIMEOUT, m_limits.idleSeconds, MHD_OPTION_CONNECTION_MEMORY_LIMIT,
        m_limits.connectionMemory, MHD_OPTION_LISTEN_BACKLOG_SIZE, m_limits.backlog,
        MHD_OPTION_NOTIFY_CONNECTION, &HttpServerCallbacks::notify, this,
        MHD_OPTION_URI_LOG_CALLBACK, &HttpServerCallbacks::requestStarted, this,
        MHD_OPTION_NOTIFY_COMPLETED, &HttpServerCallbacks::requestCompleted, this, MHD_OPTION_END);
    if (!m_daemon)
        throw std::runtime_error(address + " port " + std::to_string(port) +
                                 ": cannot listen there (in use, or not this machine's address)");
    m_reaper = std::thread([this] { reapOverdue(); });
    for (unsigned i = 0; i < m_limits.storeWorkers; ++i)
        m_storeWorkers.emplace_back([this] { runStoreTasks(); });
    const MHD_DaemonInfo *info = MHD_get_daemon_info(m_daemon, MHD_DAEMON_INFO_BIND_PORT);
    return info ? info->port : port;
}

void HttpServer::stop()
{
    if (!m_daemon)
        return;
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    m_reaper.join();
    // The workers finish every submission taken (and resume its connection) before they end;
    // any that comes later is stored on the event thread.
    for (std::thread &worker : m_storeWorkers)
        worker.join();
    m_storeWorkers.clear();
    MHD_stop_daemon(m_daemon);
    m_daemon = nullptr;
}

// Shutting a socket down (not closing it) makes the library see the end of the connection and
// close it in its own time.
void HttpServer::reapOverdue()
{
    std::unique_lock lock(m_mutex);
    while (!m_wake.wait_for(lock, std::chrono::milliseconds(200), [this] { return m_stopping; })) {
        const Clock::rep now = Clock::now().time_since_epoch().count();
        for (Connection *connection : m_connections) {
            if (!connection->reaped && connection->deadline < now) {
                ::shutdown(connection->fd, SHUT_RDWR);
                connection->reaped = true;
            }
        }
    }
}

bool HttpServer::deferToStore(std::function<void()> task)
{
    {
        const std::lock_guard lock(m_mutex);
        if (m_stopping || m_storeWorkers.empty())
            return false;
        m_storeTasks.push_back(std::move(task));
    }
    m_wake.notify_all();
    return true;
}

void HttpServer::runStoreTasks()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stopping || !m_storeTasks.empty(); });
        if (m_storeTasks.empty())
            return;
        const std::function<void()> task = std::move(m_storeTasks.front());
        m_storeTasks.pop_front();
        lock.unlock();
        task();
        lock.lock();
    }
}
