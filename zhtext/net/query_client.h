// The request client: sends one text request to a server over TCP and
// returns the server's reply. Each call opens a connection, sends the
// request, reads one reply and closes the connection.
//
// Wire format (one exchange per connection; integers are 32-bit, big-endian,
// never enciphered):
//   client -> server  L, the request's length (its zero byte not counted),
//                     then the L request bytes enciphered with
//                     CVeskEncript(RequestClientKey()), key position 0 at
//                     the first body byte;
//   server -> client  R (signed; a negative value stands for its absolute
//                     value), then R reply bytes enciphered the same way.
// No terminator is sent; a reply may hold any bytes, zero bytes included.
//
// Failures never raise. Each comes back in place of the reply as one of
// eight texts, "<rtn_code>N</rtn_code>\n<msg>...</msg>" with N from -1 to -8
// (the texts of -5 to -8 are GBK), which is also stored with SetLastMessage
// and written to the error log (zhtext/util/log.h):
//   -1 null host or negative port      -5 the length was not sent whole
//   -2 no socket could be created      -6 the request was not sent whole
//   -3 the host name does not resolve  -7 the reply length was not received
//   -4 no connection ("... server HOST:PORT!", the port as given)
//   -8 fewer reply bytes than announced
//
// Ownership: the caller releases nothing. A reply buffer (R + 1 bytes, the
// last one zero) belongs to one process-wide CDeferredFreeList, created on
// the first successful reply; it stays valid until at least 10000 later
// replies have been registered, or until FreeQueryResults. An error text is
// a copy kept per thread: it stays valid until the same thread's next
// failed QueryServer.
//
// Memory: the reply buffer grows as bytes arrive, so a server that
// announces a huge reply and sends little makes the client hold only about
// what was really received (at most twice that, and 64 KiB to begin with).
//
// Time limits: by default each wait for the socket to be writable or
// readable lasts up to 100,000 seconds, and the connect itself is not
// limited (the system gives up on its own). The socket then blocks, so a
// request larger than the system's socket buffers, sent to a server that
// reads none of it, may wait in the send itself for longer. The overloads with `timeoutMs`
// bound the whole exchange instead: the connect and every wait get what
// is left of `timeoutMs` milliseconds from the start of the call, and a
// time-out ends the call with the error of the step that was waiting (-4
// connecting, -5 or -6 sending, -7 or -8 receiving). Resolving the host name
// is not covered by the limit. Under a limit the call's socket is
// non-blocking (a blocking send could wait past any limit); otherwise it
// stays blocking. A negative `timeoutMs` is the default.
//
// Concurrency: QueryServer may be called from any number of threads at
// once; the reply list, its creation and its release by FreeQueryResults are
// guarded. Replies handed out before a FreeQueryResults become invalid, on
// every thread.
#ifndef ZHTEXT_NET_QUERY_CLIENT_H_
#define ZHTEXT_NET_QUERY_CLIENT_H_

#include <cstddef>

#include "zhtext/platform/tcp_socket.h"

namespace zhtext {

// The default longest wait of each send or receive step: 100,000 s.
inline constexpr long long kQueryWaitMs = 100000LL * 1000;

// One exchange with the server at `host` (a name or a dotted IPv4 address)
// and `port` (its low 16 bits are used; error texts show it whole). Returns
// the deciphered, zero-terminated reply, or an error text. A null request is
// sent as an empty one.
const char* QueryServer(const char* request, const char* host, int port);

// As above, the whole exchange bounded by `timeoutMs` (negative: no bound
// beyond the default waits). When given, `*replyLength` receives the length
// of the returned text (a reply may hold zero bytes) and `*errorCode` 0 for a
// reply or the code (-1 to -8) of an error text.
const char* QueryServer(const char* request, const char* host, int port, long long timeoutMs,
                        std::size_t* replyLength = nullptr, int* errorCode = nullptr);

// Releases every reply handed out so far, with the list that held them; the
// next successful reply starts a new list. Returns false.
bool FreeQueryResults();

// The number of entries of the reply list (0 when there is none), for
// diagnostics.
std::size_t GetQueryResultCount();

// Starts the socket layer. Returns 0 on success; otherwise prints
// "Error %d: Winsock not available\n" with the error code to standard
// output and returns 1.
int SocketStartup();

// Sends the `len` bytes of `data`, each wait for the socket to take more
// lasting up to kQueryWaitMs. Returns the number of bytes sent: fewer than
// `len` when a wait times out ("send select() timeout " reported on standard
// error like perror), a wait fails ("send select()") or a send fails
// ("send()" on standard error, "send error no is N\n" on standard output).
int SendAll(platform::SocketHandle s, const char* data, int len);

// As above, all of it within `timeoutMs` (negative: each wait kQueryWaitMs).
// On a blocking socket a single send may itself wait until all of its bytes
// fit, past the limit; on a non-blocking one (SetNonBlocking) the limit
// holds.
int SendAll(platform::SocketHandle s, const char* data, int len, long long timeoutMs);

// Receives up to `len` bytes into `buf`, each wait lasting up to
// kQueryWaitMs. Returns the number received: fewer than `len` when a wait
// times out or fails, or the peer closes the connection. Prints nothing.
int RecvAll(platform::SocketHandle s, char* buf, int len);

// As above, all of it within `timeoutMs` (negative: each wait kQueryWaitMs).
int RecvAll(platform::SocketHandle s, char* buf, int len, long long timeoutMs);

// Switch the socket's non-blocking mode off (SetBlocking) or on
// (SetNonBlocking). Return 0 on success, else -1. QueryServer uses neither;
// its sockets stay blocking.
int SetBlocking(platform::SocketHandle s);
int SetNonBlocking(platform::SocketHandle s);

}  // namespace zhtext

#endif  // ZHTEXT_NET_QUERY_CLIENT_H_
