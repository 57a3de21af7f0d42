// TCP sockets: IPv4 name resolution, connect, listen and accept, send,
// receive and waiting for readiness. A socket is a plain handle value; kInvalidSocket
// marks none. Functions return -1 (or false) on failure and leave the reason
// in LastSocketError(). Sending never raises SIGPIPE. Waiting has no
// FD_SETSIZE limit. Sockets are not passed on to programs the process starts.
// The caller owns every socket it opens and closes it with CloseSocket. Each
// socket is used by one thread at a time; different sockets may be used by
// different threads at once.
#ifndef ZHTEXT_PLATFORM_TCP_SOCKET_H_
#define ZHTEXT_PLATFORM_TCP_SOCKET_H_

#include <cstddef>
#include <cstdint>

namespace zhtext {
namespace platform {

#ifdef _WIN32
using SocketHandle = std::uintptr_t;
inline constexpr SocketHandle kInvalidSocket = ~static_cast<SocketHandle>(0);
#else
using SocketHandle = int;
inline constexpr SocketHandle kInvalidSocket = -1;
#endif

// Starts and stops the socket layer (a no-op on POSIX). StartSockets returns
// 0 on success, else an error code.
int StartSockets();
void StopSockets();

// A new IPv4 stream socket, or kInvalidSocket.
SocketHandle OpenTcpSocket();

// Resolves `host` (a name or a dotted IPv4 address) to its first IPv4
// address, in network byte order. False when it cannot be resolved (or
// `host` is null).
bool ResolveIpv4(const char* host, std::uint32_t* address);

// Connects to an IPv4 address (network byte order) and port (host order).
// False on failure (LastSocketError tells a refusal from other causes).
bool ConnectIpv4(SocketHandle s, std::uint32_t address, std::uint16_t port);

// Sends up to `len` bytes; the count sent, or -1 (also when the peer has
// closed the connection).
long SendSome(SocketHandle s, const char* data, std::size_t len);

// Receives up to `len` bytes; the count received (0 when the peer closed),
// or -1.
long RecvSome(SocketHandle s, char* buf, std::size_t len);

// Waits until the socket is writable (resp. readable) or `timeoutMs`
// milliseconds pass (negative: no time-out). 1 ready, 0 timed out, -1 error
// (kInvalidSocket or a socket that is not open). A pending error or a closed
// peer counts as ready: the next send or receive reports it.
int WaitWritable(SocketHandle s, long long timeoutMs);
int WaitReadable(SocketHandle s, long long timeoutMs);

// Switches non-blocking mode on or off; 0 on success, else -1.
int SetSocketNonBlocking(SocketHandle s, bool nonBlocking);

// Connects as ConnectIpv4, giving up once `timeoutMs` milliseconds have
// passed (negative: no limit, as ConnectIpv4). 1 connected, 0 timed out,
// -1 failed. The socket keeps the blocking mode it had.
int ConnectIpv4Within(SocketHandle s, std::uint32_t address, std::uint16_t port,
                      long long timeoutMs);

// ---- Servers --------------------------------------------------------------

// A new IPv4 stream socket bound to `address` (network byte order) and
// `port` (host order; 0 lets the system pick a free port) and listening,
// with room for `backlog` connections waiting to be accepted. The address
// may be reused at once after an earlier server on it has stopped (its old
// connections still closing). kInvalidSocket on failure (in use, no such
// local address, no resources).
SocketHandle ListenIpv4(std::uint32_t address, std::uint16_t port, int backlog);

// The local port (host order) that `s` is bound to, or -1.
int LocalPort(SocketHandle s);

// Takes one waiting connection from the listening socket `listener`; blocks
// until one comes unless the listener is non-blocking. The new socket is
// blocking whatever the listener's mode, is not passed on to programs the
// process starts, and never raises SIGPIPE. kInvalidSocket on failure, or
// when a non-blocking listener has no connection waiting (LastSocketError
// then tells "would block" from other causes: see WouldBlock).
SocketHandle AcceptConnection(SocketHandle listener);

// Whether `error` (a LastSocketError value) means that a non-blocking call
// found nothing to do yet.
bool WouldBlock(int error);

// Closes the socket (nothing for kInvalidSocket). Leaves LastSocketError as
// it was, so that a failure's reason survives the clean-up after it.
void CloseSocket(SocketHandle s);

// The error code of the last failed socket call on this thread.
int LastSocketError();

}  // namespace platform
}  // namespace zhtext

#endif  // ZHTEXT_PLATFORM_TCP_SOCKET_H_
