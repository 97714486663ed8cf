// Per-thread, sticky error codes and their texts.
#include <cstdio>

#include "nl/internal.h"

namespace {
thread_local NLenum threadError = NL_NO_ERROR;
thread_local int threadSystemError = 0;

struct ErrorText {
    NLenum code;
    const char* text;
};
const ErrorText kTexts[] = {
    {NL_NO_ERROR, "No HawkNL error."},
    {NL_NO_NETWORK, "No network was found on init."},
    {NL_OUT_OF_MEMORY, "Out of memory."},
    {NL_INVALID_ENUM, "Invalid NLenum."},
    {NL_INVALID_SOCKET, "Socket is not valid."},
    {NL_INVALID_PORT, "Port could not be opened."},
    {NL_INVALID_TYPE, "Network type is not available."},
    {NL_SYSTEM_ERROR, "A system error occurred, call nlGetSystemError."},
    {NL_SOCK_DISCONNECT, "Connection error: Close socket."},
    {NL_NOT_LISTEN, "Socket has not been set to listen."},
    {NL_CON_REFUSED, "Connection refused."},
    {NL_NO_PENDING, "No pending connections to accept."},
    {NL_BAD_ADDR, "The address or port are not valid."},
    {NL_MESSAGE_END, "TCP message end."},
    {NL_NULL_POINTER, "A NULL pointer was passed to a function."},
    {NL_INVALID_GROUP, "The group is not valid."},
    {NL_OUT_OF_GROUPS, "Out of groups."},
    {NL_OUT_OF_GROUP_SOCKETS, "The group is full."},
    {NL_BUFFER_SIZE, "The buffer is too small."},
    {NL_PACKET_SIZE, "The packet is too large."},
    {NL_WRONG_TYPE, "Wrong socket type."},
    {NL_CON_PENDING, "A non-blocking connection is still pending."},
    {NL_SELECT_NET_ERROR, "A network type is already selected."},
    {NL_PACKET_SYNC, "The NL_RELIABLE_PACKET stream is out of sync."},
    {NL_TLS_ERROR, "Thread local storage could not be created."},
    {NL_TIMED_OUT, "The function timed out."},
    {NL_SOCKET_NOT_FOUND, "The socket was not found in the group."},
    {NL_STRING_OVER_RUN, "The string could cause a buffer over-run or corrupt memory."},
    {NL_CONNECTED, "The socket is already connected."},
};
}  // namespace

namespace nlimpl {

void SetError(NLenum err) { threadError = err; }

void SetSystemError(int systemError) {
    threadError = NL_SYSTEM_ERROR;
    threadSystemError = systemError;
}

void ClearError() { threadError = NL_NO_ERROR; }

void RecordSystemFailure() { SetSystemError(nlsys::LastError()); }

void RecordTransferFailure(const Socket& sock, int err) {
    bool connectedDatagrams = !sock.tcp() && sock.link.load() == Link::Connected;
    if (nlsys::Disconnected(err) || (connectedDatagrams && nlsys::Refused(err))) {
        threadSystemError = err;
        threadError = NL_SOCK_DISCONNECT;
    } else {
        SetSystemError(err);
    }
}

}  // namespace nlimpl

using namespace nlimpl;

extern "C" {

NLenum HL_APIENTRY nlGetError(void) { return threadError; }

const NLchar* HL_APIENTRY nlGetErrorStr(NLenum err) {
    for (const ErrorText& e : kTexts)
        if (e.code == err) return e.text;
    return "Undefined HawkNL error.";
}

NLint HL_APIENTRY nlGetSystemError(void) {
    {
        std::lock_guard<std::mutex> hold(lib().lock);
        if (!lib().selected) return NL_NO_NETWORK;
    }
    return threadSystemError;
}

const NLchar* HL_APIENTRY nlGetSystemErrorStr(NLint err) { return nlsys::ErrorText(err); }

}  // extern "C"
