// SPDX-License-Identifier: GPL-3.0-or-later
//
// A throwaway PostgreSQL cluster for the tests that need a real server: initdb and pg_ctl
// in a temporary folder, on a free port of 127.0.0.1, trusting local logins. Run as root,
// the server runs as the unprivileged user "nobody" (initdb refuses root). One cluster per
// test program, started on first use and stopped when the program ends, also after failed
// tests. Where the server's programs are not installed, `start` says why and tests skip.
// KAMBRIX_PG_BIN names the folder of initdb and pg_ctl; by default the newest of
// /usr/lib/postgresql/<version>/bin, else the PATH.
#pragma once

#include <quarvex/quarvex.h>

#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace kambrix::test {

class ThrowawayServer {
  public:
    // The program's server, started on first use; nullptr with `whyNot` set when it cannot be.
    static ThrowawayServer* shared(std::string& whyNot) {
        static std::string reason;
        static std::unique_ptr<ThrowawayServer> server = [] {
            auto s = std::unique_ptr<ThrowawayServer>(new ThrowawayServer());
            reason = s->start();
            return reason.empty() ? std::move(s) : nullptr;
        }();
        whyNot = reason;
        return server.get();
    }

    ~ThrowawayServer() {
        if (running_) {
            run({bin_ / "pg_ctl", "-D", data_.string(), "-m", "immediate", "-w", "stop"});
        }
        std::error_code ec;
        if (!folder_.empty()) {
            std::filesystem::remove_all(folder_, ec);
        }
    }
    ThrowawayServer(const ThrowawayServer&) = delete;
    ThrowawayServer& operator=(const ThrowawayServer&) = delete;

    // The URI of a database of the cluster.
    std::string uri(const std::string& database = "postgres") const {
        return "postgresql://kambrix@127.0.0.1:" + std::to_string(port_) + "/" + database;
    }
    int port() const { return port_; }

    // A new empty database of its own (for one test), by its URI.
    std::string freshDatabase() {
        static std::atomic<int> counter{0};
        const std::string name =
            "kx_" + std::to_string(::getpid()) + "_" + std::to_string(counter++);
        quarvex::Connection con(quarvex::makeServerConnectionString(uri(), ""));
        con.Open();
        con.Execute("CREATE DATABASE " + name);
        return uri(name);
    }

  private:
    ThrowawayServer() = default;

    static std::filesystem::path findBinaries() {
        std::error_code ec;
        // KAMBRIX_PG_BIN chooses the folder of the server's programs (one without them: none).
        if (const char* env = std::getenv("KAMBRIX_PG_BIN"); env != nullptr && *env != '\0') {
            return std::filesystem::exists(std::filesystem::path(env) / "initdb", ec)
                       ? std::filesystem::path(env)
                       : std::filesystem::path();
        }
        std::filesystem::path best;  // the newest major version installed
        int bestVersion = -1;
        if (std::filesystem::is_directory("/usr/lib/postgresql", ec)) {
            for (const auto& e : std::filesystem::directory_iterator("/usr/lib/postgresql", ec)) {
                const int version = std::atoi(e.path().filename().c_str());
                if (version > bestVersion &&
                    std::filesystem::exists(e.path() / "bin" / "initdb", ec)) {
                    best = e.path() / "bin";
                    bestVersion = version;
                }
            }
        }
        if (!best.empty()) {
            return best;
        }
        if (const char* path = std::getenv("PATH")) {
            std::string p = path;
            for (std::size_t from = 0; from <= p.size();) {
                std::size_t to = p.find(':', from);
                if (to == std::string::npos) {
                    to = p.size();
                }
                const std::filesystem::path dir = p.substr(from, to - from);
                if (!dir.empty() && std::filesystem::exists(dir / "initdb", ec) &&
                    std::filesystem::exists(dir / "pg_ctl", ec)) {
                    return dir;
                }
                from = to + 1;
            }
        }
        return {};
    }

    static int freePort() {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        addr.sin_port = 0;
        socklen_t len = sizeof addr;
        int port = 0;
        if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
            ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0) {
            port = ntohs(addr.sin_port);
        }
        ::close(fd);
        return port;
    }

    static std::string quotedArg(const std::string& s) {
        std::string out = "'";
        for (char c : s) {
            out += c == '\'' ? std::string("'\\''") : std::string(1, c);
        }
        return out + "'";
    }

    // Runs a program of the server, as `nobody` when this process is root; its output goes
    // to the cluster's log.
    int run(const std::vector<std::string>& args) const {
        std::string cmd;
        if (asNobody_) {
            cmd = "runuser -u nobody -- ";
        }
        for (const auto& a : args) {
            cmd += quotedArg(a) + " ";
        }
        cmd += ">>" + quotedArg((folder_ / "commands.log").string()) + " 2>&1";
        return std::system(cmd.c_str());
    }

    std::string start() {
        bin_ = findBinaries();
        if (bin_.empty()) {
            return "the PostgreSQL server programs (initdb, pg_ctl) are not installed";
        }
        char pattern[] = "/tmp/kambrix-pg-XXXXXX";
        if (::mkdtemp(pattern) == nullptr) {
            return "no temporary folder for the test server";
        }
        folder_ = pattern;
        data_ = folder_ / "data";
        if (::geteuid() == 0) {
            const passwd* nobody = ::getpwnam("nobody");
            if (nobody == nullptr || std::system("command -v runuser >/dev/null 2>&1") != 0) {
                return "running as root, and there is no user nobody (or no runuser) to run "
                       "the test server";
            }
            if (::chown(folder_.c_str(), nobody->pw_uid, nobody->pw_gid) != 0) {
                return "the test server's folder cannot be given to nobody";
            }
            asNobody_ = true;
        }
        if (run({bin_ / "initdb", "-D", data_.string(), "-A", "trust", "-U", "kambrix", "--no-sync",
                 "-E", "UTF8", "--no-locale"}) != 0) {
            return "initdb failed (see " + (folder_ / "commands.log").string() + ")";
        }
        for (int attempt = 0; attempt < 3 && !running_; ++attempt) {
            port_ = freePort();
            running_ = run({bin_ / "pg_ctl", "-D", data_.string(), "-l",
                            (folder_ / "server.log").string(), "-w", "-t", "60", "-o",
                            "-p " + std::to_string(port_) + " -k " + folder_.string() +
                                " -c listen_addresses=127.0.0.1 -F",
                            "start"}) == 0;
        }
        if (!running_) {
            return "the test server did not start (see " + (folder_ / "server.log").string() + ")";
        }
        return {};
    }

    std::filesystem::path bin_;
    std::filesystem::path folder_;
    std::filesystem::path data_;
    int port_ = 0;
    bool running_ = false;
    bool asNobody_ = false;
};

}  // namespace kambrix::test
