#pragma once
// Blocking resolution of host, port and protocol names for the socket layer, and the small text
// helpers it uses. Failures raise ESocketException.
#include <cstdint>
#include <string>

// The IPv4 address in network order: a dotted address as it stands, a name through the resolver
// (its first address).
uint32_t WSocketResolveHost(const std::string& host);
// The port in host order: text that starts with a digit is read as a number without any lookup;
// anything else is a service name. Numbers above 65535 are refused ("Invalid Port").
uint16_t WSocketResolvePort(const std::string& port, const std::string& proto);
int WSocketResolveProto(const std::string& proto);

// Four decimal parts of at most 255 separated by dots, blanks allowed around.
bool IsDottedAddress(const std::string& text);
// The value of the digits after any leading blanks, up to the first other character (0 when there
// are none); a value too large for an int reads as the largest int.
int DecimalValue(const std::string& text);
bool IsDigit(char c);
