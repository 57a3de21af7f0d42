#include "zhtext/net/query_client.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string>

#include "zhtext/platform/byte_order.h"
#include "zhtext/util/deferred_free_list.h"
#include "zhtext/util/gbk_literal.h"
#include "zhtext/util/log.h"
#include "zhtext/wordlist/cipher_keys.h"
#include "zhtext/wordlist/vesk_encript.h"

namespace zhtext {

namespace {

using platform::SocketHandle;

// The reply list, created on the first successful reply. Registering a reply
// takes the guard shared; creating the list and FreeQueryResults take it
// alone, so neither races with a registration.
std::shared_mutex g_resultsGuard;
CDeferredFreeList* g_pQueryResults = nullptr;

// The library's shutdown: the replies go with the process.
struct ResultsAtExit {
  ~ResultsAtExit() { FreeQueryResults(); }
} g_resultsAtExit;

// The reply buffer starts at this size (or the announced one, if smaller)
// and doubles as bytes arrive, up to the announced size.
constexpr std::size_t kFirstReplyBlock = std::size_t{64} << 10;

// A thread's request buffer is released after a request longer than this.
constexpr std::size_t kKeptMessageBytes = std::size_t{1} << 20;

const GbkLiteral kLengthNotSent("<rtn_code>-5</rtn_code>\n<msg>发送长度信息长度不是int大小!</msg>");
const GbkLiteral kRequestNotSent("<rtn_code>-6</rtn_code>\n<msg>发送查询串长度与实际不符!</msg>");
const GbkLiteral kLengthNotReceived("<rtn_code>-7</rtn_code>\n<msg>接收长度信息错误!</msg>");
const GbkLiteral kReplyShort("<rtn_code>-8</rtn_code>\n<msg>接收到的结果信息与长度不符!</msg>");

// The time left for the waits of one call.
class Deadline {
 public:
  using Clock = std::chrono::steady_clock;

  // Negative: no overall limit.
  explicit Deadline(long long timeoutMs) : bounded_(timeoutMs >= 0) {
    if (bounded_) end_ = Clock::now() + std::chrono::milliseconds(timeoutMs);
  }

  bool bounded() const { return bounded_; }

  // The longest the next readiness wait may last.
  long long WaitMs() const { return bounded_ ? LeftMs() : kQueryWaitMs; }

  // The longest the connect may last (-1: no limit).
  long long ConnectMs() const { return bounded_ ? LeftMs() : -1; }

 private:
  long long LeftMs() const {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(end_ - Clock::now()).count();
    return left > 0 ? static_cast<long long>(left) : 0;
  }

  bool bounded_;
  Clock::time_point end_;
};

// perror's line for a socket error.
void ReportSocketError(const char* what, int error) {
  std::fprintf(stderr, "%s: %s\n", what, std::strerror(error));
}

std::size_t SendUntil(SocketHandle s, const char* data, std::size_t len, const Deadline& deadline) {
  std::size_t sent = 0;
  while (sent < len) {
    const int ready = platform::WaitWritable(s, deadline.WaitMs());
    if (ready == 0) {
      ReportSocketError("send select() timeout ", ETIMEDOUT);
      break;
    }
    if (ready < 0) {
      ReportSocketError("send select()", platform::LastSocketError());
      break;
    }
    const long n = platform::SendSome(s, data + sent, len - sent);
    if (n < 0 && platform::WouldBlock(platform::LastSocketError())) continue;
    if (n < 1) {
      const int error = platform::LastSocketError();
      ReportSocketError("send()", error);
      std::printf("send error no is %d\n", error);
      break;
    }
    sent += static_cast<std::size_t>(n);
  }
  return sent;
}

std::size_t RecvUntil(SocketHandle s, char* buf, std::size_t len, const Deadline& deadline) {
  std::size_t received = 0;
  while (received < len) {
    if (platform::WaitReadable(s, deadline.WaitMs()) != 1) break;
    const long n = platform::RecvSome(s, buf + received, len - received);
    if (n < 0 && platform::WouldBlock(platform::LastSocketError())) continue;
    if (n < 1) break;
    received += static_cast<std::size_t>(n);
  }
  return received;
}

// The socket of one call, closed and the socket layer stopped at the end.
class CallSockets {
 public:
  CallSockets() { SocketStartup(); }
  ~CallSockets() {
    platform::CloseSocket(socket_);
    platform::StopSockets();
  }
  CallSockets(const CallSockets&) = delete;
  CallSockets& operator=(const CallSockets&) = delete;

