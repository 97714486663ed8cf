/* The network library's public interface: HawkNL 1.7's names, types,
   constants, error codes and calling convention, for the IP network.
   Programs written for HawkNL 1.7 compile against it unchanged. */
#ifndef NL_H
#define NL_H

#include <string.h>

#include "hawklib.h"

#ifdef __cplusplus
extern "C" {
#endif

#define NL_MAJOR_VERSION 1
#define NL_MINOR_VERSION 7
#define NL_VERSION_STRING "HawkNL 1.7 beta 1"

typedef char NLbyte;
typedef unsigned char NLubyte;
typedef unsigned char NLboolean;
typedef short NLshort;
typedef unsigned short NLushort;
typedef int NLint;
typedef unsigned int NLuint;
typedef float NLfloat;
typedef double NLdouble;
typedef void NLvoid;
typedef unsigned int NLenum;
#if defined(WIN64)
typedef int NLlong;
typedef unsigned int NLulong;
#else
typedef long NLlong; /* 8 bytes on 64-bit Linux, 4 on Windows */
typedef unsigned long NLulong;
#endif
#ifdef _UNICODE
typedef wchar_t NLchar;
#else
typedef char NLchar;
#endif
typedef NLlong NLsocket;

/* For NL_IP, addr begins with a sockaddr_in: family (host order), port and
   IPv4 address in network order. 40 bytes; valid at offset 36. */
typedef struct _NLaddress {
    NLubyte addr[32];
    NLenum driver;
    NLboolean valid;
} NLaddress;
typedef NLaddress address_t;

typedef struct _NLtime {
    NLlong seconds;
    NLlong mseconds;
    NLlong useconds;
} NLtime;

#define NL_FALSE ((NLboolean)(0))
#define NL_TRUE ((NLboolean)(1))
#define NL_INVALID (-1)

#define NL_MAX_STRING_LENGTH 256
#define NL_MAX_PACKET_LENGTH 16384
#define NL_MAX_GROUPS 128
#define NL_MAX_GROUP_SOCKETS 8192

/* Networks */
#define NL_IP 0x0003
#define NL_IPV6 0x0004
#define NL_LOOP_BACK 0x0005
#define NL_IPX 0x0006
#define NL_SERIAL 0x0007
#define NL_MODEM 0x0008
#define NL_PARALLEL 0x0009

/* Connection types (socket types) */
#define NL_TCP 0x0010
#define NL_TCP_PACKETS 0x0011
#define NL_UDP 0x0012
#define NL_UDP_BROADCAST 0x0013
#define NL_UDP_MULTICAST 0x0014
#define NL_RAW 0x0015
#define NL_UDP_ENHANCED 0x0016 /* not implemented: nlOpen gives NL_INVALID_ENUM */
#define NL_RELIABLE NL_TCP
#define NL_RELIABLE_PACKETS NL_TCP_PACKETS
#define NL_UNRELIABLE NL_UDP
#define NL_BROADCAST NL_UDP_BROADCAST
#define NL_MULTICAST NL_UDP_MULTICAST

/* nlGetString */
#define NL_VERSION 0x0020
#define NL_NETWORK_TYPES 0x0021
#define NL_CONNECTION_TYPES 0x0022
#define NL_SOCKET_TYPES NL_CONNECTION_TYPES

/* Statistics */
#define NL_PACKETS_SENT 0x0030
#define NL_BYTES_SENT 0x0031
#define NL_AVE_BYTES_SENT 0x0032
#define NL_HIGH_BYTES_SENT 0x0033
#define NL_PACKETS_RECEIVED 0x0034
#define NL_BYTES_RECEIVED 0x0035
#define NL_AVE_BYTES_RECEIVED 0x0036
#define NL_HIGH_BYTES_RECEIVED 0x0037
#define NL_ALL_STATS 0x0038
#define NL_OPEN_SOCKETS 0x0039

/* Switches */
#define NL_BLOCKING_IO 0x0040
#define NL_SOCKET_STATS 0x0041
#define NL_BIG_ENDIAN_DATA 0x0042
#define NL_LITTLE_ENDIAN_DATA 0x0043
#define NL_MULTIPLE_DRIVERS 0x0044

/* Polling */
#define NL_READ_STATUS 0x0050
#define NL_WRITE_STATUS 0x0051
#define NL_ERROR_STATUS 0x0052

/* Hints and socket options */
#define NL_LISTEN_BACKLOG 0x0060
#define NL_MULTICAST_TTL 0x0061
#define NL_REUSE_ADDRESS 0x0062
#define NL_TCP_NO_DELAY 0x0063

#define NL_TTL_LOCAL 1
#define NL_TTL_SITE 15
#define NL_TTL_REGION 63
#define NL_TTL_WORLD 127

/* Errors */
#define NL_NO_ERROR 0x0000
#define NL_NO_NETWORK 0x0100
#define NL_OUT_OF_MEMORY 0x0101
#define NL_INVALID_ENUM 0x0102
#define NL_INVALID_SOCKET 0x0103
#define NL_INVALID_PORT 0x0104
#define NL_INVALID_TYPE 0x0105
#define NL_SYSTEM_ERROR 0x0106
#define NL_SOCKET_ERROR NL_SYSTEM_ERROR
#define NL_SOCK_DISCONNECT 0x0107
#define NL_CON_TERM NL_SOCK_DISCONNECT
#define NL_NOT_LISTEN 0x0108
#define NL_CON_REFUSED 0x0109
#define NL_NO_PENDING 0x010a
#define NL_BAD_ADDR 0x010b
#define NL_MESSAGE_END 0x010c
#define NL_NULL_POINTER 0x010d
#define NL_INVALID_GROUP 0x010e
#define NL_OUT_OF_GROUPS 0x010f
#define NL_OUT_OF_GROUP_SOCKETS 0x0110
#define NL_BUFFER_SIZE 0x0111
#define NL_PACKET_SIZE 0x0112
#define NL_WRONG_TYPE 0x0113
#define NL_CON_PENDING 0x0114
#define NL_SELECT_NET_ERROR 0x0115
#define NL_PACKET_SYNC 0x0116
#define NL_TLS_ERROR 0x0117
#define NL_TIMED_OUT 0x0118
#define NL_SOCKET_NOT_FOUND 0x0119
#define NL_STRING_OVER_RUN 0x011a
#define NL_CONNECTED 0x011b

/* Library state */
HL_EXP NLboolean HL_APIENTRY nlInit(void);
HL_EXP void HL_APIENTRY nlShutdown(void);
HL_EXP NLboolean HL_APIENTRY nlSelectNetwork(NLenum network);
HL_EXP NLboolean HL_APIENTRY nlEnable(NLenum name);
HL_EXP NLboolean HL_APIENTRY nlDisable(NLenum name);
HL_EXP NLboolean HL_APIENTRY nlGetBoolean(NLenum name);
HL_EXP const NLchar *HL_APIENTRY nlGetString(NLenum name);
HL_EXP NLlong HL_APIENTRY nlGetInteger(NLenum name);
HL_EXP NLboolean HL_APIENTRY nlClear(NLenum name);
HL_EXP NLboolean HL_APIENTRY nlHint(NLenum name, NLint arg);
HL_EXP NLenum HL_APIENTRY nlGetError(void);
HL_EXP const NLchar *HL_APIENTRY nlGetErrorStr(NLenum err);
HL_EXP NLint HL_APIENTRY nlGetSystemError(void);
HL_EXP const NLchar *HL_APIENTRY nlGetSystemErrorStr(NLint err);

/* Sockets */
HL_EXP NLsocket HL_APIENTRY nlOpen(NLushort port, NLenum type);
HL_EXP NLboolean HL_APIENTRY nlListen(NLsocket socket);
HL_EXP NLsocket HL_APIENTRY nlAcceptConnection(NLsocket socket);
HL_EXP NLboolean HL_APIENTRY nlConnect(NLsocket socket, const NLaddress *address);
HL_EXP NLboolean HL_APIENTRY nlClose(NLsocket socket);
HL_EXP NLint HL_APIENTRY nlRead(NLsocket socket, NLvoid *buffer, NLint nbytes);
HL_EXP NLint HL_APIENTRY nlWrite(NLsocket socket, const NLvoid *buffer, NLint nbytes);
HL_EXP NLboolean HL_APIENTRY nlPollSocket(NLsocket socket, NLenum name, NLint timeout);
HL_EXP NLboolean HL_APIENTRY nlSetSocketOpt(NLsocket socket, NLenum name, NLint arg);
HL_EXP NLint HL_APIENTRY nlGetSocketOpt(NLsocket socket, NLenum name);
HL_EXP NLlong HL_APIENTRY nlGetSocketStat(NLsocket socket, NLenum name);
HL_EXP NLboolean HL_APIENTRY nlClearSocketStat(NLsocket socket, NLenum name);

/* Addresses */
HL_EXP NLchar *HL_APIENTRY nlAddrToString(const NLaddress *address, NLchar *string);
HL_EXP NLboolean HL_APIENTRY nlStringToAddr(const NLchar *string, NLaddress *address);
HL_EXP NLboolean HL_APIENTRY nlGetAddrFromName(const NLchar *name, NLaddress *address);
HL_EXP NLboolean HL_APIENTRY nlGetAddrFromNameAsync(const NLchar *name, NLaddress *address);
HL_EXP NLchar *HL_APIENTRY nlGetNameFromAddr(const NLaddress *address, NLchar *name);
HL_EXP NLboolean HL_APIENTRY nlGetNameFromAddrAsync(const NLaddress *address, NLchar *name);
HL_EXP NLboolean HL_APIENTRY nlGetLocalAddr(NLsocket socket, NLaddress *address);
HL_EXP NLboolean HL_APIENTRY nlGetRemoteAddr(NLsocket socket, NLaddress *address);
HL_EXP NLboolean HL_APIENTRY nlSetRemoteAddr(NLsocket socket, const NLaddress *address);
HL_EXP NLaddress *HL_APIENTRY nlGetAllLocalAddr(NLint *count);
HL_EXP NLboolean HL_APIENTRY nlSetLocalAddr(const NLaddress *address);
HL_EXP NLboolean HL_APIENTRY nlAddrCompare(const NLaddress *address1, const NLaddress *address2);
HL_EXP NLushort HL_APIENTRY nlGetPortFromAddr(const NLaddress *address);
HL_EXP NLboolean HL_APIENTRY nlSetAddrPort(NLaddress *address, NLushort port);

/* Groups */
HL_EXP NLint HL_APIENTRY nlGroupCreate(void);
HL_EXP NLboolean HL_APIENTRY nlGroupDestroy(NLint group);
HL_EXP NLboolean HL_APIENTRY nlGroupAddSocket(NLint group, NLsocket socket);
HL_EXP NLboolean HL_APIENTRY nlGroupGetSockets(NLint group, NLsocket *sockets, NLint *number);
HL_EXP NLboolean HL_APIENTRY nlGroupDeleteSocket(NLint group, NLsocket socket);
HL_EXP NLint HL_APIENTRY nlPollGroup(NLint group, NLenum name, NLsocket *sockets, NLint number, NLint timeout);

/* Time, checksums, byte order */
HL_EXP NLboolean HL_APIENTRY nlTime(NLtime *t);
HL_EXP NLushort HL_APIENTRY nlGetCRC16(NLubyte *data, NLint len);
HL_EXP NLulong HL_APIENTRY nlGetCRC32(NLubyte *data, NLint len);
HL_EXP NLushort HL_APIENTRY nlSwaps(NLushort x);
HL_EXP NLulong HL_APIENTRY nlSwapl(NLulong x);
HL_EXP NLfloat HL_APIENTRY nlSwapf(NLfloat f);
HL_EXP NLdouble HL_APIENTRY nlSwapd(NLdouble d);

/* Packing values into a byte buffer in the data byte order (big-endian by
   default): buffer, index (advanced), value. Longs take 4 bytes on every
   target, as on i386; strings keep their terminator. Floating-point values
   are moved as bit patterns, so every NaN keeps its bits. */
static inline void nlPutBits_(NLbyte *p, const void *v, int n)
{
    const NLubyte *b = (const NLubyte *)v;
    int i;
    if (nlSwapl(1) != 1)
        for (i = 0; i < n; i++) p[i] = (NLbyte)b[n - 1 - i];
    else
        memcpy(p, b, (size_t)n);
}
static inline void nlGetBits_(const NLbyte *p, void *v, int n) { nlPutBits_((NLbyte *)v, p, n); }

#define writeByte(x, y, z) \
    { ((NLbyte *)(x))[y] = (NLbyte)(z); (y)++; }
#define writeShort(x, y, z) \
    { NLushort nl_v_ = (NLushort)(z); nlPutBits_(&((NLbyte *)(x))[y], &nl_v_, 2); (y) += 2; }
#define writeLong(x, y, z) \
    { NLuint nl_v_ = (NLuint)(z); nlPutBits_(&((NLbyte *)(x))[y], &nl_v_, 4); (y) += 4; }
#define writeFloat(x, y, z) \
    { NLfloat nl_v_ = (NLfloat)(z); nlPutBits_(&((NLbyte *)(x))[y], &nl_v_, 4); (y) += 4; }
#define writeDouble(x, y, z) \
    { NLdouble nl_v_ = (NLdouble)(z); nlPutBits_(&((NLbyte *)(x))[y], &nl_v_, 8); (y) += 8; }
#define writeBlock(x, y, z, a) \
    { memcpy(&((NLbyte *)(x))[y], (z), (size_t)(a)); (y) += (a); }
#define writeString(x, y, z) \
    { strcpy((char *)&((NLbyte *)(x))[y], (const char *)(z)); (y) += (NLint)strlen((const char *)(z)) + 1; }

#define readByte(x, y, z) \
    { (z) = ((NLbyte *)(x))[y]; (y)++; }
#define readShort(x, y, z) \
    { NLushort nl_v_; nlGetBits_(&((NLbyte *)(x))[y], &nl_v_, 2); (z) = nl_v_; (y) += 2; }
#define readLong(x, y, z) \
    { NLuint nl_v_; nlGetBits_(&((NLbyte *)(x))[y], &nl_v_, 4); (z) = (NLint)nl_v_; (y) += 4; }
#define readFloat(x, y, z) \
    { NLfloat nl_v_; nlGetBits_(&((NLbyte *)(x))[y], &nl_v_, 4); (z) = nl_v_; (y) += 4; }
#define readDouble(x, y, z) \
    { NLdouble nl_v_; nlGetBits_(&((NLbyte *)(x))[y], &nl_v_, 8); (z) = nl_v_; (y) += 8; }
#define readBlock(x, y, z, a) \
    { memcpy((z), &((NLbyte *)(x))[y], (size_t)(a)); (y) += (a); }
#define readString(x, y, z) \
    { strcpy((char *)(z), (const char *)&((NLbyte *)(x))[y]); (y) += (NLint)strlen((const char *)(z)) + 1; }

#ifdef __cplusplus
}
#endif

#endif
