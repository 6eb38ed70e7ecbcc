#include "httpServer.h"

#include "requestHandler.h"

namespace {

// Requests carry no body; the request line itself is capped by the library (414).
constexpr size_t maxPayloadBytes = 1024;
// Every connection occupies a worker while it lasts; the time-outs below bound how long.
constexpr size_t workerThreads = 32;

} // namespace

void serveThrough(httplib::Server &server, RequestHandler &handler)
{
    server.new_task_queue = [] { return new httplib::ThreadPool(workerThreads); };
    server.set_payload_max_length(maxPayloadBytes);
    server.set_read_timeout(5, 0);
    server.set_write_timeout(5, 0);
    server.set_keep_alive_timeout(2);
    server.set_keep_alive_max_count(100);
    server.set_pre_routing_handler([&handler](const httplib::Request &request,
                                              httplib::Response &response) {
        // No request of ours has a body. It is refused unread, and the connection closed so
        // that the unread bytes are not taken for the next request.
        const std::string length = request.get_header_value("Content-Length");
        if (request.has_header("Transfer-Encoding") || (!length.empty() && length != "0")) {
            response.status = 413;
            response.set_header("Connection", "close");
            response.set_content("Requests take no body\n", "text/plain");
            return httplib::Server::HandlerResponse::Handled;
        }
        const HttpReply reply =
            handler.handle({request.method, request.target.empty() ? request.path : request.target,
                            request.remote_addr});
        response.status = reply.status;
        response.set_content(reply.body, reply.contentType.c_str());
        return httplib::Server::HandlerResponse::Handled;
    });
}
