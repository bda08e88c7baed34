#pragma once
// A web server of the test's own on 127.0.0.1, as the update server: every request gets the
// same answer, or none at all, and the requests it saw are kept.

#include <winsock2.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace mendlet::test_support {

class WebServer {
public:
    // An answer's body, sent with status 200 and a cookie; a server that does not answer accepts the
    // connection and then keeps silent until it goes.
    explicit WebServer(std::string body, bool answers = true);
    ~WebServer();
    WebServer(const WebServer&) = delete;
    WebServer& operator=(const WebServer&) = delete;

    // "http://127.0.0.1:port".
    std::wstring address() const;
    // The request line and headers of every request so far.
    std::vector<std::string> requests() const;

private:
    void serve();
    void answer(SOCKET connection);

    std::string body_;
    bool answers_;
    SOCKET listener_ = INVALID_SOCKET;
    unsigned short port_ = 0;
    mutable std::mutex mutex_;
    std::vector<std::string> requests_;
    std::vector<SOCKET> silent_connections_;
    std::thread thread_;
};

// An address where nothing listens: a port that was free a moment ago.
std::wstring address_without_server();

}  // namespace mendlet::test_support
