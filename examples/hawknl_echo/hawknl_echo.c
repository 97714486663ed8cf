/* A plain HawkNL program in C, built against Brindle's network library
   alone: a TCP echo server on a thread of its own and a client that sends
   it a few lines and checks each one comes back.

     example_hawknl_echo [PORT]      (default 27100)

   It prints each echoed line and "echo ok" at the end, and returns 0 when
   every line came back unchanged. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "hawkthreads.h"
#include "nl.h"

static NLsocket listener = NL_INVALID;

static void report(const char *what)
{
    printf("%s: %s\n", what, nlGetErrorStr(nlGetError()));
}

/* Writes all len bytes. */
static int write_all(NLsocket s, const NLbyte *buffer, NLint len)
{
    NLint sent = 0, n;
    while (sent < len) {
        n = nlWrite(s, buffer + sent, len - sent);
        if (n < 0) return 0;
        sent += n;
    }
    return 1;
}

/* Echoes what one client sends until it closes the connection. */
static void *serve(void *unused)
{
    NLbyte buffer[256];
    NLint n;
    NLsocket client = nlAcceptConnection(listener); /* blocking: waits */

    (void)unused;
    if (client == NL_INVALID) {
        report("accept");
        return NULL;
    }
    while ((n = nlRead(client, buffer, (NLint)sizeof buffer)) > 0)
        if (!write_all(client, buffer, n)) break;
    nlClose(client);
    return NULL;
}

/* Reads exactly len bytes. */
static int read_all(NLsocket s, NLbyte *buffer, NLint len)
{
    NLint got = 0, n;
    while (got < len) {
        n = nlRead(s, buffer + got, len - got);
        if (n <= 0) return 0;
        got += n;
    }
    return 1;
}

int main(int argc, char **argv)
{
    const char *lines[] = {"hello", "HawkNL 1.7", "a line of forty characters, more or less"};
    int port = argc > 1 ? atoi(argv[1]) : 27100;
    char text[NL_MAX_STRING_LENGTH];
    NLbyte back[256];
    NLaddress address;
    NLsocket client;
    HThreadID server;
    int i, ok = 1;

    if (!nlInit() || !nlSelectNetwork(NL_IP)) {
        report("init");
        return 1;
    }
    nlEnable(NL_BLOCKING_IO);
    listener = nlOpen((NLushort)port, NL_RELIABLE);
    if (listener == NL_INVALID || !nlListen(listener)) {
        report("listen");
        return 1;
    }
    server = htThreadCreate(serve, NULL, HT_TRUE);

    client = nlOpen(0, NL_RELIABLE);
    sprintf(text, "127.0.0.1:%d", port);
    if (client == NL_INVALID || !nlStringToAddr(text, &address) || !nlConnect(client, &address)) {
        report("connect");
        return 1;
    }
    printf("connected to %s (%s)\n", nlAddrToString(&address, text), nlGetString(NL_VERSION));
    for (i = 0; i < 3; i++) {
        NLint len = (NLint)strlen(lines[i]);
        if (!write_all(client, lines[i], len) || !read_all(client, back, len) ||
            memcmp(back, lines[i], (size_t)len) != 0) {
            report("echo");
            ok = 0;
            break;
        }
        back[len] = 0;
        printf("echoed: %s\n", back);
    }
    nlClose(client);
    htThreadJoin(server, NULL);
    nlClose(listener);
    nlShutdown();
    printf(ok ? "echo ok\n" : "echo failed\n");
    return ok ? 0 : 1;
}
