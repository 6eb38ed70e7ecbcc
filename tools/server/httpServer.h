#pragma once

#include <httplib.h>

class RequestHandler;

// Puts the server's limits on an httplib server and sends every request to the handler.
void serveThrough(httplib::Server &server, RequestHandler &handler);
