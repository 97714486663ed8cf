// Socket groups and polling over them.
#include <algorithm>
#include <chrono>

#include "nl/internal.h"

using namespace nlimpl;

namespace {

// The group's member list, or null with NL_INVALID_GROUP. Callers hold the
// library lock.
std::vector<NLsocket>* GroupOf(NLint group) {
    Library& l = lib();
    std::vector<NLsocket>* g = nullptr;
    if (group >= kGroupBase + kReservedGroups) {
        size_t slot = static_cast<size_t>(group - kGroupBase);
        if (slot < l.groups.size()) g = l.groups[slot].get();
    }
    if (!g) SetError(NL_INVALID_GROUP);
    return g;
}

}  // namespace

extern "C" {

NLint HL_APIENTRY nlGroupCreate(void) {
    if (!NetworkReady()) return NL_INVALID;
    Library& l = lib();
    std::lock_guard<std::mutex> hold(l.lock);
    for (size_t i = kReservedGroups; i < l.groups.size(); ++i) {
        if (!l.groups[i]) {
            l.groups[i].reset(new std::vector<NLsocket>);
            return static_cast<NLint>(i) + kGroupBase;
        }
    }
    SetError(NL_OUT_OF_GROUPS);
    return NL_INVALID;
}

NLboolean HL_APIENTRY nlGroupDestroy(NLint group) {
    if (!NetworkReady()) return NL_FALSE;
    Library& l = lib();
    std::lock_guard<std::mutex> hold(l.lock);
    if (group < kGroupBase + kReservedGroups || static_cast<size_t>(group - kGroupBase) >= l.groups.size()) {
        SetError(NL_INVALID_GROUP);
        return NL_FALSE;
    }
    l.groups[static_cast<size_t>(group - kGroupBase)].reset();  // destroying twice is fine
    return NL_TRUE;
}

NLboolean HL_APIENTRY nlGroupAddSocket(NLint group, NLsocket socket) {
    if (!NetworkReady()) return NL_FALSE;
    std::lock_guard<std::mutex> hold(lib().lock);
    std::vector<NLsocket>* g = GroupOf(group);
    if (!g) return NL_FALSE;
    if (g->size() >= NL_MAX_GROUP_SOCKETS) {
        SetError(NL_OUT_OF_GROUP_SOCKETS);
        return NL_FALSE;
    }
    g->push_back(socket);
    return NL_TRUE;
}

NLboolean HL_APIENTRY nlGroupGetSockets(NLint group, NLsocket* sockets, NLint* number) {
    if (!NetworkReady()) return NL_FALSE;
    if (!sockets || !number) {
        SetError(NL_NULL_POINTER);
        return NL_FALSE;
    }
    std::lock_guard<std::mutex> hold(lib().lock);
    std::vector<NLsocket>* g = GroupOf(group);
    if (!g) return NL_FALSE;
    NLint n = std::min<NLint>(*number, static_cast<NLint>(g->size()));
    if (n < 0) n = 0;
    std::copy(g->begin(), g->begin() + n, sockets);
    *number = n;
    return NL_TRUE;
}

NLboolean HL_APIENTRY nlGroupDeleteSocket(NLint group, NLsocket socket) {
    if (!NetworkReady()) return NL_FALSE;
    std::lock_guard<std::mutex> hold(lib().lock);
    std::vector<NLsocket>* g = GroupOf(group);
    if (!g) return NL_FALSE;
    auto it = std::find(g->begin(), g->end(), socket);
    if (it == g->end()) {
        SetError(NL_SOCKET_NOT_FOUND);
        return NL_FALSE;
    }
    g->erase(it);
    return NL_TRUE;
}

NLint HL_APIENTRY nlPollGroup(NLint group, NLenum name, NLsocket* sockets, NLint number, NLint timeout) {
    if (!NetworkReady()) return NL_INVALID;
    if (!Given(sockets)) return 0;
    nlsys::Ready what;
    switch (name) {
        case NL_READ_STATUS: what = nlsys::Ready::Read; break;
        case NL_WRITE_STATUS: what = nlsys::Ready::Write; break;
        case NL_ERROR_STATUS: what = nlsys::Ready::Error; break;
        default: SetError(NL_INVALID_ENUM); return NL_INVALID;
    }
    std::vector<NLsocket> members;
    {
        std::lock_guard<std::mutex> hold(lib().lock);
        std::vector<NLsocket>* g = GroupOf(group);
        if (!g) return NL_INVALID;
        members = *g;
    }
    if (members.empty()) return 0;
    std::vector<SocketRef> refs;
    std::vector<nlsys::Fd> fds;
    for (NLsocket m : members) {
        SocketRef s = FindSocket(m);
        if (!s) {
            SetError(NL_INVALID_SOCKET);
            return NL_INVALID;
        }
        refs.push_back(s);
        fds.push_back(s->fd);
    }
    using Clock = std::chrono::steady_clock;
    Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeout < 0 ? 0 : timeout);
    std::unique_ptr<bool[]> ready(new bool[fds.size()]);
    for (;;) {
        // A whole NL_TCP_PACKETS frame already buffered is ready at once.
        bool buffered = false;
        if (what == nlsys::Ready::Read)
            for (SocketRef& s : refs) buffered = buffered || (s->type == NL_TCP_PACKETS && PacketBuffered(*s));
        int wait = buffered ? 0 : timeout < 0 ? -1 : static_cast<int>(std::max<long long>(
            0, std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count()));
        int n = nlsys::Wait(fds.data(), static_cast<int>(fds.size()), what, wait, ready.get());
        if (n < 0) {
            RecordSystemFailure();
            return NL_INVALID;
        }
        NLint count = 0;
        for (size_t i = 0; i < refs.size(); ++i) {
            bool yes = ready[i];
            if (what == nlsys::Ready::Read && refs[i]->type == NL_TCP_PACKETS)
                yes = PacketBuffered(*refs[i]);  // reads what arrived; ready with a whole frame or the end
            if (!yes) continue;
            if (count >= number) {
                SetError(NL_BUFFER_SIZE);
                return NL_INVALID;
            }
            sockets[count++] = members[i];
        }
        if (count > 0 || n == 0 || wait == 0) return count;
        // Only partial frames arrived: wait on while time is left.
        if (timeout >= 0 && Clock::now() >= deadline) return 0;
    }
}

}  // extern "C"
