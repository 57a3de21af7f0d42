// zhtext query and serve: the request client's wire format from both ends.
// query sends one request with QueryServer; serve answers requests with a
// fixed pool of threads, echoing them or segmenting them with a dictionary.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tools/zhtext/commands.h"
#include "tools/zhtext/tool_common.h"
#include "zhtext/dictionary/pdat.h"
#include "zhtext/net/query_client.h"
#include "zhtext/platform/byte_order.h"
#include "zhtext/platform/sleep.h"
#include "zhtext/platform/tcp_socket.h"
#include "zhtext/util/log.h"
#include "zhtext/wordlist/cipher_keys.h"
#include "zhtext/wordlist/vesk_encript.h"

namespace zhtext {
namespace tool {
namespace {

const char kQueryUsage[] =
    "usage: zhtext query HOST PORT [REQUEST] [--utf8] [--timeout MS]\n"
    "\n"
    "Sends one request to the text server at HOST (a name or an IPv4 address)\n"
    "and PORT and prints its reply on standard output, as it came. The request\n"
    "is REQUEST, or standard input when REQUEST is absent. Request and reply\n"
    "travel length-prefixed and enciphered with the request key, one exchange\n"
    "per connection ('zhtext serve' answers them).\n"
    "\n"
    "Options:\n"
    "  --utf8        the request is UTF-8 and is sent as GBK; the reply (and an\n"
    "                error) is printed in UTF-8 (default: GBK both ways)\n"
    "  --timeout MS  give up once the exchange has taken MS milliseconds\n"
    "                (default 30000; -1: each wait may last 100,000 s)\n"
    "  --help        show this help\n"
    "\n"
    "A failed exchange prints the client's error text on one line of standard\n"
    "error ('<rtn_code>-4</rtn_code> <msg>Cannot connect ...</msg>') and exits\n"
    "with 1; nothing is written to the log files. A request holding a zero\n"
    "byte cannot be sent (the request is a text).\n";

const char kServeUsage[] =
    "usage: zhtext serve --port P [--host H] [--dict FILE] [--threads N]\n"
    "                    [--max-request BYTES] [--timeout MS] [--stop-after S]\n"
    "\n"
    "Answers requests in the wire format of 'zhtext query': one length-prefixed,\n"
    "enciphered request per connection, one reply. A request is a GBK text; the\n"
    "reply is the text cut into the words of the dictionary FILE, a tab after\n"
    "every token (as 'zhtext segment FILE'), or with no dictionary the request\n"
    "itself. Prints \"listening on HOST:PORT\" on standard output once ready,\n"
    "then one line on standard error for every failed connection, and one\n"
    "when it stops. Stops cleanly on SIGINT or SIGTERM (or after --stop-after):\n"
    "connections being answered are finished, those still waiting are closed.\n"
    "\n"
    "Options:\n"
    "  --port P            the port to listen on; 0 lets the system pick one\n"
    "  --host H            the local address to listen on (default 127.0.0.1)\n"
    "  --dict FILE         segment requests with this dictionary file\n"
    "  --threads N         connections answered at once (default 4, at most 256)\n"
    "  --max-request BYTES longer requests are refused by closing the\n"
    "                      connection (default 16777216, that is 16 MiB)\n"
    "  --timeout MS        the time a connection may take, from its acceptance\n"
    "                      to the last byte of the reply (default 10000)\n"
    "  --stop-after S      stop by itself after S seconds (default 0: never)\n"
    "  --help              show this help\n";

// ---- query ----------------------------------------------------------------

// The error text on one line: its line feeds become blanks.
std::string OneLine(std::string text) {
  std::replace(text.begin(), text.end(), '\n', ' ');
  return text;
}

bool ParsePort(const std::string& text, int* port, bool zeroAllowed) {
  return ParseInt(text, port) && *port <= 65535 && (*port > 0 || (zeroAllowed && *port == 0));
}

}  // namespace

int RunQuery(int argc, char** argv) {
  const char* kName = "query";
  bool utf8 = false;
  std::string timeout_text = "30000";
  ArgParser args(kName, argc, argv);
  args.Flag("--utf8", &utf8);
  args.Option("--timeout", &timeout_text);
  if (!args.Parse()) return kExitUsage;
  if (args.help()) {
    std::fputs(kQueryUsage, stdout);
    return kExitOk;
  }
  const std::vector<std::string>& positional = args.positional();
  if (positional.size() < 2 || positional.size() > 3) {
    return UsageError(kName, "needs HOST, PORT and an optional REQUEST (see --help)");
  }
  int port = 0;
  if (!ParsePort(positional[1], &port, false)) {
    return UsageError(kName, "PORT must be a number from 1 to 65535, not '" + positional[1] + "'");
  }
  int timeout = 0;
  if (!ParseInt(timeout_text, &timeout) || timeout < -1) {
    return UsageError(kName, "--timeout needs a number of milliseconds (or -1)");
  }

  std::string request, error;
  if (positional.size() == 3) {
    request = positional[2];
  } else if (!ReadInput("", &request, &error)) {
    return Failure(kName, error);
  }
  if (utf8) {
    std::size_t replaced = 0;
    request = Utf8ToGbkText(request, &replaced);
    if (replaced > 0) {
      std::fprintf(stderr, "zhtext query: %zu character%s without a GBK code (sent as U+3000, or dropped)\n",
                   replaced, replaced == 1 ? "" : "s");
    }
  }
  const std::size_t zero = request.find('\0');
  if (zero != std::string::npos) {
    return Failure(kName, "the request holds a zero byte (at byte " + std::to_string(zero) +
                              "); only text can be sent");
  }

  // The error text goes to standard error; the library's log files are not
  // asked for.
  SetLoggingEnabled(false);
  std::size_t length = 0;
  int code = 0;
  const char* reply = QueryServer(request.c_str(), positional[0].c_str(), port, timeout, &length, &code);
  std::string text(reply, length);
  if (utf8) text = GbkToUtf8Text(text);
  if (code != 0) return Failure(kName, OneLine(text));
  if (!WriteOutput("", text, &error)) return Failure(kName, error);
  return kExitOk;
}

// ---- serve ----------------------------------------------------------------

namespace {

// Set by SIGINT and SIGTERM.
std::atomic<bool> g_stopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the stop flag is set in a signal handler");

extern "C" void RequestStop(int) { g_stopRequested.store(true); }

// How long the workers and the main thread wait before they look at the
// stop flag again.
constexpr long long kPollMs = 100;

// A request buffer starts at this size (or the announced one, if smaller)
// and grows as bytes arrive.
constexpr std::size_t kFirstRequestBlock = std::size_t{64} << 10;

// A worker's segmentation buffer is released after a request that grew it
// past this size.
constexpr int kKeptOutputBytes = 1 << 20;

struct ServeOptions {
  std::string host = "127.0.0.1";
  int port = -1;
  int threads = 4;
  long long maxRequest = 16 << 20;
  long long timeoutMs = 10000;
  long long stopAfterSeconds = 0;
  std::string dictPath;
};

void LogError(const std::string& message) {
  std::fprintf(stderr, "zhtext serve: %s\n", message.c_str());
}

bool ParseCount(const std::string& text, long long low, long long high, long long* value) {
  int parsed = 0;
  if (!ParseInt(text, &parsed) || parsed < low || parsed > high) return false;
  *value = parsed;
  return true;
}

// The time left of one connection.
class ConnectionClock {
 public:
  explicit ConnectionClock(long long limitMs)
      : end_(std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs)) {}
  long long LeftMs() const {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          end_ - std::chrono::steady_clock::now())
                          .count();
    return left > 0 ? static_cast<long long>(left) : 0;
  }

