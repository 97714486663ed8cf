// The operating system's sockets under one small interface: BSD sockets on
// Linux, Winsock 2 on Windows. Everything above this file is written once.
#pragma once
#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#endif
#include <cstdint>

namespace nlsys {

#ifdef _WIN32
using Fd = SOCKET;
constexpr Fd kNoFd = INVALID_SOCKET;
#else
using Fd = int;
constexpr Fd kNoFd = -1;
#endif

bool StartNetwork();  // WSAStartup on Windows
void StopNetwork();

int LastError();  // errno / WSAGetLastError, right after the failing call
void SetLastError(int err);
bool WouldBlock(int err);
bool Interrupted(int err);
bool InProgress(int err);  // a non-blocking connect under way
// Errors that mean the connection is gone (HawkNL's NL_SOCK_DISCONNECT).
bool Disconnected(int err);
bool Refused(int err);
bool MessageTooLong(int err);  // Windows: a datagram cut to the buffer
int InvalidArgumentError();    // EINVAL / WSAEINVAL
int PipeError();               // EPIPE / WSAESHUTDOWN

Fd OpenSocket(int type);  // SOCK_STREAM / SOCK_DGRAM over IPv4
void CloseSocket(Fd fd);
bool SetBlocking(Fd fd, bool blocking);
// The pending error of a socket (SO_ERROR), 0 when none.
int PendingError(Fd fd);
bool SetReceiveTimeout(Fd fd, int ms);
// An error a would-block receive did not report: Wine (not Windows) holds a
// refused datagram's error back from recv and select, but shows it as the
// socket's SO_ERROR. Always 0 on Linux, where recv reports it.
int HeldBackError(Fd fd);

// send/sendto without SIGPIPE; results as the system gives them.
int Send(Fd fd, const void* data, int size);
int SendTo(Fd fd, const void* data, int size, const sockaddr_in& to);
int Recv(Fd fd, void* data, int size);
int RecvFrom(Fd fd, void* data, int size, sockaddr_in& from);

enum class Ready { Read, Write, Error };
// Waits up to timeoutMs (< 0: forever) until sockets are ready; ready[i] tells
// which. Returns the number ready, 0 on time-out or interruption, -1 on error.
int Wait(const Fd* fds, int count, Ready what, int timeoutMs, bool* ready);

// IPv4 addresses of the machine's interfaces (network order), loop-back last.
int LocalInterfaceAddresses(uint32_t* out, int max);

// Windows: a connected UDP socket keeps reporting a refused peer; an
// unconnected one (a listener) must not stop on it. No-op elsewhere.
void IgnoreConnectionResets(Fd fd);

const char* ErrorText(int err);  // the system's message for an error number

}  // namespace nlsys
