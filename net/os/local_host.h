// The few operating-system services wirelink needs beyond SDL_net: the local
// host's name and addresses, and keeping a send to a vanished peer from
// ending the process.
#pragma once

// Presets "Unknown-Host", "127.0.0.1" and "0.0.0.0"; the name and up to eight
// IPv4 addresses of host replace them only when host resolves.
void describe_host(const char* host, char name[64], char addresses[8][16]);
// describe_host for this machine's own name.
int local_host_info(char name[64], char addresses[8][16]);
// A write to a closed connection raises SIGPIPE, whose default ends the process.
void ignore_broken_pipe_signal();
