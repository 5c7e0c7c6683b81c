#pragma once

// Kept apart from the socket objects: the POSIX socket headers and the
// platform's Winsock names cannot meet in one file.

// Seconds to move `total` bytes in `piece`-byte writes and reads over a
// loopback connection of plain blocking sockets: a writer thread, the calling
// thread reading.
double ThroughPlainSockets(long long total, int piece);
