// The connectivity check made before an upload: one ICMP echo to the
// loopback address over a raw socket.
#pragma once

#include <windows.h>

#include <cstdint>

struct PingReply {
    uint32_t Address = 0;      // responder, network order as received
    uint32_t RoundTripMs = 0;
};

// Nonzero when a matching echo reply came back within one second. On 0 the
// thread's last error tells why: 10060 (nothing came back in time), 59
// (only datagrams that were not our reply), 10013 (no right to open a raw
// socket), or another socket error.
int PingHost(PingReply* reply);

// The 44-byte echo request and the reply test, for the checks of the wire
// format.
void BuildEchoRequest(uint16_t identifier, uint32_t tick, unsigned char out[44]);
uint16_t InternetChecksum(const unsigned char* data, size_t length);
// True when `datagram` (IP header included) is an echo reply with our id.
bool IsEchoReplyFor(const unsigned char* datagram, size_t length, uint16_t identifier);
