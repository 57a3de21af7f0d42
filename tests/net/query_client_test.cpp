#include "zhtext/net/query_client.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <functional>
#include <mutex>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/gbk_text.h"
#include "tests/support/log_watch.h"
#include "zhtext/platform/byte_order.h"
#include "zhtext/platform/tcp_socket.h"
#include "zhtext/util/log.h"
#include "zhtext/wordlist/cipher_keys.h"

// The largest array allocated with new[] since the last reset: this test
// binary's replacement of the array forms of new and delete (passed on to
// the plain forms) shows how much a call really allocated.
std::atomic<std::size_t> g_largestArray{0};

void* operator new[](std::size_t size) {
  std::size_t seen = g_largestArray.load();
  while (size > seen && !g_largestArray.compare_exchange_weak(seen, size)) {
  }
  return ::operator new(size);
}
void operator delete[](void* p) noexcept { ::operator delete(p); }
void operator delete[](void* p, std::size_t) noexcept { ::operator delete(p); }

namespace zhtext {
namespace {

using platform::SocketHandle;
using testing::G;
using testing::Hex;

// Every wait of the test servers and clients is bounded by this.
constexpr long long kGenerousMs = 30000;

// The request cipher written out independently: byte i combined with key
// byte i mod 16.
std::string Xor(std::string data) {
  const std::string key = RequestClientKey();
  for (std::size_t i = 0; i < data.size(); ++i) data[i] ^= key[i % key.size()];
  return data;
}

std::string BigEndian(std::int32_t value) {
  const std::uint32_t net = platform::HostToNet32(static_cast<std::uint32_t>(value));
  return std::string(reinterpret_cast<const char*>(&net), 4);
}

// A framed reply: the length field (as given) and the enciphered body.
std::string Frame(const std::string& body, std::int32_t length) { return BigEndian(length) + Xor(body); }
std::string Frame(const std::string& body) {
  return Frame(body, static_cast<std::int32_t>(body.size()));
}

// Socket helpers of the server side, each bounded in time.
bool ReadExactly(SocketHandle s, std::size_t n, std::string* out) {
  out->clear();
  char buffer[1 << 16];
  while (out->size() < n) {
    if (platform::WaitReadable(s, kGenerousMs) != 1) return false;
    const std::size_t want = std::min(sizeof buffer, n - out->size());
    const long got = platform::RecvSome(s, buffer, want);
    if (got <= 0) return false;
    out->append(buffer, static_cast<std::size_t>(got));
  }
  return true;
}

bool WriteAll(SocketHandle s, const std::string& data) {
  std::size_t sent = 0;
  while (sent < data.size()) {
    if (platform::WaitWritable(s, kGenerousMs) != 1) return false;
    const long n = platform::SendSome(s, data.data() + sent, data.size() - sent);
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

// What a server saw of one request: the length field and the body bytes as
// they came over the wire.
struct Seen {
  std::uint32_t length = 0;
  std::string wire;
  bool complete = false;
};

// Reads one framed request.
Seen ReadRequest(SocketHandle s) {
  Seen seen;
  std::string header;
  if (!ReadExactly(s, 4, &header)) return seen;
  std::uint32_t raw;
  std::memcpy(&raw, header.data(), 4);
  seen.length = platform::NetToHost32(raw);
  seen.complete = ReadExactly(s, seen.length, &seen.wire);
  return seen;
}

// A server on 127.0.0.1 and an ephemeral port, in a thread of its own: it
// accepts connections one after the other and hands each to `handler`,
// then closes it. It stops when destroyed (after at most one handler's
// bounded waits).
class LoopbackServer {
 public:
  using Handler = std::function<void(SocketHandle)>;

  explicit LoopbackServer(Handler handler) : handler_(std::move(handler)) {
    listener_ = platform::ListenIpv4(platform::HostToNet32(0x7F000001), 0, 64);
    if (listener_ == platform::kInvalidSocket) return;
    port_ = platform::LocalPort(listener_);
    thread_ = std::thread([this] { Run(); });
  }
  ~LoopbackServer() {
    stop_.store(true);
    if (thread_.joinable()) thread_.join();
    platform::CloseSocket(listener_);
  }

  bool ok() const { return port_ > 0; }
  int port() const { return port_; }

 private:
  void Run() {
    while (!stop_.load()) {
      if (platform::WaitReadable(listener_, 20) != 1) continue;
      SocketHandle s = platform::AcceptConnection(listener_);
      if (s == platform::kInvalidSocket) continue;
      handler_(s);
      platform::CloseSocket(s);
    }
  }

  Handler handler_;
  SocketHandle listener_ = platform::kInvalidSocket;
  int port_ = -1;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// A server that answers each request with reply(request), recording what it
// saw.
class ReplyServer {
 public:
  explicit ReplyServer(std::function<std::string(const std::string&)> reply)
      : server_([this, reply](SocketHandle s) {
          Seen seen = ReadRequest(s);
          {
            std::lock_guard<std::mutex> lock(mutex_);
            last_ = seen;
          }
          if (seen.complete) WriteAll(s, Frame(reply(Xor(seen.wire))));
        }) {}

  bool ok() const { return server_.ok(); }
  int port() const { return server_.port(); }
  Seen last() {
    std::lock_guard<std::mutex> lock(mutex_);
    return last_;
  }

 private:
  std::mutex mutex_;
  Seen last_;
  LoopbackServer server_;
};

// A port on 127.0.0.1 that nothing listens on.
int ClosedPort() {
  SocketHandle s = platform::ListenIpv4(platform::HostToNet32(0x7F000001), 0, 1);
  const int port = platform::LocalPort(s);
  platform::CloseSocket(s);
  return port;
}

const char* const kError1 = "<rtn_code>-1</rtn_code>\n<msg>Host IP or Port ID is invalid!</msg>";
const char* const kError2 = "<rtn_code>-2</rtn_code>\n<msg>no more socket resources!</msg>";
const char* const kError3 = "<rtn_code>-3</rtn_code>\n<msg>cannot resolve hostname!</msg>";

std::string Error4(const std::string& host, int port) {
  return "<rtn_code>-4</rtn_code>\n<msg>Cannot connect to server! Please Check the server " +
         host + ":" + std::to_string(port) + "!</msg>";
}

std::string Error5() { return G("<rtn_code>-5</rtn_code>\n<msg>发送长度信息长度不是int大小!</msg>"); }
std::string Error6() { return G("<rtn_code>-6</rtn_code>\n<msg>发送查询串长度与实际不符!</msg>"); }
std::string Error7() { return G("<rtn_code>-7</rtn_code>\n<msg>接收长度信息错误!</msg>"); }
std::string Error8() {
  return G("<rtn_code>-8</rtn_code>\n<msg>接收到的结果信息与长度不符!</msg>");
}

// Runs one query and checks that it failed with `code` and `text`: the
// returned text, its length, the last message and the error log.
void ExpectError(const char* request, const char* host, int port, long long timeoutMs, int code,
                 const std::string& text) {
  testing::LogWatch watch;
  std::size_t length = 12345;
  int error = 12345;
  const char* reply = QueryServer(request, host, port, timeoutMs, &length, &error);
  ASSERT_NE(reply, nullptr);
  EXPECT_EQ(std::string(reply), text) << Hex(reply);
  EXPECT_EQ(length, text.size());
  EXPECT_EQ(error, code);
  EXPECT_EQ(std::string(GetLastMessage()), text);
  EXPECT_NE(watch.ErrText().find("\t" + text + "\n"), std::string::npos) << watch.ErrText();
}

TEST(QueryServerTest, ErrorTextsAreTheFixedOnes) {
  // The GBK texts, pinned byte for byte (GBK bytes from an independent
  // encoder), so that a change of the conversion table shows.
  struct Row {
    const char* name;
    std::string text;
    std::string hexOfMessage;
  };
  const Row rows[] = {
      {"-5", Error5(), "B7 A2 CB CD B3 A4 B6 C8 D0 C5 CF A2 B3 A4 B6 C8 B2 BB CA C7 69 6E 74 B4 F3 D0 A1 21"},
      {"-6", Error6(), "B7 A2 CB CD B2 E9 D1 AF B4 AE B3 A4 B6 C8 D3 EB CA B5 BC CA B2 BB B7 FB 21"},
      {"-7", Error7(), "BD D3 CA D5 B3 A4 B6 C8 D0 C5 CF A2 B4 ED CE F3 21"},
      {"-8", Error8(),
       "BD D3 CA D5 B5 BD B5 C4 BD E1 B9 FB D0 C5 CF A2 D3 EB B3 A4 B6 C8 B2 BB B7 FB 21"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string prefix = std::string("<rtn_code>") + row.name + "</rtn_code>\n<msg>";
    ASSERT_EQ(row.text.compare(0, prefix.size(), prefix), 0);
    const std::string message = row.text.substr(prefix.size(), row.text.size() - prefix.size() - 6);
    EXPECT_EQ(Hex(message), row.hexOfMessage);
    EXPECT_EQ(row.text.substr(row.text.size() - 6), "</msg>");
  }
}

TEST(QueryServerTest, ErrorsBeforeAnyExchange) {
  const int closed = ClosedPort();
  ASSERT_GT(closed, 0);
  struct Row {
    const char* name;
    const char* host;
    int port;
    int code;
    std::string text;
  };
  const Row rows[] = {
      {"null host", nullptr, 80, -1, kError1},
      {"port -1", "127.0.0.1", -1, -1, kError1},
      {"most negative port", "127.0.0.1", INT32_MIN, -1, kError1},
      {"name that cannot resolve", "no-such-host.invalid", 80, -3, kError3},
      {"not an address", "999.1.1.1", 80, -3, kError3},
      {"closed port", "127.0.0.1", closed, -4, Error4("127.0.0.1", closed)},
      // The low 16 bits are dialled, the port is reported whole.
      {"closed port above 65535", "127.0.0.1", closed + 65536, -4,
       Error4("127.0.0.1", closed + 65536)},
      {"closed port, with localhost", "localhost", closed, -4, Error4("localhost", closed)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ExpectError("request", row.host, row.port, -1, row.code, row.text);
    // The three-argument form gives the same text.
    EXPECT_EQ(std::string(QueryServer("request", row.host, row.port)), row.text);
  }
}

TEST(QueryServerTest, PortAbove65535DialsItsLow16Bits) {
  // 70000 is 4464 + 65536: a server on 4464 answers a query for 70000.
  SocketHandle probe = platform::ListenIpv4(platform::HostToNet32(0x7F000001), 4464, 1);
  if (probe == platform::kInvalidSocket) GTEST_SKIP() << "port 4464 is in use here";
  platform::CloseSocket(probe);
  std::atomic<bool> answered{false};
  SocketHandle listener = platform::ListenIpv4(platform::HostToNet32(0x7F000001), 4464, 4);
  ASSERT_NE(listener, platform::kInvalidSocket);
  std::thread server([&] {
    if (platform::WaitReadable(listener, kGenerousMs) != 1) return;
    SocketHandle s = platform::AcceptConnection(listener);
    if (ReadRequest(s).complete && WriteAll(s, Frame("at 4464"))) answered.store(true);
    platform::CloseSocket(s);
  });
  const std::string reply = QueryServer("x", "127.0.0.1", 70000);
  server.join();
  platform::CloseSocket(listener);
  EXPECT_EQ(reply, "at 4464");
  EXPECT_TRUE(answered.load());
}

TEST(QueryServerTest, RequestsAndRepliesOnTheWire) {
  struct Row {
    const char* name;
    std::string request;
    std::string reply;
  };
  const Row rows[] = {
      {"short text", "hello", "world"},
      {"GBK text longer than the key", G("请求：分词服务，请把这一句切成词语。"), G("请求\t分词\t服务\t")},
      {"empty request", "", "reply to nothing"},
      {"empty reply", "ask", ""},
      {"binary reply with zero bytes", "bytes", std::string("a\0b\0\0\xFF\x01", 7)},
      {"reply of 200 KB, past the first block", "big", std::string(200000, 'r') + "end"},
      {"request of 300 KB", std::string(300000, 'q') + G("词"), "ok"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ReplyServer server([&](const std::string&) { return row.reply; });
    ASSERT_TRUE(server.ok());
    const std::string request = row.request;  // the caller's text stays as it was
    std::size_t length = 0;
    int error = 1;
    const char* reply = QueryServer(request.c_str(), "127.0.0.1", server.port(), -1, &length, &error);
    EXPECT_EQ(error, 0);
    ASSERT_EQ(length, row.reply.size());
    EXPECT_EQ(std::string(reply, length), row.reply);
    EXPECT_EQ(reply[length], '\0');
    EXPECT_EQ(request, row.request);
    const Seen seen = server.last();
    ASSERT_TRUE(seen.complete);
    EXPECT_EQ(seen.length, row.request.size());
    EXPECT_EQ(seen.wire, Xor(row.request));
    if (row.request.size() >= 16) {
      EXPECT_NE(seen.wire.substr(0, 16), row.request.substr(0, 16));
    }
  }
}

TEST(QueryServerTest, NullRequestIsSentEmpty) {
  ReplyServer server([](const std::string& request) { return "got " + std::to_string(request.size()); });
  ASSERT_TRUE(server.ok());
  EXPECT_STREQ(QueryServer(nullptr, "127.0.0.1", server.port()), "got 0");
  EXPECT_TRUE(server.last().complete);
  EXPECT_EQ(server.last().length, 0u);
}

TEST(QueryServerTest, ReplyLengthFieldsAsServersSendThem) {
  struct Row {
    const char* name;
    std::string answer;  // raw bytes the server sends before closing
    int code;
    std::string result;  // the reply, or the error text
  };
  const Row rows[] = {
      {"length 0", BigEndian(0), 0, ""},
      {"negative length read as its absolute value", Frame("abcde", -5), 0, "abcde"},
      {"3 of 10 announced bytes", Frame("abc", 10), -8, Error8()},
      {"length only", BigEndian(10), -8, Error8()},
      {"huge length, few bytes", Frame("tiny", 0x7FFFFFFF), -8, Error8()},
      {"most negative length, few bytes", Frame("tiny", INT32_MIN), -8, Error8()},
      {"no reply", "", -7, Error7()},
      {"half a length field", std::string("\0\0", 2), -7, Error7()},
      {"more bytes than announced", Frame("abcdef", 3) , 0, "abc"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    LoopbackServer server([&](SocketHandle s) {
      if (ReadRequest(s).complete) WriteAll(s, row.answer);
    });
    ASSERT_TRUE(server.ok());
    if (row.code == 0) {
      std::size_t length = 99;
      int error = 99;
      const char* reply = QueryServer("q", "127.0.0.1", server.port(), -1, &length, &error);
      EXPECT_EQ(error, 0);
      EXPECT_EQ(std::string(reply, length), row.result);
      EXPECT_EQ(reply[length], '\0');
    } else {
      ExpectError("q", "127.0.0.1", server.port(), -1, row.code, row.result);
    }
  }
}

TEST(QueryServerTest, HugeAnnouncedReplyIsNotAllocatedUpFront) {
  // The server announces 2 GiB - 1 bytes (or 2 GiB) and sends 1 MB before
  // closing: the client fails with -8, having allocated about what arrived.
  struct Row {
    const char* name;
    std::int32_t length;
  };
  for (const Row& row : {Row{"2 GiB - 1", INT32_MAX}, Row{"-2 GiB", INT32_MIN}}) {
    SCOPED_TRACE(row.name);
    LoopbackServer server([&](SocketHandle s) {
      if (ReadRequest(s).complete) WriteAll(s, Frame(std::string(1 << 20, 'x'), row.length));
    });
    ASSERT_TRUE(server.ok());
    g_largestArray.store(0);
    ExpectError("q", "127.0.0.1", server.port(), -1, -8, Error8());
    EXPECT_LE(g_largestArray.load(), std::size_t{4} << 20);
  }
  // An honest large reply still comes whole.
  const std::string big(5 << 20, 'y');
  ReplyServer server([&](const std::string&) { return big; });
  ASSERT_TRUE(server.ok());
  std::size_t length = 0;
  const char* reply = QueryServer("q", "127.0.0.1", server.port(), -1, &length, nullptr);
  EXPECT_EQ(length, big.size());
  EXPECT_TRUE(std::string(reply, length) == big);
}

TEST(QueryServerTest, RequestNotSentWhole) {
  // The server reads the length and closes with the body unread, which
  // resets the connection while the client is still sending.
  LoopbackServer server([](SocketHandle s) {
    std::string header;
    ReadExactly(s, 4, &header);
  });
  ASSERT_TRUE(server.ok());
  const std::string request(32 << 20, 'b');
  ExpectError(request.c_str(), "127.0.0.1", server.port(), -1, -6, Error6());
}

// A server that holds each connection (after reading the request and
// sending `answer`, when asked to) until the test lets it go or its own
// time limit passes.
class StallingServer {
 public:
  StallingServer(bool readRequest, std::string answer)
      : server_([this, readRequest, answer](SocketHandle s) {
          if (readRequest) ReadRequest(s);
          if (!answer.empty()) WriteAll(s, answer);
          std::unique_lock<std::mutex> lock(mutex_);
          cv_.wait_for(lock, std::chrono::milliseconds(kGenerousMs), [this] { return release_; });
          let_go_ = true;
        }) {}
  ~StallingServer() { Release(); }

  // Lets the held connection go.
  void Release() {
    std::lock_guard<std::mutex> lock(mutex_);
    release_ = true;
    cv_.notify_all();
  }
  // Whether a held connection has been let go.
  bool LetGo() {
    std::lock_guard<std::mutex> lock(mutex_);
    return let_go_;
  }
  bool ok() const { return server_.ok(); }
  int port() const { return server_.port(); }

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  bool release_ = false;
  bool let_go_ = false;
  LoopbackServer server_;
};

TEST(QueryServerTest, TimeLimitEndsTheWaitWithTheStepsError) {
  struct Row {
    const char* name;
    bool readRequest;
    std::string answer;
    std::size_t requestBytes;
    int code;
    std::string text;
  };
  const Row rows[] = {
      {"no reply length", true, "", 5, -7, Error7()},
      {"reply body stalls", true, Frame("abc", 10), 5, -8, Error8()},
      // Nothing is read: the request fills the socket buffers and the send
      // waits.
      {"request not taken", false, "", 64 << 20, -6, Error6()},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    StallingServer server(row.readRequest, row.answer);
    ASSERT_TRUE(server.ok());
    const std::string request(row.requestBytes, 'r');
    ExpectError(request.c_str(), "127.0.0.1", server.port(), 300, row.code, row.text);
    // The client gave up on its own, the server still holding on.
    EXPECT_FALSE(server.LetGo());
  }
}

TEST(QueryServerTest, TimeLimitCoversTheConnect) {
  // A listener that accepts nothing: once its queue is full, further
  // connects get no answer and wait.
  SocketHandle listener = platform::ListenIpv4(platform::HostToNet32(0x7F000001), 0, 1);
  ASSERT_NE(listener, platform::kInvalidSocket);
  const int port = platform::LocalPort(listener);
  std::vector<SocketHandle> fillers;
  bool full = false;
  for (int i = 0; i < 16 && !full; ++i) {
    SocketHandle s = platform::OpenTcpSocket();
    const int result = platform::ConnectIpv4Within(s, platform::HostToNet32(0x7F000001),
                                                   static_cast<std::uint16_t>(port), 200);
    fillers.push_back(s);
    full = result == 0;
  }
  if (full) ExpectError("q", "127.0.0.1", port, 200, -4, Error4("127.0.0.1", port));
  for (SocketHandle s : fillers) platform::CloseSocket(s);
  platform::CloseSocket(listener);
  if (!full) GTEST_SKIP() << "the listen queue never filled";
}

TEST(QueryServerTest, NoSocketLeft) {
  // With every descriptor in use, socket creation fails: -2. (The error log
  // cannot be opened then either, so only the text is checked.)
  std::vector<SocketHandle> held;
  bool exhausted = false;
  while (held.size() < (std::size_t{1} << 16)) {
    SocketHandle s = platform::OpenTcpSocket();
    if (s == platform::kInvalidSocket) {
      exhausted = true;
      break;
    }
    held.push_back(s);
  }
  std::string reply;
  int error = 0;
  if (exhausted) {
    reply = QueryServer("q", "127.0.0.1", 80, -1, nullptr, &error);
  }
  for (SocketHandle s : held) platform::CloseSocket(s);
  if (!exhausted) GTEST_SKIP() << "more than 65536 descriptors allowed";
  EXPECT_EQ(reply, kError2);
  EXPECT_EQ(error, -2);
  EXPECT_EQ(std::string(GetLastMessage()), kError2);
}

TEST(QueryServerTest, ReplyOutlivesLaterReplies) {
  // On a fresh list, the 10,000th reply is the youngest of the first batch
  // that a trim releases: it must still be readable after 10,000 later
  // replies (and it is, up to the 20,001st), and goes with the 20,002nd.
  ReplyServer server([](const std::string& request) { return "reply to " + request; });
  ASSERT_TRUE(server.ok());
  FreeQueryResults();
  auto query = [&](int i) {
    const std::string request = std::to_string(i);
    const char* reply = QueryServer(request.c_str(), "127.0.0.1", server.port());
    EXPECT_EQ(std::string(reply), "reply to " + request);
    return reply;
  };
  for (int i = 1; i < 10000; ++i) query(i);
  const char* watched = query(10000);
  ASSERT_STREQ(watched, "reply to 10000");
  for (int i = 10001; i <= 20001; ++i) {
    query(i);
    if (i == 20000) {
      EXPECT_STREQ(watched, "reply to 10000");  // 10,000 later
    }
  }
  EXPECT_STREQ(watched, "reply to 10000");
  EXPECT_EQ(GetQueryResultCount(), 20001u);
  query(20002);
  EXPECT_EQ(GetQueryResultCount(), 10002u);
}

TEST(QueryServerTest, FreeQueryResults) {
  ReplyServer server([](const std::string&) { return "r"; });
  ASSERT_TRUE(server.ok());
  EXPECT_FALSE(FreeQueryResults());
  EXPECT_EQ(GetQueryResultCount(), 0u);
  EXPECT_FALSE(FreeQueryResults());  // nothing to release: nothing happens
  // Failures register nothing; the first reply creates a list again.
  QueryServer("q", nullptr, 1);
  EXPECT_EQ(GetQueryResultCount(), 0u);
  EXPECT_STREQ(QueryServer("q", "127.0.0.1", server.port()), "r");
  EXPECT_EQ(GetQueryResultCount(), 1u);
  EXPECT_STREQ(QueryServer("q", "127.0.0.1", server.port()), "r");
  EXPECT_EQ(GetQueryResultCount(), 2u);
  EXPECT_FALSE(FreeQueryResults());
  EXPECT_EQ(GetQueryResultCount(), 0u);
  EXPECT_STREQ(QueryServer("q", "127.0.0.1", server.port()), "r");
  EXPECT_EQ(GetQueryResultCount(), 1u);
}

TEST(QueryServerTest, ConcurrentCallsFromAFreshStart) {
  // The first replies of several threads arrive together (the first server
  // answers only once every thread's request is in), so the threads
  // register them at once and must share one new list. Then more calls, with
  // failures among them that keep their own error texts.
  constexpr int kThreads = 4;
  constexpr int kCalls = 50;
  SocketHandle gathering = platform::ListenIpv4(platform::HostToNet32(0x7F000001), 0, kThreads);
  ASSERT_NE(gathering, platform::kInvalidSocket);
  const int firstPort = platform::LocalPort(gathering);
  std::thread gatherer([&] {
    std::vector<SocketHandle> held;
    while (held.size() < kThreads && platform::WaitReadable(gathering, kGenerousMs) == 1) {
      SocketHandle s = platform::AcceptConnection(gathering);
      if (s == platform::kInvalidSocket) continue;
      if (ReadRequest(s).complete) held.push_back(s);
    }
    for (SocketHandle s : held) WriteAll(s, Frame("first"));
    for (SocketHandle s : held) platform::CloseSocket(s);
  });
  ReplyServer server([](const std::string& request) { return "re:" + request; });
  ASSERT_TRUE(server.ok());
  FreeQueryResults();
  std::atomic<int> wrong{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      if (std::string(QueryServer("hello", "127.0.0.1", firstPort)) != "first") wrong.fetch_add(1);
      for (int i = 0; i < kCalls; ++i) {
        const std::string request = std::to_string(t) + "/" + std::to_string(i);
        if (QueryServer(request.c_str(), "127.0.0.1", server.port()) != "re:" + request) {
          wrong.fetch_add(1);
        }
        const char* error = QueryServer("q", nullptr, 1);
        if (std::string(error) != kError1) wrong.fetch_add(1);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  gatherer.join();
  platform::CloseSocket(gathering);
  EXPECT_EQ(wrong.load(), 0);
  EXPECT_EQ(GetQueryResultCount(), static_cast<std::size_t>(kThreads * (kCalls + 1)));
}

// SendAll and RecvAll on a connected pair.
TEST(SocketHelpersTest, SendAllRecvAllAndModes) {
  EXPECT_EQ(SocketStartup(), 0);
  SocketHandle listener = platform::ListenIpv4(platform::HostToNet32(0x7F000001), 0, 4);
  ASSERT_NE(listener, platform::kInvalidSocket);
  SocketHandle client = platform::OpenTcpSocket();
  ASSERT_TRUE(platform::ConnectIpv4(client, platform::HostToNet32(0x7F000001),
                                    static_cast<std::uint16_t>(platform::LocalPort(listener))));
  ASSERT_EQ(platform::WaitReadable(listener, kGenerousMs), 1);
  SocketHandle peer = platform::AcceptConnection(listener);
  ASSERT_NE(peer, platform::kInvalidSocket);

  const std::string data(100000, 'd');
  EXPECT_EQ(SendAll(client, data.data(), 0), 0);
  std::thread sender([&] { EXPECT_EQ(SendAll(client, data.data(), static_cast<int>(data.size())), 100000); });
  std::string got(100000, '\0');
  EXPECT_EQ(RecvAll(peer, &got[0], static_cast<int>(got.size())), 100000);
  sender.join();
  EXPECT_EQ(got, data);

  // Fewer bytes than asked for: the time limit, then the peer's close.
  ASSERT_EQ(SendAll(client, "abc", 3), 3);
  char buffer[8] = {};
  EXPECT_EQ(RecvAll(peer, buffer, 8, 100), 3);
  EXPECT_STREQ(buffer, "abc");
  ASSERT_EQ(SendAll(client, "xy", 2), 2);
  platform::CloseSocket(client);
  EXPECT_EQ(RecvAll(peer, buffer, 8), 2);
  EXPECT_EQ(RecvAll(peer, buffer, 0), 0);

  EXPECT_EQ(SetNonBlocking(peer), 0);
  EXPECT_EQ(SetBlocking(peer), 0);
  EXPECT_EQ(SetNonBlocking(platform::kInvalidSocket), -1);
  EXPECT_EQ(SetBlocking(platform::kInvalidSocket), -1);
  platform::CloseSocket(peer);
  platform::CloseSocket(listener);
}

}  // namespace
}  // namespace zhtext
