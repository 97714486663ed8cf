// The Net* commands and HttpGetFile over the program's NetGame record.
#include <brindle/net.h>

#include <cstdlib>
#include <string>

#include "core/runtime_state.h"
#include "lang/number_convert.h"
#include "net/http_get.h"
#include "net/net_game.h"

namespace {

int32_t IdFromText(const RtString& text) { return TruncToInt(std::atof(text.Text())); }

RtString Text(const std::string& s) {
    RtString r;
    r.Assign(s.c_str());
    return r;
}

}  // namespace

double NetHost(const RtString& port) {
    return runtime.netGame ? HostNetGame(*runtime.netGame, port.Text()) : 0;
}

double NetJoin(const RtString& host, const RtString& port) {
    return runtime.netGame ? JoinNetGame(*runtime.netGame, host.Text(), port.Text()) : 0;
}

double NetCreatePlayer(const RtString& name) {
    return runtime.netGame ? CreateNetPlayer(*runtime.netGame, name.Text()) : -1;
}

double NetRemovePlayer(const RtString& id) {
    return runtime.netGame ? RemoveNetPlayer(*runtime.netGame, IdFromText(id)) : 1;
}

double NetSend(const RtString& sender, const RtString& recipient, const RtString& message) {
    if (!runtime.netGame) return 0;
    return SendNetText(*runtime.netGame, IdFromText(sender), IdFromText(recipient),
                       std::string(message.Text(), message.length()));
}

RtString NetReceive(const RtString& player) {
    std::string text;
    if (!runtime.netGame || !ReceiveNetText(*runtime.netGame, IdFromText(player), text)) return RtString();
    return Text(text);
}

RtString NetLastSender() {
    char digits[32];
    FormatInt(runtime.netGame ? runtime.netGame->lastSender : 0, digits);
    return RtString(digits);
}

double NetPlayerCount() { return runtime.netGame ? NetPlayerCountOf(*runtime.netGame) : 0; }

double NetPlayerId(double index) {
    return runtime.netGame ? NetPlayerIdOf(*runtime.netGame, TruncToInt(index)) : 0;
}

RtString NetPlayerName(const RtString& id) {
    if (!runtime.netGame) return RtString();
    return Text(NetPlayerNameOf(*runtime.netGame, IdFromText(id)));
}

RtString NetLocalAddresses() {
    if (!runtime.netGame) return RtString();
    return Text(NetLocalAddressesOf(*runtime.netGame));
}

double HttpGetFile(const RtString& host, const RtString& path, double port, const RtString& fileName) {
    return HttpDownload(host.Text(), path.Text(), port, fileName.Text(), kHttpIdleLimitMs);
}