 private:
  std::chrono::steady_clock::time_point end_;
};

// After a receive that came short: whether the time ran out (rather than
// the peer closing, which leaves the socket readable).
bool TimedOut(platform::SocketHandle s) { return platform::WaitReadable(s, 0) == 0; }

// Sends all of `data` before the clock runs out; false otherwise.
bool SendWhole(platform::SocketHandle s, const std::string& data, const ConnectionClock& clock,
               std::size_t* sent) {
  *sent = 0;
  while (*sent < data.size()) {
    if (platform::WaitWritable(s, clock.LeftMs()) != 1) return false;
    const long n = platform::SendSome(s, data.data() + *sent, data.size() - *sent);
    if (n < 0 && platform::WouldBlock(platform::LastSocketError())) continue;
    if (n < 1) return false;
    *sent += static_cast<std::size_t>(n);
  }
  return true;
}

// Receives `length` bytes into `out`, the buffer growing as they arrive.
// False when fewer come before the clock runs out or the peer closes.
bool ReceiveWhole(platform::SocketHandle s, std::size_t length, const ConnectionClock& clock,
                  std::string* out) {
  out->clear();
  std::size_t received = 0;
  while (received < length) {
    if (received == out->size()) {
      out->resize(std::min(length, std::max(kFirstRequestBlock, out->size() * 2)));
    }
    const std::size_t want = std::min(out->size() - received, std::size_t{INT32_MAX});
    const int got = RecvAll(s, &(*out)[received], static_cast<int>(want), clock.LeftMs());
    received += static_cast<std::size_t>(got);
    if (static_cast<std::size_t>(got) < want) {
      out->resize(received);
      return false;
    }
  }
  return true;
}

// Leader and followers: the workers take turns at the listener. The one
// holding the turn waits for a connection, accepts it, hands the turn on and
// answers the connection itself, so a connection reaches the thread that
// answers it with a single wake-up. Connections that find every worker busy
// wait in the system's listen queue.
class Server {
 public:
  Server(const ServeOptions& options, const CPDAT* dict, platform::SocketHandle listener)
      : options_(options), dict_(dict), listener_(listener) {}

