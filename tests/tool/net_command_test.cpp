// zhtext serve and zhtext query: the server in the background on an
// ephemeral port of 127.0.0.1, the client against it. Every server started
// here stops by itself (--stop-after) should a test fail to stop it.
#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/background_tool.h"
#include "tests/support/gbk_text.h"
#include "tests/support/run_tool.h"
#include "tests/support/temp_dir.h"
#include "zhtext/dictionary/pdat.h"
#include "zhtext/net/query_client.h"
#include "zhtext/platform/byte_order.h"
#include "zhtext/platform/tcp_socket.h"
#include "zhtext/wordlist/cipher_keys.h"

namespace zhtext {
namespace {

using testing::BackgroundTool;
using testing::ExpectFailures;
using testing::G;
using testing::Hex;
using testing::RunTool;
using testing::ToolResult;
using testing::U;

constexpr long long kGenerousMs = 30000;

// A `zhtext serve` of its own for each test, stopped at the end.
class Serve {
 public:
  explicit Serve(std::vector<std::string> options) {
    std::vector<std::string> args = {"serve", "--port", "0", "--stop-after", "120"};
    args.insert(args.end(), options.begin(), options.end());
    tool_ = std::make_unique<BackgroundTool>(args);
    const std::string line = tool_->WaitForLine(kGenerousMs);
    const std::string prefix = "listening on 127.0.0.1:";
    if (line.compare(0, prefix.size(), prefix) == 0) port_ = std::atoi(line.c_str() + prefix.size());
  }
  ~Serve() {
    tool_->Signal(SIGTERM);
    tool_->Wait(kGenerousMs);
  }

  bool ok() const { return port_ > 0; }
  int port() const { return port_; }
  std::string portText() const { return std::to_string(port_); }
  BackgroundTool& tool() { return *tool_; }

