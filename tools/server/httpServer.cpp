#include "httpServer.h"

#include "requestHandler.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <memory>

namespace {

using Clock = std::chrono::steady_clock;

// Requests carry no body.
constexpr size_t maxPayloadBytes = 1024;

std::string addressText(const sockaddr_storage &address, int *port)
{
    char text[INET6_ADDRSTRLEN] = {};
    if (address.ss_family == AF_INET) {
        const auto &v4 = reinterpret_cast<const sockaddr_in &>(address);
        inet_ntop(AF_INET, &v4.sin_addr, text, sizeof text);
        *port = ntohs(v4.sin_port);
    } else if (address.ss_family == AF_INET6) {
        const auto &v6 = reinterpret_cast<const sockaddr_in6 &>(address);
        inet_ntop(AF_INET6, &v6.sin6_addr, text, sizeof text);
        *port = ntohs(v6.sin6_port);
    }
    return text;
}

// A socket stream that gives up once the request has taken too many bytes or too long.
class BoundedStream : public httplib::Stream
{
public:
    BoundedStream(int sock, const BoundedServer::Limits &limits)
        : m_sock(sock)
        , m_limits(limits)
        , m_readDeadline(Clock::now() + limits.requestDeadline)
        , m_writeDeadline(Clock::now() + limits.connectionDeadline)
    {
    }

    bool is_readable() const override { return m_next < m_filled || wait(POLLIN, true); }
    bool is_writable() const override { return wait(POLLOUT, false); }

    // The library reads request lines a byte at a time: they come from a buffer here.
    ssize_t read(char *ptr, size_t size) override
    {
        if (m_next == m_filled) {
            const size_t left = m_limits.maxRequestBytes - m_read;
            if (left == 0 || !is_readable())
                return -1;
            const ssize_t n = ::recv(m_sock, m_buffer.data(), std::min(m_buffer.size(), left), 0);
            if (n <= 0)
                return n;
            m_read += static_cast<size_t>(n);
            m_next = 0;
            m_filled = static_cast<size_t>(n);
        }
        const size_t count = std::min(size, m_filled - m_next);
        std::copy_n(m_buffer.data() + m_next, count, ptr);
        m_next += count;
        return static_cast<ssize_t>(count);
    }

    ssize_t write(const char *ptr, size_t size) override
    {
        if (!is_writable())
            return -1;
        return ::send(m_sock, ptr, size, MSG_NOSIGNAL);
    }

    void get_remote_ip_and_port(std::string &ip, int &port) const override
    {
        sockaddr_storage address{};
        socklen_t length = sizeof address;
        port = 0;
        ip = getpeername(m_sock, reinterpret_cast<sockaddr *>(&address), &length) == 0
                 ? addressText(address, &port)
                 : std::string();
    }

    void get_local_ip_and_port(std::string &ip, int &port) const override
    {
        sockaddr_storage address{};
        socklen_t length = sizeof address;
        port = 0;
        ip = getsockname(m_sock, reinterpret_cast<sockaddr *>(&address), &length) == 0
                 ? addressText(address, &port)
                 : std::string();
    }

    socket_t socket() const override { return m_sock; }

private:
    bool wait(short events, bool reading) const
    {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            (reading ? m_readDeadline : m_writeDeadline) - Clock::now());
        const auto timeout = std::min(m_limits.ioTimeout, left);
        if (timeout.count() <= 0)
            return false;
        pollfd fd{m_sock, events, 0};
        return ::poll(&fd, 1, static_cast<int>(timeout.count())) > 0 &&
               (fd.revents & (events | POLLHUP)) != 0;
    }

    const int m_sock;
    const BoundedServer::Limits m_limits;
    const Clock::time_point m_readDeadline;
    const Clock::time_point m_writeDeadline;
    size_t m_read = 0;
    std::array<char, 4096> m_buffer{};
    size_t m_next = 0;
    size_t m_filled = 0;
};

// The library compresses every text body set whole, with Brotli at its slowest setting when
// the client offers it (the game's client does): over half a second of work for each download
// of a full database. A body handed over as a provider of known length goes out as it is.
void sendAsItIs(httplib::Response &response, HttpReply reply)
{
    if (reply.body.empty()) {
        response.set_content(std::string(), reply.contentType);
        return;
    }
    const auto body = std::make_shared<const std::string>(std::move(reply.body));
    response.set_content_provider(body->size(), reply.contentType,
                                  [body](size_t offset, size_t length, httplib::DataSink &sink) {
                                      return offset < body->size() &&
                                             sink.write(body->data() + offset,
                                                        std::min(length, body->size() - offset));
                                  });
}

} // namespace

BoundedServer::BoundedServer(RequestHandler &handler, const Limits &limits)
    : m_limits(limits)
{
    const size_t workers = limits.workerThreads;
    new_task_queue = [workers] { return new httplib::ThreadPool(workers); };
    set_payload_max_length(maxPayloadBytes);
    set_pre_routing_handler([&handler](const httplib::Request &request,
                                       httplib::Response &response) {
        // No request of ours has a body. It is refused unread, and the connection closed.
        const std::string length = request.get_header_value("Content-Length");
        if (request.has_header("Transfer-Encoding") || (!length.empty() && length != "0")) {
            response.status = 413;
            response.set_content("Requests take no body\n", "text/plain");
            return Server::HandlerResponse::Handled;
        }
        HttpReply reply =
            handler.handle({request.method, request.target.empty() ? request.path : request.target,
                            request.remote_addr});
        response.status = reply.status;
        sendAsItIs(response, std::move(reply));
        return Server::HandlerResponse::Handled;
    });
}

bool BoundedServer::process_and_close_socket(socket_t sock)
{
    BoundedStream stream(sock, m_limits);
    bool connectionClosed = false;
    const bool served = process_request(stream, true, connectionClosed, {});
    ::shutdown(sock, SHUT_RDWR);
    ::close(sock);
    return served;
}