  // Serves connections until a stop is requested or the stop-after time
  // passes. Returns the number of connections taken.
  long long Run() {
    std::vector<std::thread> workers;
    for (int i = 0; i < options_.threads; ++i) workers.emplace_back([this] { Work(); });
    const auto started = std::chrono::steady_clock::now();
    while (!g_stopRequested.load() && !stopping_.load()) {
      if (options_.stopAfterSeconds > 0 &&
          std::chrono::steady_clock::now() - started >= std::chrono::seconds(options_.stopAfterSeconds)) {
        break;
      }
      platform::SleepMilliseconds(static_cast<unsigned>(kPollMs));
    }
    stopping_.store(true);
    for (std::thread& worker : workers) worker.join();
    return accepted_.load();
  }

 private:
  bool Stopping() const { return stopping_.load() || g_stopRequested.load(); }

  // The next connection, or kInvalidSocket once the server stops.
  platform::SocketHandle Accept() {
    std::lock_guard<std::mutex> turn(turn_);
    while (!Stopping()) {
      const platform::SocketHandle s = platform::AcceptConnection(listener_);
      if (s != platform::kInvalidSocket) {
        accepted_.fetch_add(1);
        return s;
      }
      const int error = platform::LastSocketError();
      if (platform::WouldBlock(error)) {
        if (platform::WaitReadable(listener_, kPollMs) < 0) {
          LogError("cannot wait for connections: " + std::string(std::strerror(platform::LastSocketError())));
          stopping_.store(true);
        }
        continue;
      }
      LogError("cannot accept a connection: " + std::string(std::strerror(error)));
      platform::SleepMilliseconds(static_cast<unsigned>(kPollMs));
    }
    return platform::kInvalidSocket;
  }

  void Work() {
    char* out = nullptr;
    int outSize = 0;
    for (;;) {
      const platform::SocketHandle s = Accept();
      if (s == platform::kInvalidSocket) break;
      Answer(s, &out, &outSize);
      platform::CloseSocket(s);
      if (outSize > kKeptOutputBytes) {
        std::free(out);
        out = nullptr;
        outSize = 0;
      }
    }
    std::free(out);
  }

  // One exchange. Failures are logged; the connection is closed by the
  // caller either way.
  void Answer(platform::SocketHandle s, char** out, int* outSize) {
    const ConnectionClock clock(options_.timeoutMs);
    // Non-blocking, so that no send outlasts the connection's time.
    if (platform::SetSocketNonBlocking(s, true) != 0) {
      LogError("cannot set up a connection");
      return;
    }
    char header[4];
    const int got = RecvAll(s, header, 4, clock.LeftMs());
    if (got < 4) {
      LogError(TimedOut(s) ? "no request length within the time limit; connection closed"
                           : "connection closed before a whole request length");
      return;
    }
    std::uint32_t raw;
    std::memcpy(&raw, header, 4);
    const std::uint32_t length = platform::NetToHost32(raw);
    if (length > options_.maxRequest) {
      LogError("request of " + std::to_string(length) + " bytes refused (over " +
               std::to_string(options_.maxRequest) + "); connection closed");
      return;
    }
    std::string request;
    if (!ReceiveWhole(s, length, clock, &request)) {
      LogError("request cut short: " + std::to_string(request.size()) + " of " +
               std::to_string(length) + " bytes" +
               (TimedOut(s) ? " within the time limit" : "") + "; connection closed");
      return;
    }
    const CVeskEncript cipher(RequestClientKey());
    cipher.EncriptString(request);

    std::string message(4, '\0');
    if (dict_ == nullptr) {
      message += request;
    } else {
      AppendSegmented(request, out, outSize, &message);
    }
    const std::uint32_t replyLength = static_cast<std::uint32_t>(message.size() - 4);
    const std::uint32_t net = platform::HostToNet32(replyLength);
    std::memcpy(&message[0], &net, 4);
    cipher.EncriptBuffer(reinterpret_cast<unsigned char*>(&message[4]), replyLength);
    std::size_t sent = 0;
    if (!SendWhole(s, message, clock, &sent)) {
      LogError("reply not sent whole: " + std::to_string(sent) + " of " +
               std::to_string(message.size()) + " bytes" +
               (clock.LeftMs() == 0 ? " within the time limit" : " (connection closed)"));
    }
  }