 private:
  std::unique_ptr<BackgroundTool> tool_;
  int port_ = -1;
};

std::string Xor(std::string data) {
  const std::string key = RequestClientKey();
  for (std::size_t i = 0; i < data.size(); ++i) data[i] ^= key[i % key.size()];
  return data;
}

// One exchange written with plain sockets, for what zhtext query cannot
// send: `wire` goes out as it is; returns what came back before the server
// closed (empty when nothing did).
std::string RawExchange(int port, const std::string& wire) {
  platform::SocketHandle s = platform::OpenTcpSocket();
  std::string got;
  if (platform::ConnectIpv4(s, platform::HostToNet32(0x7F000001), static_cast<std::uint16_t>(port))) {
    std::size_t sent = 0;
    while (sent < wire.size() && platform::WaitWritable(s, kGenerousMs) == 1) {
      const long n = platform::SendSome(s, wire.data() + sent, wire.size() - sent);
      if (n <= 0) break;
      sent += static_cast<std::size_t>(n);
    }
    char buffer[4096];
    while (platform::WaitReadable(s, kGenerousMs) == 1) {
      const long n = platform::RecvSome(s, buffer, sizeof buffer);
      if (n <= 0) break;
      got.append(buffer, static_cast<std::size_t>(n));
    }
  }
  platform::CloseSocket(s);
  return got;
}

std::string Framed(const std::string& body) {
  const std::uint32_t net = platform::HostToNet32(static_cast<std::uint32_t>(body.size()));
  return std::string(reinterpret_cast<const char*>(&net), 4) + Xor(body);
}

TEST(NetCommandTest, UsageAndFailures) {
  ExpectFailures({
      {"query without arguments", {"query"}, 2},
      {"query without a port", {"query", "127.0.0.1"}, 2},
      {"query with too many arguments", {"query", "127.0.0.1", "1", "a", "b"}, 2},
      {"query port not a number", {"query", "127.0.0.1", "http", "x"}, 2},
      {"query port 0", {"query", "127.0.0.1", "0", "x"}, 2},
      {"query port 70000", {"query", "127.0.0.1", "70000", "x"}, 2},
      {"query bad time limit", {"query", "--timeout", "soon", "127.0.0.1", "1", "x"}, 2},
      {"query unknown option", {"query", "--fast", "127.0.0.1", "1", "x"}, 2},
      {"serve without a port", {"serve"}, 2},
      {"serve bad port", {"serve", "--port", "65536"}, 2},
      {"serve with an argument", {"serve", "--port", "0", "extra"}, 2},
      {"serve no threads", {"serve", "--port", "0", "--threads", "0"}, 2},
      {"serve negative request limit", {"serve", "--port", "0", "--max-request", "-1"}, 2},
      {"serve zero time limit", {"serve", "--port", "0", "--timeout", "0"}, 2},
      {"serve missing dictionary", {"serve", "--port", "0", "--dict", "missing.dic"}, 1},
      {"serve host that does not resolve", {"serve", "--port", "0", "--host", "no-such-host.invalid"}, 1},
  });
  for (const char* command : {"query", "serve"}) {
    SCOPED_TRACE(command);
    const ToolResult r = RunTool({command, "--help"});
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(r.out.compare(0, 14 + std::strlen(command), std::string("usage: zhtext ") + command), 0)
        << r.out;
    EXPECT_EQ(r.err, "");
  }
}

TEST(NetCommandTest, EchoServerAndQuery) {
  Serve serve({"--threads", "2"});
  ASSERT_TRUE(serve.ok()) << serve.tool().Err();
  struct Row {
    const char* name;
    std::vector<std::string> extra;  // options and the REQUEST argument
    std::string input;               // standard input
    std::string out;
  };
  const std::string gbk = G("请把这一句话原样送回来，一字不差。");
  const Row rows[] = {
      {"argument", {"hello server"}, "", "hello server"},
      {"standard input", {}, gbk, gbk},
      {"GBK argument", {gbk}, "", gbk},
      {"UTF-8 both ways", {"--utf8", "中文请求"}, "", "中文请求"},
      {"UTF-8 on standard input", {"--utf8"}, "标准输入", "标准输入"},
      {"empty request", {""}, "", ""},
      {"a long request", {}, std::string(300000, 'x') + gbk, std::string(300000, 'x') + gbk},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<std::string> args = {"query", "127.0.0.1", serve.portText()};
    std::vector<std::string> options, positional;
    for (const std::string& a : row.extra) (a.compare(0, 2, "--") == 0 ? options : positional).push_back(a);
    args.insert(args.begin() + 1, options.begin(), options.end());
    args.insert(args.end(), positional.begin(), positional.end());
    const ToolResult r = RunTool(args, row.input);
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(Hex(r.out), Hex(row.out));
    EXPECT_EQ(r.err, "");
  }
  // The library's own client gets the same.
  EXPECT_STREQ(QueryServer("from the library", "127.0.0.1", serve.port()), "from the library");
  EXPECT_EQ(serve.tool().Err(), "");  // no failed connection so far
}

TEST(NetCommandTest, SegmentingServer) {
  testing::TempDir dir;
  std::string list;
  for (const char* word : {"中文", "分词", "服务", "服务器", "测试"}) list += G(word) + "\n";
  testing::WriteFile(dir.File("words.txt"), list);
  const std::string dict = dir.File("words.dic");
  ToolResult built = RunTool({"dict", "build", dir.File("words.txt"), dict});
  ASSERT_EQ(built.exit_code, 0) << built.err;

  Serve serve({"--dict", dict});
  ASSERT_TRUE(serve.ok()) << serve.tool().Err();
  const std::string text = G("中文分词服务器测试，abc 123");
  const ToolResult segmented = RunTool({"segment", dict}, text);
  ASSERT_EQ(segmented.exit_code, 0);
  EXPECT_EQ(U(segmented.out), "中文\t分词\t服务器\t测试\t，\tabc\t \t123\t");
  const ToolResult r = RunTool({"query", "127.0.0.1", serve.portText(), text});
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(Hex(r.out), Hex(segmented.out));
  const ToolResult utf8 = RunTool({"query", "--utf8", "127.0.0.1", serve.portText(), "分词服务"});
  EXPECT_EQ(utf8.out, "分词\t服务\t");

  // Zero bytes (sent with plain sockets; the client sends texts) are kept,
  // the runs between them segmented on their own.
  const std::string request = G("中文") + std::string(1, '\0') + G("测试");
  const std::string expected = G("中文") + "\t" + std::string(1, '\0') + G("测试") + "\t";
  EXPECT_EQ(Hex(RawExchange(serve.port(), Framed(request))), Hex(Framed(expected)));
}

TEST(NetCommandTest, ManyClientsAtOnce) {
  Serve serve({"--threads", "3", "--timeout", "1000"});
  ASSERT_TRUE(serve.ok()) << serve.tool().Err();
  constexpr int kClients = 6;
  constexpr int kCalls = 40;
  std::atomic<int> wrong{0};
  std::vector<std::thread> clients;
  for (int c = 0; c < kClients; ++c) {
    clients.emplace_back([&, c] {
      for (int i = 0; i < kCalls; ++i) {
        const std::string request = "client " + std::to_string(c) + " call " + std::to_string(i);
        if (QueryServer(request.c_str(), "127.0.0.1", serve.port(), kGenerousMs) != request) {
          wrong.fetch_add(1);
        }
      }
    });
  }
  // Meanwhile a connection that sends nothing holds one worker until its
  // time runs out; the others go on.
  std::thread idle([&] { RawExchange(serve.port(), ""); });
  for (std::thread& client : clients) client.join();
  idle.join();
  EXPECT_EQ(wrong.load(), 0);
}

TEST(NetCommandTest, ErrorsOfTheExchange) {
  Serve serve({"--max-request", "100", "--timeout", "300"});
  ASSERT_TRUE(serve.ok()) << serve.tool().Err();
  const std::string port = serve.portText();

  // At the limit: answered.
  ToolResult r = RunTool({"query", "127.0.0.1", port, std::string(100, 'a')});
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, std::string(100, 'a'));

