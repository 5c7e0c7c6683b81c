#pragma once

// The socket unit's resolution routines and error texts. The resolvers raise
// ESocketException with their fixed texts.

#include <cstdint>
#include <string>

// The IPv4 address (network order) of a dotted text or a host name (blocking).
std::uint32_t WSocketResolveHost(const std::string& text);
// A port number (host order) from a decimal text or a service name.
std::uint16_t WSocketResolvePort(const std::string& port, const std::string& proto);
int WSocketResolveProto(const std::string& text);
// Four decimal groups of at most 255 with three dots, blanks around allowed.
bool IsDottedIPv4(const std::string& text);
std::string SocketErrorText(int error);
