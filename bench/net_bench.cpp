// Request exchanges on loopback: QueryServer against `zhtext serve` (echo,
// its default 4 worker threads), side by side with a bare client written
// with plain sockets that does the same exchange (a connection per request,
// the length and the enciphered body in one send, the reply length, the
// body, deciphered) without the library. Requests of 100 bytes and 10 KB,
// from 1 and 2 client threads. Each client's replies are checked once
// before timing; a wrong answer aborts.
//
// The server is the built tool (ZHTEXT_TOOL_PATH), started once for the run
// on 127.0.0.1 and an ephemeral port; it is stopped at exit and stops by
// itself after 15 minutes in any case.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_data.h"
#include "zhtext/net/query_client.h"
#include "zhtext/wordlist/cipher_keys.h"

extern char** environ;

namespace zhtext {
namespace {

using bench::Abort;

// The running `zhtext serve`.
struct Server {
  pid_t pid = -1;
  int port = -1;
};

void StopServer();

const Server& GetServer() {
  static const Server server = [] {
    Server s;
#ifdef ZHTEXT_TOOL_PATH
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return s;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    posix_spawn_file_actions_addclose(&actions, pipeFds[1]);
    char* argv[] = {const_cast<char*>(ZHTEXT_TOOL_PATH), const_cast<char*>("serve"),
                    const_cast<char*>("--port"), const_cast<char*>("0"),
                    const_cast<char*>("--stop-after"), const_cast<char*>("900"), nullptr};
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (rc != 0) {
      close(pipeFds[0]);
      return s;
    }
    s.pid = pid;
    // "listening on 127.0.0.1:PORT\n"; the read ends when serve writes it
    // or exits.
    std::string line;
    char c;
    while (line.size() < 200 && read(pipeFds[0], &c, 1) == 1 && c != '\n') line += c;
    close(pipeFds[0]);
    const std::size_t colon = line.rfind(':');
    if (line.compare(0, 13, "listening on ") == 0 && colon != std::string::npos) {
      s.port = std::atoi(line.c_str() + colon + 1);
    }
    std::atexit(StopServer);
#endif
    return s;
  }();
  return server;
}

void StopServer() {
  const Server& s = GetServer();
  if (s.pid <= 0) return;
  kill(s.pid, SIGTERM);
  int status = 0;
  waitpid(s.pid, &status, 0);
}

std::string Request(std::size_t size) {
  std::string request;
  const char* words = "text to echo, request ";
  while (request.size() < size) request += words;
  request.resize(size);
  return request;
}

// The bare client: one exchange with plain sockets. Returns the reply, or
// an empty string on any failure.
class BareClient {
 public:
  explicit BareClient(int port) {
    std::memset(&address_, 0, sizeof address_);
    address_.sin_family = AF_INET;
    address_.sin_port = htons(static_cast<std::uint16_t>(port));
    address_.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    key_ = RequestClientKey();
  }

  bool Exchange(const std::string& request, std::string* reply) {
    const int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0) return false;
    bool ok = connect(s, reinterpret_cast<const sockaddr*>(&address_), sizeof address_) == 0;
    if (ok) {
      message_.resize(4 + request.size());
      const std::uint32_t length = htonl(static_cast<std::uint32_t>(request.size()));
      std::memcpy(&message_[0], &length, 4);
      Xor(request.data(), &message_[4], request.size());
      ok = SendFull(s, message_.data(), message_.size());
    }
    std::uint32_t header = 0;
    ok = ok && RecvFull(s, reinterpret_cast<char*>(&header), 4);
    if (ok) {
      std::int32_t size = static_cast<std::int32_t>(ntohl(header));
      if (size < 0) size = -size;
      reply->resize(static_cast<std::size_t>(size));
      ok = RecvFull(s, &(*reply)[0], reply->size());
      if (ok) Xor(reply->data(), &(*reply)[0], reply->size());
    }
    close(s);
    return ok;
  }

 private:
  // out[i] = in[i] ^ key[i mod key length], the key position stepped along.
  void Xor(const char* in, char* out, std::size_t len) const {
    std::size_t k = 0;
    for (std::size_t i = 0; i < len; ++i) {
      out[i] = static_cast<char>(in[i] ^ key_[k]);
      if (++k == key_.size()) k = 0;
    }
  }

  static bool SendFull(int s, const char* data, std::size_t len) {
    while (len > 0) {
      const ssize_t n = send(s, data, len, MSG_NOSIGNAL);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      data += n;
      len -= static_cast<std::size_t>(n);
    }
    return true;
  }
  static bool RecvFull(int s, char* buf, std::size_t len) {
    while (len > 0) {
      const ssize_t n = recv(s, buf, len, 0);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      buf += n;
      len -= static_cast<std::size_t>(n);
    }
    return true;
  }

  sockaddr_in address_;
  std::string key_;
  std::string message_;
};

bool ServerReady(benchmark::State& state) {
  if (GetServer().port > 0) return true;
  state.SkipWithError("zhtext serve did not start (ZHTEXT_TOOL_PATH)");
  return false;
}

void BM_Exchange_QueryServer(benchmark::State& state) {
  if (!ServerReady(state)) return;
  const int port = GetServer().port;
  const std::string request = Request(static_cast<std::size_t>(state.range(0)));
  if (QueryServer(request.c_str(), "127.0.0.1", port) != request) Abort("QueryServer echo");
  for (auto _ : state) {
    int code = 0;
    const char* reply = QueryServer(request.c_str(), "127.0.0.1", port, -1, nullptr, &code);
    if (code != 0) {
      state.SkipWithError(reply);
      break;
    }
    benchmark::DoNotOptimize(reply);
  }
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(request.size()) * 2);
}

void BM_Exchange_BareClient(benchmark::State& state) {
  if (!ServerReady(state)) return;
  BareClient client(GetServer().port);
  const std::string request = Request(static_cast<std::size_t>(state.range(0)));
  std::string reply;
  if (!client.Exchange(request, &reply) || reply != request) Abort("bare client echo");
  for (auto _ : state) {
    if (!client.Exchange(request, &reply)) {
      state.SkipWithError("bare exchange failed");
      break;
    }
    benchmark::DoNotOptimize(reply.data());
  }
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(request.size()) * 2);
}

BENCHMARK(BM_Exchange_QueryServer)->Arg(100)->Arg(10240)->Threads(1)->Threads(2)->UseRealTime();
BENCHMARK(BM_Exchange_BareClient)->Arg(100)->Arg(10240)->Threads(1)->Threads(2)->UseRealTime();

}  // namespace
}  // namespace zhtext

BENCHMARK_MAIN();
