#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace tintra {

// An HTTP/1.1 server on 127.0.0.1 for the tests of the update feed: each GET
// is answered with the body stored for its path, or 404, and the connection
// closed.
class LoopbackHttpServer {
public:
    LoopbackHttpServer()
    {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(listener_, 8);
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { serve(); });
    }

    ~LoopbackHttpServer()
    {
        ::shutdown(listener_, SHUT_RDWR);
        ::close(listener_);
        thread_.join();
    }

    void put(const std::string& path, std::string body)
    {
        const std::lock_guard lock(mutex_);
        bodies_[path] = std::move(body);
    }

    std::string url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }

private:
    void serve()
    {
        for (;;) {
            const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (connection < 0)
                return;
            answer(connection);
            ::close(connection);
        }
    }

    void answer(int connection)
    {
        std::string request;
        char buffer[4096];
        while (request.find("\r\n\r\n") == std::string::npos) {
            const ssize_t got = ::read(connection, buffer, sizeof buffer);
            if (got <= 0)
                return;
            request.append(buffer, std::size_t(got));
        }
        const auto pathStart = request.find(' ') + 1;
        const std::string path = request.substr(pathStart, request.find(' ', pathStart) - pathStart);
        std::string response;
        {
            const std::lock_guard lock(mutex_);
            const auto found = bodies_.find(path);
            const std::string status = found == bodies_.end() ? "404 Not Found" : "200 OK";
            const std::string body = found == bodies_.end() ? "" : found->second;
            response = "HTTP/1.1 " + status + "\r\nContent-Length: " + std::to_string(body.size())
                + "\r\nConnection: close\r\n\r\n" + body;
        }
        for (std::size_t sent = 0; sent < response.size();) {
            const ssize_t wrote = ::send(connection, response.data() + sent, response.size() - sent, MSG_NOSIGNAL);
            if (wrote <= 0)
                return;
            sent += std::size_t(wrote);
        }
    }

    int listener_ = -1;
    int port_ = 0;
    std::mutex mutex_;
    std::map<std::string, std::string> bodies_;
    std::thread thread_;
};

} // namespace tintra
