#include "net/os/local_host.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#include <cstring>

static void copy_text(char* out, size_t size, const char* text)
{
    const size_t length = strnlen(text, size - 1);
    memcpy(out, text, length);
    out[length] = 0;
}

void describe_host(const char* host, char name[64], char addresses[8][16])
{
    copy_text(name, 64, "Unknown-Host");
    copy_text(addresses[0], 16, "127.0.0.1");
    for (int i = 1; i < 8; ++i) copy_text(addresses[i], 16, "0.0.0.0");
    if (!host || !*host) return;

    addrinfo hints = {};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host, nullptr, &hints, &found) != 0) return;
    copy_text(name, 64, host);
    int count = 0;
    for (addrinfo* entry = found; entry && count < 8; entry = entry->ai_next) {
        const sockaddr_in* address = reinterpret_cast<const sockaddr_in*>(entry->ai_addr);
        char dotted[INET_ADDRSTRLEN] = {};
        if (!inet_ntop(AF_INET, &address->sin_addr, dotted, sizeof dotted)) continue;
        copy_text(addresses[count++], 16, dotted);
    }
    freeaddrinfo(found);
}

int local_host_info(char name[64], char addresses[8][16])
{
    char host[64] = {};
    if (gethostname(host, sizeof host - 1) != 0) host[0] = 0;
    host[sizeof host - 1] = 0;
    describe_host(host, name, addresses);
    return 0;
}

void ignore_broken_pipe_signal()
{
    struct sigaction current = {};
    if (sigaction(SIGPIPE, nullptr, &current) == 0 && current.sa_handler == SIG_DFL) signal(SIGPIPE, SIG_IGN);
}