  bool Open() {
    socket_ = platform::OpenTcpSocket();
    return socket_ != platform::kInvalidSocket;
  }
  SocketHandle get() const { return socket_; }

 private:
  SocketHandle socket_ = platform::kInvalidSocket;
};

void SetOutputs(std::size_t length, int code, std::size_t* replyLength, int* errorCode) {
  if (replyLength != nullptr) *replyLength = length;
  if (errorCode != nullptr) *errorCode = code;
}

// Stores, logs and returns the error text of `code`.
const char* ErrorReply(int code, const char* host, int port, std::size_t* replyLength,
                       int* errorCode) {
  thread_local std::string t_strError;
  switch (code) {
    case -1:
      t_strError = "<rtn_code>-1</rtn_code>\n<msg>Host IP or Port ID is invalid!</msg>";
      break;
    case -2:
      t_strError = "<rtn_code>-2</rtn_code>\n<msg>no more socket resources!</msg>";
      break;
    case -3:
      t_strError = "<rtn_code>-3</rtn_code>\n<msg>cannot resolve hostname!</msg>";
      break;
    case -4: {
      char text[1024];
      std::snprintf(text, sizeof text,
                    "<rtn_code>-4</rtn_code>\n<msg>Cannot connect to server! Please Check the "
                    "server %s:%d!</msg>",
                    host, port);
      t_strError = text;
      break;
    }
    case -5:
      t_strError = kLengthNotSent.c_str();
      break;
    case -6:
      t_strError = kRequestNotSent.c_str();
      break;
    case -7:
      t_strError = kLengthNotReceived.c_str();
      break;
    default:
      t_strError = kReplyShort.c_str();
      break;
  }
  SetLastMessage(t_strError);
  WriteErrorLog(t_strError);
  SetOutputs(t_strError.size(), code, replyLength, errorCode);
  return t_strError.c_str();
}

// Hands `reply` to the reply list, creating the list on first use.
char* RegisterReply(char* reply) {
  {
    std::shared_lock<std::shared_mutex> lock(g_resultsGuard);
    if (g_pQueryResults != nullptr) return g_pQueryResults->Add(reply);
  }
  std::unique_lock<std::shared_mutex> lock(g_resultsGuard);
  if (g_pQueryResults == nullptr) g_pQueryResults = new CDeferredFreeList;
  return g_pQueryResults->Add(reply);
}

// Receives the R-byte reply body, the buffer growing with what arrives.
// Null (the partial buffer released) when fewer than R bytes come.
std::unique_ptr<char[]> ReceiveReply(SocketHandle s, std::size_t length, const Deadline& deadline) {
  std::size_t capacity = std::min(length, kFirstReplyBlock);
  std::unique_ptr<char[]> reply(new char[capacity + 1]);
  std::size_t received = 0;
  while (received < length) {
    if (received == capacity) {
      const std::size_t grown = std::min(length, capacity * 2);
      std::unique_ptr<char[]> larger(new char[grown + 1]);
      std::memcpy(larger.get(), reply.get(), received);
      reply = std::move(larger);
      capacity = grown;
    }
    const std::size_t want = capacity - received;
    const std::size_t got = RecvUntil(s, reply.get() + received, want, deadline);
    received += got;
    if (got < want) return nullptr;
  }
  reply[length] = '\0';
  return reply;
}

}  // namespace

const char* QueryServer(const char* request, const char* host, int port) {
  return QueryServer(request, host, port, -1);
}

const char* QueryServer(const char* request, const char* host, int port, long long timeoutMs,
                        std::size_t* replyLength, int* errorCode) {
  if (host == nullptr || port < 0) return ErrorReply(-1, host, port, replyLength, errorCode);
  const Deadline deadline(timeoutMs);
  CallSockets call;
  if (!call.Open()) return ErrorReply(-2, host, port, replyLength, errorCode);
  std::uint32_t address = 0;
  if (!platform::ResolveIpv4(host, &address)) {
    return ErrorReply(-3, host, port, replyLength, errorCode);
  }
  const std::uint16_t port16 = static_cast<std::uint16_t>(port & 0xFFFF);

  // Under a time limit the socket does not block, so that no send can hold
  // the call past it (a blocking send waits until all of its bytes fit).
  if (deadline.bounded() && platform::SetSocketNonBlocking(call.get(), true) != 0) {
    return ErrorReply(-4, host, port, replyLength, errorCode);
  }
  if (platform::ConnectIpv4Within(call.get(), address, port16, deadline.ConnectMs()) != 1) {
    return ErrorReply(-4, host, port, replyLength, errorCode);
  }

  // The length and the enciphered body go out in one piece; what got through
  // tells which of the two was not sent whole.
  const std::size_t length = request != nullptr ? std::strlen(request) : 0;
  if (length > static_cast<std::size_t>(INT32_MAX)) {
    return ErrorReply(-5, host, port, replyLength, errorCode);
  }
  {
    // The enciphered copy is built in a buffer kept per thread (the memory
    // stays warm from call to call); a large one is given back afterwards.
    thread_local std::string t_strMessage;
    std::string& message = t_strMessage;
    message.resize(4 + length);
    const std::uint32_t header = platform::HostToNet32(static_cast<std::uint32_t>(length));
    std::memcpy(&message[0], &header, 4);
    if (length > 0) std::memcpy(&message[4], request, length);
    CVeskEncript(RequestClientKey()).EncriptBuffer(reinterpret_cast<unsigned char*>(&message[4]), length);
    const std::size_t sent = SendUntil(call.get(), message.data(), 4 + length, deadline);
    if (message.capacity() > kKeptMessageBytes) std::string().swap(message);
    if (sent < 4) return ErrorReply(-5, host, port, replyLength, errorCode);
    if (sent < 4 + length) return ErrorReply(-6, host, port, replyLength, errorCode);
  }

  char header[4];
  if (RecvUntil(call.get(), header, 4, deadline) < 4) {
    return ErrorReply(-7, host, port, replyLength, errorCode);
  }
  std::uint32_t raw;
  std::memcpy(&raw, header, 4);
  const std::int64_t announced = static_cast<std::int32_t>(platform::NetToHost32(raw));
  const std::size_t size = static_cast<std::size_t>(announced < 0 ? -announced : announced);

  std::unique_ptr<char[]> reply = ReceiveReply(call.get(), size, deadline);
  if (reply == nullptr) return ErrorReply(-8, host, port, replyLength, errorCode);
  CVeskEncript(RequestClientKey()).EncriptBuffer(reinterpret_cast<unsigned char*>(reply.get()), size);
  SetOutputs(size, 0, replyLength, errorCode);
  return RegisterReply(reply.release());
}

bool FreeQueryResults() {
  std::unique_lock<std::shared_mutex> lock(g_resultsGuard);
  delete g_pQueryResults;
  g_pQueryResults = nullptr;
  return false;
}

std::size_t GetQueryResultCount() {
  std::shared_lock<std::shared_mutex> lock(g_resultsGuard);
  return g_pQueryResults != nullptr ? g_pQueryResults->GetCount() : 0;
}

int SocketStartup() {
  const int code = platform::StartSockets();
  if (code == 0) return 0;
  std::printf("Error %d: Winsock not available\n", code);
  return 1;
}

int SendAll(SocketHandle s, const char* data, int len) { return SendAll(s, data, len, -1); }

int SendAll(SocketHandle s, const char* data, int len, long long timeoutMs) {
  if (len <= 0) return 0;
  return static_cast<int>(SendUntil(s, data, static_cast<std::size_t>(len), Deadline(timeoutMs)));
}

int RecvAll(SocketHandle s, char* buf, int len) { return RecvAll(s, buf, len, -1); }

int RecvAll(SocketHandle s, char* buf, int len, long long timeoutMs) {
  if (len <= 0) return 0;
  return static_cast<int>(RecvUntil(s, buf, static_cast<std::size_t>(len), Deadline(timeoutMs)));
}

int SetBlocking(SocketHandle s) { return platform::SetSocketNonBlocking(s, false); }

int SetNonBlocking(SocketHandle s) { return platform::SetSocketNonBlocking(s, true); }

}  // namespace zhtext
