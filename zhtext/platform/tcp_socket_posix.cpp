#include "zhtext/platform/tcp_socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/types.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

namespace zhtext {
namespace platform {

namespace {

#ifdef MSG_NOSIGNAL
constexpr int kSendFlags = MSG_NOSIGNAL;
#else
constexpr int kSendFlags = 0;  // SO_NOSIGPIPE is set on the socket instead
#endif

long long MonotonicMs() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// poll() rather than select(): any descriptor number can be waited on.
int WaitFor(SocketHandle s, short events, long long timeoutMs) {
  if (s < 0) {
    errno = EBADF;
    return -1;
  }
  const bool forever = timeoutMs < 0;
  long long deadline = 0;
  if (!forever) {
    long long now = MonotonicMs();
    deadline = timeoutMs > LLONG_MAX - now ? LLONG_MAX : now + timeoutMs;
  }
  for (;;) {
    int waitMs = -1;
    if (!forever) {
      long long left = deadline - MonotonicMs();
      if (left < 0) left = 0;
      waitMs = left > INT_MAX ? INT_MAX : static_cast<int>(left);
    }
    pollfd entry;
    entry.fd = s;
    entry.events = events;
    entry.revents = 0;
    int ready = poll(&entry, 1, waitMs);
    if (ready > 0) {
      if (entry.revents & POLLNVAL) {
        errno = EBADF;
        return -1;
      }
      return 1;
    }
    if (ready == 0) {
      // A wait longer than poll() can take at once goes on in pieces.
      if (!forever && MonotonicMs() >= deadline) return 0;
      continue;
    }
    if (errno != EINTR) return -1;
  }
}

int ResolverErrno(int code) {
  switch (code) {
    case EAI_SYSTEM:
      return errno != 0 ? errno : EIO;
    case EAI_MEMORY:
      return ENOMEM;
    case EAI_AGAIN:
      return EAGAIN;
    default:
      return EHOSTUNREACH;
  }
}

}  // namespace

int StartSockets() { return 0; }

void StopSockets() {}

SocketHandle OpenTcpSocket() {
#ifdef SOCK_CLOEXEC
  int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
#else
  int s = socket(AF_INET, SOCK_STREAM, 0);
  if (s >= 0) fcntl(s, F_SETFD, FD_CLOEXEC);
#endif
  if (s < 0) return kInvalidSocket;
#if !defined(MSG_NOSIGNAL) && defined(SO_NOSIGPIPE)
  int on = 1;
  setsockopt(s, SOL_SOCKET, SO_NOSIGPIPE, &on, sizeof on);
#endif
  return s;
}

bool ResolveIpv4(const char* host, std::uint32_t* address) {
  if (host == nullptr || address == nullptr) {
    errno = EINVAL;
    return false;
  }
  addrinfo hints;
  std::memset(&hints, 0, sizeof hints);
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  errno = 0;
  int rc = getaddrinfo(host, nullptr, &hints, &found);
  if (rc != 0) {
    errno = ResolverErrno(rc);
    return false;
  }
  bool ok = false;
  for (const addrinfo* p = found; p != nullptr; p = p->ai_next) {
    if (p->ai_family != AF_INET || p->ai_addr == nullptr ||
        p->ai_addrlen < static_cast<socklen_t>(sizeof(sockaddr_in))) {
      continue;
    }
    sockaddr_in in;
    std::memcpy(&in, p->ai_addr, sizeof in);
    *address = in.sin_addr.s_addr;
    ok = true;
    break;
  }
  freeaddrinfo(found);
  if (!ok) errno = EHOSTUNREACH;
  return ok;
}

bool ConnectIpv4(SocketHandle s, std::uint32_t address, std::uint16_t port) {
  sockaddr_in to;
  std::memset(&to, 0, sizeof to);
  to.sin_family = AF_INET;
  to.sin_port = htons(port);
  to.sin_addr.s_addr = address;
  if (connect(s, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0) return true;
  if (errno != EINTR) return false;
  // An interrupted connect goes on in the background: wait for its outcome.
  if (WaitFor(s, POLLOUT, -1) < 0) return false;
  int pending = 0;
  socklen_t size = sizeof pending;
  if (getsockopt(s, SOL_SOCKET, SO_ERROR, &pending, &size) != 0) return false;
  if (pending != 0) {
    errno = pending;
    return false;
  }
  return true;
}

int ConnectIpv4Within(SocketHandle s, std::uint32_t address, std::uint16_t port,
                      long long timeoutMs) {
  if (timeoutMs < 0) return ConnectIpv4(s, address, port) ? 1 : -1;
  const int flags = fcntl(s, F_GETFL);
  if (flags < 0) return -1;
  if ((flags & O_NONBLOCK) == 0 && fcntl(s, F_SETFL, flags | O_NONBLOCK) != 0) return -1;
  sockaddr_in to;
  std::memset(&to, 0, sizeof to);
  to.sin_family = AF_INET;
  to.sin_port = htons(port);
  to.sin_addr.s_addr = address;
  int result = -1;
  if (connect(s, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0) {
    result = 1;
  } else if (errno == EINPROGRESS || errno == EINTR) {
    const int ready = WaitFor(s, POLLOUT, timeoutMs);
    if (ready == 0) {
      errno = ETIMEDOUT;
      result = 0;
    } else if (ready > 0) {
      int pending = 0;
      socklen_t size = sizeof pending;
      if (getsockopt(s, SOL_SOCKET, SO_ERROR, &pending, &size) == 0) {
        if (pending == 0) {
          result = 1;
        } else {
          errno = pending;
        }
      }
    }
  }
  const int saved = errno;
  if ((flags & O_NONBLOCK) == 0) fcntl(s, F_SETFL, flags);
  errno = saved;
  return result;
}

SocketHandle ListenIpv4(std::uint32_t address, std::uint16_t port, int backlog) {
  SocketHandle s = OpenTcpSocket();
  if (s == kInvalidSocket) return kInvalidSocket;
  int on = 1;
  setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in at;
  std::memset(&at, 0, sizeof at);
  at.sin_family = AF_INET;
  at.sin_port = htons(port);
  at.sin_addr.s_addr = address;
  if (bind(s, reinterpret_cast<const sockaddr*>(&at), sizeof at) != 0 ||
      listen(s, backlog < 1 ? 1 : backlog) != 0) {
    CloseSocket(s);
    return kInvalidSocket;
  }
  return s;
}

int LocalPort(SocketHandle s) {
  sockaddr_in at;
  std::memset(&at, 0, sizeof at);
  socklen_t size = sizeof at;
  if (getsockname(s, reinterpret_cast<sockaddr*>(&at), &size) != 0 || at.sin_family != AF_INET) {
    return -1;
  }
  return ntohs(at.sin_port);
}

SocketHandle AcceptConnection(SocketHandle listener) {
  for (;;) {
#if defined(__linux__)
    // accept4 without SOCK_NONBLOCK gives a blocking socket whatever the
    // listener's mode.
    int s = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
#else
    int s = accept(listener, nullptr, nullptr);
#endif
    if (s < 0) {
      if (errno == EINTR || errno == ECONNABORTED) continue;
      return kInvalidSocket;
    }
#if !defined(__linux__)
    // Elsewhere the new socket may inherit the listener's non-blocking mode.
    fcntl(s, F_SETFD, FD_CLOEXEC);
    int flags = fcntl(s, F_GETFL);
    if (flags >= 0 && (flags & O_NONBLOCK) != 0) fcntl(s, F_SETFL, flags & ~O_NONBLOCK);
#if !defined(MSG_NOSIGNAL) && defined(SO_NOSIGPIPE)
    int on = 1;
    setsockopt(s, SOL_SOCKET, SO_NOSIGPIPE, &on, sizeof on);
#endif
#endif
    return s;
  }
}

bool WouldBlock(int error) { return error == EAGAIN || error == EWOULDBLOCK; }

long SendSome(SocketHandle s, const char* data, std::size_t len) {
  for (;;) {
    ssize_t sent = send(s, data, len, kSendFlags);
    if (sent >= 0) return static_cast<long>(sent);
    if (errno != EINTR) return -1;
  }
}

long RecvSome(SocketHandle s, char* buf, std::size_t len) {
  for (;;) {
    ssize_t got = recv(s, buf, len, 0);
    if (got >= 0) return static_cast<long>(got);
    if (errno != EINTR) return -1;
  }
}

int WaitWritable(SocketHandle s, long long timeoutMs) { return WaitFor(s, POLLOUT, timeoutMs); }

int WaitReadable(SocketHandle s, long long timeoutMs) { return WaitFor(s, POLLIN, timeoutMs); }

int SetSocketNonBlocking(SocketHandle s, bool nonBlocking) {
  int flags = fcntl(s, F_GETFL);
  if (flags < 0) return -1;
  int wanted = nonBlocking ? (flags | O_NONBLOCK) : (flags & ~O_NONBLOCK);
  if (wanted != flags && fcntl(s, F_SETFL, wanted) != 0) return -1;
  return 0;
}

void CloseSocket(SocketHandle s) {
  if (s < 0) return;
  int saved = errno;
  // Not retried on EINTR: the descriptor is released either way.
  close(s);
  errno = saved;
}

int LastSocketError() { return errno; }

}  // namespace platform
}  // namespace zhtext