  // Over it: the server closes the connection, the client finds no reply
  // length (-7), and the server logs one line.
  ExpectFailures({{"request over the limit", {"query", "127.0.0.1", port, std::string(101, 'a')}, 1}});
  r = RunTool({"query", "127.0.0.1", port, std::string(101, 'a')});
  EXPECT_EQ(r.err, "zhtext query: " + G("<rtn_code>-7</rtn_code> <msg>接收长度信息错误!</msg>") + "\n");
  r = RunTool({"query", "--utf8", "127.0.0.1", port, std::string(101, 'a')});
  EXPECT_EQ(r.err, "zhtext query: <rtn_code>-7</rtn_code> <msg>接收长度信息错误!</msg>\n");
  EXPECT_TRUE(serve.tool().WaitForErr("zhtext serve: request of 101 bytes refused (over 100); connection closed\n",
                                      kGenerousMs))
      << serve.tool().Err();

  // A connection that sends nothing is closed once its time is up.
  EXPECT_EQ(RawExchange(serve.port(), ""), "");
  EXPECT_TRUE(serve.tool().WaitForErr("no request length within the time limit", kGenerousMs))
      << serve.tool().Err();
  // One cut short: logged too.
  EXPECT_EQ(RawExchange(serve.port(), Framed("abcdef").substr(0, 7)), "");
  EXPECT_TRUE(serve.tool().WaitForErr("request cut short: 3 of 6 bytes", kGenerousMs))
      << serve.tool().Err();

  // No server at all: -4, and nothing written to the log files.
  const ToolResult closed = RunTool({"query", "127.0.0.1", "1", "x"});
  EXPECT_EQ(closed.exit_code, 1);
  EXPECT_EQ(closed.err,
            "zhtext query: <rtn_code>-4</rtn_code> <msg>Cannot connect to server! Please Check the "
            "server 127.0.0.1:1!</msg>\n");
  EXPECT_EQ(closed.out, "");

  // A request with a zero byte cannot be sent.
  ExpectFailures({{"zero byte in the request", {"query", "127.0.0.1", port}, 1}}, std::string("a\0b", 3));
}

TEST(NetCommandTest, StopsCleanly) {
  struct Row {
    const char* name;
    int signal;  // 0: --stop-after
  };
  for (const Row& row : {Row{"SIGTERM", SIGTERM}, Row{"SIGINT", SIGINT}, Row{"--stop-after", 0}}) {
    SCOPED_TRACE(row.name);
    BackgroundTool tool({"serve", "--port", "0", "--stop-after", row.signal == 0 ? "1" : "120"});
    const std::string line = tool.WaitForLine(kGenerousMs);
    ASSERT_EQ(line.compare(0, 23, "listening on 127.0.0.1:"), 0) << tool.Err();
    const int port = std::atoi(line.c_str() + 23);
    EXPECT_STREQ(QueryServer("before", "127.0.0.1", port, kGenerousMs), "before");
    if (row.signal != 0) {
      EXPECT_TRUE(tool.Signal(row.signal));
    }
    EXPECT_EQ(tool.Wait(kGenerousMs), 0);
    EXPECT_EQ(tool.Err(), "zhtext serve: stopped after 1 connection\n");
    // The port is closed now.
    int code = 0;
    QueryServer("after", "127.0.0.1", port, kGenerousMs, nullptr, &code);
    EXPECT_EQ(code, -4);
  }
}

TEST(NetCommandTest, PortInUse) {
  Serve serve({});
  ASSERT_TRUE(serve.ok());
  ExpectFailures({{"second server on the port", {"serve", "--port", serve.portText()}, 1}});
}

}  // namespace
}  // namespace zhtext
