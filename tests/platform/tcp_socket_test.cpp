#include "zhtext/platform/tcp_socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "zhtext/platform/byte_order.h"
#include "zhtext/platform/sleep.h"

namespace zhtext {
namespace platform {
namespace {

constexpr long long kGenerousMs = 30000;

// A loopback listener on an ephemeral port; connections complete in the
// kernel's backlog, so one thread can connect and then accept.
class Listener {
 public:
  Listener() {
    fd_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in at;
    std::memset(&at, 0, sizeof at);
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    at.sin_port = 0;
    if (fd_ < 0 || bind(fd_, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0 ||
        listen(fd_, 8) != 0) {
      Close();
      return;
    }
    socklen_t size = sizeof at;
    getsockname(fd_, reinterpret_cast<sockaddr*>(&at), &size);
    port_ = ntohs(at.sin_port);
  }
  ~Listener() { Close(); }

  bool ok() const { return fd_ >= 0; }
  std::uint16_t port() const { return port_; }
  int Accept() { return accept(fd_, nullptr, nullptr); }
  void Close() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
  }

 private:
  int fd_ = -1;
  std::uint16_t port_ = 0;
};

std::uint32_t Loopback() { return HostToNet32(0x7F000001); }

// A client socket connected to a fresh listener, and the accepted peer.
class ConnectedTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(StartSockets(), 0);
    ASSERT_TRUE(listener_.ok());
    client_ = OpenTcpSocket();
    ASSERT_NE(client_, kInvalidSocket);
    ASSERT_TRUE(ConnectIpv4(client_, Loopback(), listener_.port())) << LastSocketError();
    peer_ = listener_.Accept();
    ASSERT_GE(peer_, 0);
  }
  void TearDown() override {
    CloseSocket(client_);
    if (peer_ >= 0) close(peer_);
    StopSockets();
  }

