#include "support/web_server_win32.h"

#include <ws2tcpip.h>

namespace mendlet::test_support {

namespace {

// A socket listening on 127.0.0.1 at a port the system picks.
SOCKET listen_locally(unsigned short& port) {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    const SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in place{};
    place.sin_family = AF_INET;
    place.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int size = sizeof(place);
    if (bind(listener, reinterpret_cast<sockaddr*>(&place), size) != 0 || listen(listener, 8) != 0 ||
        getsockname(listener, reinterpret_cast<sockaddr*>(&place), &size) != 0) {
        closesocket(listener);
        return INVALID_SOCKET;
    }
    port = ntohs(place.sin_port);
    return listener;
}

// The request up to the blank line that ends its headers.
std::string read_request(SOCKET connection) {
    std::string request;
    char piece[1024];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
        const int received = recv(connection, piece, sizeof(piece), 0);
        if (received <= 0) break;
        request.append(piece, static_cast<std::size_t>(received));
    }
    return request.substr(0, request.find("\r\n\r\n"));
}

std::wstring local_address(unsigned short port) { return L"http://127.0.0.1:" + std::to_wstring(port); }

}  // namespace

WebServer::WebServer(std::string body, bool answers) : body_(std::move(body)), answers_(answers) {
    listener_ = listen_locally(port_);
    if (listener_ != INVALID_SOCKET) thread_ = std::thread([this] { serve(); });
}

WebServer::~WebServer() {
    // Closing the listener ends the wait for the next connection.
    if (listener_ != INVALID_SOCKET) closesocket(listener_);
    if (thread_.joinable()) thread_.join();
    for (const SOCKET connection : silent_connections_) closesocket(connection);
    WSACleanup();
}

std::wstring WebServer::address() const { return local_address(port_); }

std::vector<std::string> WebServer::requests() const {
    const std::lock_guard lock(mutex_);
    return requests_;
}

void WebServer::serve() {
    for (;;) {
        const SOCKET connection = accept(listener_, nullptr, nullptr);
        if (connection == INVALID_SOCKET) return;
        answer(connection);
    }
}

void WebServer::answer(SOCKET connection) {
    const std::string request = read_request(connection);
    const std::lock_guard lock(mutex_);
    requests_.push_back(request);
    if (!answers_) {
        silent_connections_.push_back(connection);
        return;
    }
    const std::string reply = "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " +
                              std::to_string(body_.size()) + "\r\nSet-Cookie: visited=1; Path=/\r\nConnection: close\r\n\r\n" + body_;
    send(connection, reply.data(), static_cast<int>(reply.size()), 0);
    shutdown(connection, SD_SEND);
    closesocket(connection);
}

std::wstring address_without_server() {
    unsigned short port = 0;
    const SOCKET listener = listen_locally(port);
    closesocket(listener);
    WSACleanup();
    return local_address(port);
}

}  // namespace mendlet::test_support
