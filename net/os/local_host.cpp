#include "net/os/local_host.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>

#include "base/strings.h"

void describe_host(const char* host, char name[64], char addresses[8][16])
{
    __mystring_string_copy(name, "Unknown-Host", 64);
    __mystring_string_copy(addresses[0], "127.0.0.1", 16);
    for (int i = 1; i < 8; ++i) __mystring_string_copy(addresses[i], "0.0.0.0", 16);
    if (!host || !*host) return;

    addrinfo hints = {};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host, nullptr, &hints, &found) != 0) return;
    __mystring_string_copy(name, host, 64);
    int count = 0;
    for (addrinfo* entry = found; entry && count < 8; entry = entry->ai_next) {
        const sockaddr_in* address = reinterpret_cast<const sockaddr_in*>(entry->ai_addr);
        char dotted[INET_ADDRSTRLEN] = {};
        if (!inet_ntop(AF_INET, &address->sin_addr, dotted, sizeof dotted)) continue;
        __mystring_string_copy(addresses[count++], dotted, 16);
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