  Listener listener_;
  SocketHandle client_ = kInvalidSocket;
  int peer_ = -1;
};

TEST(ResolveIpv4Test, NamesAndDottedAddresses) {
  std::uint32_t address = 0;
  ASSERT_TRUE(ResolveIpv4("127.0.0.1", &address));
  EXPECT_EQ(NetToHost32(address), 0x7F000001u);
  ASSERT_TRUE(ResolveIpv4("10.1.2.3", &address));
  EXPECT_EQ(NetToHost32(address), 0x0A010203u);
  address = 0;
  ASSERT_TRUE(ResolveIpv4("localhost", &address));
  EXPECT_EQ(NetToHost32(address) >> 24, 127u);
}

TEST(ResolveIpv4Test, UnresolvableFails) {
  std::uint32_t address = 0x12345678;
  for (const char* host : {"no-such-host.invalid", "999.1.1.1", ""}) {
    SCOPED_TRACE(host);
    EXPECT_FALSE(ResolveIpv4(host, &address));
    EXPECT_NE(LastSocketError(), 0);
  }
  EXPECT_FALSE(ResolveIpv4(nullptr, &address));
  EXPECT_EQ(address, 0x12345678u);
}

TEST(TcpSocketTest, SocketIsNotInherited) {
  SocketHandle s = OpenTcpSocket();
  ASSERT_NE(s, kInvalidSocket);
  EXPECT_NE(fcntl(s, F_GETFD) & FD_CLOEXEC, 0);
  CloseSocket(s);
}

TEST(TcpSocketTest, ConnectRefused) {
  Listener listener;
  ASSERT_TRUE(listener.ok());
  std::uint16_t port = listener.port();
  listener.Close();
  SocketHandle s = OpenTcpSocket();
  ASSERT_NE(s, kInvalidSocket);
  EXPECT_FALSE(ConnectIpv4(s, Loopback(), port));
  EXPECT_EQ(LastSocketError(), ECONNREFUSED);
  // Closing keeps the reason of the failure.
  CloseSocket(s);
  EXPECT_EQ(LastSocketError(), ECONNREFUSED);
  EXPECT_EQ(fcntl(s, F_GETFD), -1);
  CloseSocket(kInvalidSocket);
}

TEST_F(ConnectedTest, RoundTrip) {
  EXPECT_EQ(WaitWritable(client_, kGenerousMs), 1);
  EXPECT_EQ(SendSome(client_, "hello", 5), 5);
  char buffer[16] = {};
  ASSERT_EQ(WaitReadable(peer_, kGenerousMs), 1);
  EXPECT_EQ(RecvSome(peer_, buffer, sizeof buffer), 5);
  EXPECT_STREQ(buffer, "hello");

  const char reply[] = {'o', 'k', '\0', '\xFF'};  // any bytes, zero included
  EXPECT_EQ(SendSome(peer_, reply, sizeof reply), 4);
  std::string got;
  while (got.size() < 4) {
    ASSERT_EQ(WaitReadable(client_, kGenerousMs), 1);
    long n = RecvSome(client_, buffer, sizeof buffer);
    ASSERT_GT(n, 0);
    got.append(buffer, static_cast<std::size_t>(n));
  }
  EXPECT_EQ(got, std::string(reply, 4));
  EXPECT_EQ(SendSome(client_, "", 0), 0);
}

TEST_F(ConnectedTest, WaitReadableTimesOutThenSeesData) {
  EXPECT_EQ(WaitReadable(client_, 0), 0);
  EXPECT_EQ(WaitReadable(client_, 30), 0);
  ASSERT_EQ(SendSome(peer_, "x", 1), 1);
  EXPECT_EQ(WaitReadable(client_, kGenerousMs), 1);
  EXPECT_EQ(WaitReadable(client_, -1), 1);  // still there: not consumed
  char c = 0;
  EXPECT_EQ(RecvSome(client_, &c, 1), 1);
  EXPECT_EQ(c, 'x');
  EXPECT_EQ(WaitReadable(client_, 0), 0);

  // A peer that closes makes the socket readable, and a receive gives 0.
  close(peer_);
  peer_ = -1;
  EXPECT_EQ(WaitReadable(client_, kGenerousMs), 1);
  EXPECT_EQ(RecvSome(client_, &c, 1), 0);
}

TEST(TcpSocketTest, WaitOnNoSocketIsAnError) {
  // poll() would silently skip a negative descriptor and report a time-out.
  EXPECT_EQ(WaitReadable(kInvalidSocket, 10), -1);
  EXPECT_EQ(WaitWritable(kInvalidSocket, 10), -1);
  SocketHandle s = OpenTcpSocket();
  ASSERT_NE(s, kInvalidSocket);
  CloseSocket(s);
  EXPECT_EQ(WaitReadable(s, 10), -1);
  EXPECT_EQ(LastSocketError(), EBADF);
}

TEST(TcpListenTest, ListenAcceptAndLocalPort) {
  SocketHandle listener = ListenIpv4(Loopback(), 0, 8);
  ASSERT_NE(listener, kInvalidSocket);
  EXPECT_NE(fcntl(listener, F_GETFD) & FD_CLOEXEC, 0);
  const int port = LocalPort(listener);
  ASSERT_GT(port, 0);

  // Nothing waiting on a non-blocking listener: "would block".
  ASSERT_EQ(SetSocketNonBlocking(listener, true), 0);
  EXPECT_EQ(AcceptConnection(listener), kInvalidSocket);
  EXPECT_TRUE(WouldBlock(LastSocketError())) << LastSocketError();
  EXPECT_FALSE(WouldBlock(ECONNREFUSED));

  SocketHandle client = OpenTcpSocket();
  ASSERT_TRUE(ConnectIpv4(client, Loopback(), static_cast<std::uint16_t>(port)));
  EXPECT_GT(LocalPort(client), 0);
  ASSERT_EQ(WaitReadable(listener, kGenerousMs), 1);
  SocketHandle peer = AcceptConnection(listener);
  ASSERT_NE(peer, kInvalidSocket);
  // The accepted socket blocks, is not inherited, and talks to the client.
  EXPECT_EQ(fcntl(peer, F_GETFL) & O_NONBLOCK, 0);
  EXPECT_NE(fcntl(peer, F_GETFD) & FD_CLOEXEC, 0);
  EXPECT_EQ(LocalPort(peer), port);
  ASSERT_EQ(SendSome(client, "ping", 4), 4);
  char buffer[8] = {};
  ASSERT_EQ(WaitReadable(peer, kGenerousMs), 1);
  EXPECT_EQ(RecvSome(peer, buffer, sizeof buffer), 4);
  EXPECT_STREQ(buffer, "ping");
  CloseSocket(peer);
  CloseSocket(client);
  CloseSocket(listener);
  EXPECT_EQ(LocalPort(kInvalidSocket), -1);
}

TEST(TcpListenTest, PortInUseAndReuseAfterStop) {
  SocketHandle first = ListenIpv4(Loopback(), 0, 8);
  ASSERT_NE(first, kInvalidSocket);
  const std::uint16_t port = static_cast<std::uint16_t>(LocalPort(first));
  // A second listener on the same port fails while the first listens.
  EXPECT_EQ(ListenIpv4(Loopback(), port, 8), kInvalidSocket);
  EXPECT_EQ(LastSocketError(), EADDRINUSE);

  // A connection closed by the server side leaves the port in TIME_WAIT; a
  // new server may still listen on it.
  SocketHandle client = OpenTcpSocket();
  ASSERT_TRUE(ConnectIpv4(client, Loopback(), port));
  ASSERT_EQ(WaitReadable(first, kGenerousMs), 1);
  SocketHandle peer = AcceptConnection(first);
  ASSERT_NE(peer, kInvalidSocket);
  CloseSocket(peer);
  CloseSocket(first);
  char c;
  ASSERT_EQ(WaitReadable(client, kGenerousMs), 1);
  EXPECT_EQ(RecvSome(client, &c, 1), 0);
  CloseSocket(client);
  SocketHandle again = ListenIpv4(Loopback(), port, 8);
  EXPECT_NE(again, kInvalidSocket) << LastSocketError();
  CloseSocket(again);

  // An address that is not this machine's.
  EXPECT_EQ(ListenIpv4(HostToNet32(0xC0000201), 0, 8), kInvalidSocket);  // 192.0.2.1
}

TEST(TcpListenTest, ConnectWithinATimeLimit) {
  SocketHandle listener = ListenIpv4(Loopback(), 0, 1);
  ASSERT_NE(listener, kInvalidSocket);
  const std::uint16_t port = static_cast<std::uint16_t>(LocalPort(listener));
  struct Row {
    const char* name;
    bool nonBlocking;
  };
  for (const Row& row : {Row{"blocking socket", false}, Row{"non-blocking socket", true}}) {
    SCOPED_TRACE(row.name);
    SocketHandle s = OpenTcpSocket();
    ASSERT_EQ(SetSocketNonBlocking(s, row.nonBlocking), 0);
    EXPECT_EQ(ConnectIpv4Within(s, Loopback(), port, kGenerousMs), 1);
    // The mode is as it was.
    EXPECT_EQ((fcntl(s, F_GETFL) & O_NONBLOCK) != 0, row.nonBlocking);
    ASSERT_EQ(WaitReadable(listener, kGenerousMs), 1);
    SocketHandle peer = AcceptConnection(listener);
    EXPECT_NE(peer, kInvalidSocket);
    CloseSocket(peer);
    CloseSocket(s);
  }

  // Without a limit it is ConnectIpv4; a refusal is -1 either way.
  SocketHandle s = OpenTcpSocket();
  EXPECT_EQ(ConnectIpv4Within(s, Loopback(), port, -1), 1);
  CloseSocket(s);
  ASSERT_EQ(WaitReadable(listener, kGenerousMs), 1);
  CloseSocket(AcceptConnection(listener));
  CloseSocket(listener);
  for (long long limit : {-1LL, kGenerousMs}) {
    s = OpenTcpSocket();
    EXPECT_EQ(ConnectIpv4Within(s, Loopback(), port, limit), -1);
    EXPECT_EQ(LastSocketError(), ECONNREFUSED);
    CloseSocket(s);
  }

  // A listener that accepts nothing stops answering once its queue is full:
  // then the limit ends the connect.
  listener = ListenIpv4(Loopback(), 0, 1);
  ASSERT_NE(listener, kInvalidSocket);
  const std::uint16_t full = static_cast<std::uint16_t>(LocalPort(listener));
  std::vector<SocketHandle> waiting;
  int result = 1;
  for (int i = 0; i < 16 && result == 1; ++i) {
    waiting.push_back(OpenTcpSocket());
    result = ConnectIpv4Within(waiting.back(), Loopback(), full, 100);
  }
  for (SocketHandle w : waiting) CloseSocket(w);
  CloseSocket(listener);
  if (result == 1) GTEST_SKIP() << "the listen queue never filled";
  EXPECT_EQ(result, 0);
  EXPECT_EQ(LastSocketError(), ETIMEDOUT);
}

volatile sig_atomic_t g_sigpipes = 0;
void CountSigpipe(int) { g_sigpipes = g_sigpipes + 1; }

TEST_F(ConnectedTest, SendToClosedPeerFailsWithoutSigpipe) {
  struct sigaction handler, previous;
  std::memset(&handler, 0, sizeof handler);
  handler.sa_handler = CountSigpipe;
  ASSERT_EQ(sigaction(SIGPIPE, &handler, &previous), 0);
  g_sigpipes = 0;

  close(peer_);
  peer_ = -1;
  // The first sends may still be accepted; the peer's reset makes a later
  // one fail.
  long result = 0;
  for (int i = 0; i < 1000 && result >= 0; ++i) {
    result = SendSome(client_, "data", 4);
    if (result >= 0) SleepMilliseconds(5);
  }
  int error = LastSocketError();
  sigaction(SIGPIPE, &previous, nullptr);
  EXPECT_EQ(result, -1);
  EXPECT_TRUE(error == EPIPE || error == ECONNRESET) << error;
  EXPECT_EQ(g_sigpipes, 0);
}

TEST_F(ConnectedTest, NonBlockingSwitch) {
  ASSERT_EQ(SetSocketNonBlocking(client_, true), 0);
  EXPECT_NE(fcntl(client_, F_GETFL) & O_NONBLOCK, 0);
  char c;
  EXPECT_EQ(RecvSome(client_, &c, 1), -1);
  EXPECT_TRUE(LastSocketError() == EAGAIN || LastSocketError() == EWOULDBLOCK);
  EXPECT_EQ(SetSocketNonBlocking(client_, true), 0);  // again: no change
  ASSERT_EQ(SetSocketNonBlocking(client_, false), 0);
  EXPECT_EQ(fcntl(client_, F_GETFL) & O_NONBLOCK, 0);
  EXPECT_EQ(SetSocketNonBlocking(kInvalidSocket, true), -1);
}

// Descriptors that fill every number up to a bound; closed on destruction.
class FdFiller {
 public:
  explicit FdFiller(int above) {
    int fd = open("/dev/null", O_RDONLY | O_CLOEXEC);
    while (fd >= 0 && fd <= above) {
      fds_.push_back(fd);
      fd = dup(fd);
    }
    if (fd >= 0) close(fd);
  }
  ~FdFiller() {
    for (int fd : fds_) close(fd);
  }
  std::size_t count() const { return fds_.size(); }

