// Network games and HTTP download. Numbers given as text are read like
// atof; ids are the host's player ids (101 and up). Waits for the host are
// bounded: at most 5 seconds. A program has at most 64 players in a game,
// and an inbox keeps at most 4096 unread messages (later ones are dropped).
#pragma once
#include <brindle/rtstring.h>

// Hosts a game on the port (0 or less: 27013); 1 when hosting started, else 0.
double NetHost(const RtString& port);
// Joins the game at host name and port (empty host: this machine); 1 when the host answered, else 0.
double NetJoin(const RtString& host, const RtString& port);
// Creates a local player with that name (cut to 126 characters); its id, or -1 after 5 s without one.
double NetCreatePlayer(const RtString& name);
// Asks the host to remove the player with that id (a local one leaves this program's list at once); 1.
double NetRemovePlayer(const RtString& id);
// Sends the text (at most 2048 bytes) from one of this program's player ids to another (0: every player); 1 when written, else 0.
double NetSend(const RtString& sender, const RtString& recipient, const RtString& message);
// The oldest message in that local player's inbox, removed from it; "" when there is none.
RtString NetReceive(const RtString& player);
// The sender id of the message the last successful NetReceive returned, as text.
RtString NetLastSender();
// The number of players in the game, or 0 when the host does not answer.
double NetPlayerCount();
// The id of the n-th player (from 0, in join order), or 0 when there is none.
double NetPlayerId(double index);
// The name of the player with that id, or "" when there is none.
RtString NetPlayerName(const RtString& id);
// This machine's network addresses separated by "|"; "" when none can be listed.
RtString NetLocalAddresses();

// Fetches http://host:port/path with one HTTP/1.0 GET and stores the body in the
// file; 1 when the server closed the connection normally after the whole body (none
// short of its Content-Length) and the file holds it, else 0 with the file as it was
// (also when it cannot be written). Gives up after a minute without data or ten in all.
double HttpGetFile(const RtString& host, const RtString& path, double port, const RtString& fileName);