  // The segmentation of `request`: each run between zero bytes segmented on
  // its own, the zero bytes kept.
  void AppendSegmented(const std::string& request, char** out, int* outSize, std::string* message) {
    std::size_t start = 0;
    for (;;) {
      const std::size_t zero = request.find('\0', start);
      const std::size_t end = zero == std::string::npos ? request.size() : zero;
      // The run ends at its zero byte (or the string's terminator).
      const char* run = request.c_str() + start;
      if (end > start) {
        dict_->Segment(run, nullptr, nullptr, out, outSize, false, 0, '\t');
        message->append(*out);
      }
      if (zero == std::string::npos) break;
      message->push_back('\0');
      start = zero + 1;
    }
  }

  const ServeOptions options_;
  const CPDAT* dict_;
  const platform::SocketHandle listener_;  // non-blocking
  std::mutex turn_;                        // held by the worker at the listener
  std::atomic<bool> stopping_{false};
  std::atomic<long long> accepted_{0};
};

}  // namespace

int RunServe(int argc, char** argv) {
  const char* kName = "serve";
  std::string port_text, threads_text, max_text, timeout_text, stop_text;
  ServeOptions options;
  ArgParser args(kName, argc, argv);
  args.Option("--port", &port_text);
  args.Option("--host", &options.host);
  args.Option("--dict", &options.dictPath);
  args.Option("--threads", &threads_text);
  args.Option("--max-request", &max_text);
  args.Option("--timeout", &timeout_text);
  args.Option("--stop-after", &stop_text);
  if (!args.Parse()) return kExitUsage;
  if (args.help()) {
    std::fputs(kServeUsage, stdout);
    return kExitOk;
  }
  if (!args.positional().empty()) {
    return UsageError(kName, "takes no arguments, only options (see --help)");
  }
  if (port_text.empty()) return UsageError(kName, "needs --port (0 lets the system pick one)");
  if (!ParsePort(port_text, &options.port, true)) {
    return UsageError(kName, "--port must be a number from 0 to 65535, not '" + port_text + "'");
  }
  long long value = 0;
  if (!threads_text.empty()) {
    if (!ParseCount(threads_text, 1, 256, &value)) {
      return UsageError(kName, "--threads must be a number from 1 to 256");
    }
    options.threads = static_cast<int>(value);
  }
  if (!max_text.empty()) {
    if (!ParseCount(max_text, 0, CPDAT::kMaxScanText, &options.maxRequest)) {
      return UsageError(kName, "--max-request must be a number of bytes from 0 to " +
                                   std::to_string(CPDAT::kMaxScanText));
    }
  }
  if (!timeout_text.empty() && !ParseCount(timeout_text, 1, INT32_MAX, &options.timeoutMs)) {
    return UsageError(kName, "--timeout must be a positive number of milliseconds");
  }
  if (!stop_text.empty() && !ParseCount(stop_text, 0, INT32_MAX, &options.stopAfterSeconds)) {
    return UsageError(kName, "--stop-after must be a number of seconds (0: never)");
  }

  std::unique_ptr<CPDAT> dict;
  if (!options.dictPath.empty()) {
    int exit_code = kExitFailed;
    dict = LoadDict(kName, options.dictPath, &exit_code);
    if (dict == nullptr) return exit_code;
  }

  if (SocketStartup() != 0) return Failure(kName, "the socket layer is not available");
  std::uint32_t address = 0;
  if (!platform::ResolveIpv4(options.host.c_str(), &address)) {
    platform::StopSockets();
    return Failure(kName, "cannot resolve '" + options.host + "'");
  }
  const platform::SocketHandle listener =
      platform::ListenIpv4(address, static_cast<std::uint16_t>(options.port), 128);
  if (listener == platform::kInvalidSocket) {
    const int error = platform::LastSocketError();
    platform::StopSockets();
    return Failure(kName, "cannot listen on " + options.host + ":" + std::to_string(options.port) +
                              ": " + std::strerror(error));
  }
  platform::SetSocketNonBlocking(listener, true);

  g_stopRequested.store(false);
  std::signal(SIGINT, RequestStop);
  std::signal(SIGTERM, RequestStop);
  std::printf("listening on %s:%d\n", options.host.c_str(), platform::LocalPort(listener));
  std::fflush(stdout);

  Server server(options, dict.get(), listener);
  const long long served = server.Run();
  platform::CloseSocket(listener);
  platform::StopSockets();
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
  std::fprintf(stderr, "zhtext serve: stopped after %lld connection%s\n", served,
               served == 1 ? "" : "s");
  return kExitOk;
}

}  // namespace tool
}  // namespace zhtext