 private:
  std::vector<int> fds_;
};

TEST(TcpSocketTest, WaitsOnSocketNumbersAboveFdSetSize) {
  constexpr int kAbove = FD_SETSIZE + 76;
  rlimit limit;
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &limit), 0);
  rlimit saved = limit;
  if (limit.rlim_cur < static_cast<rlim_t>(kAbove) + 64) {
    if (limit.rlim_max < static_cast<rlim_t>(kAbove) + 64) GTEST_SKIP() << "fd limit too low";
    limit.rlim_cur = kAbove + 64;
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &limit), 0);
  }
  {
    FdFiller filler(kAbove);
    ASSERT_GT(filler.count(), static_cast<std::size_t>(FD_SETSIZE));
    Listener listener;
    ASSERT_TRUE(listener.ok());
    SocketHandle s = OpenTcpSocket();
    ASSERT_GT(s, kAbove);
    ASSERT_TRUE(ConnectIpv4(s, Loopback(), listener.port()));
    int peer = listener.Accept();
    ASSERT_GE(peer, 0);

    EXPECT_EQ(WaitWritable(s, kGenerousMs), 1);
    EXPECT_EQ(WaitReadable(s, 20), 0);
    ASSERT_EQ(SendSome(peer, "z", 1), 1);
    EXPECT_EQ(WaitReadable(s, kGenerousMs), 1);
    char c = 0;
    EXPECT_EQ(RecvSome(s, &c, 1), 1);
    EXPECT_EQ(c, 'z');
    close(peer);
    CloseSocket(s);
  }
  setrlimit(RLIMIT_NOFILE, &saved);
}

}  // namespace
}  // namespace platform
}  // namespace zhtext
