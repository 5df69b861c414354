#include <winsock2.h>

#include "sharing/PingHost.h"

#include <cstring>

namespace {

// Winsock is started once, on the first check, and released once when the
// process ends.
struct PingState {
    bool initialised = false;
    bool started = false;
    bool usable = false;
    LONGLONG frequency = 0;
    ~PingState() {
        if (started) WSACleanup();
    }
};
PingState g_ping;  // UI thread only

class Socket {
public:
    explicit Socket(SOCKET s) : s_(s) {}
    ~Socket() { Reset(); }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    SOCKET Get() const { return s_; }
    void Reset() {
        if (s_ != INVALID_SOCKET) closesocket(s_);
        s_ = INVALID_SOCKET;
    }

private:
    SOCKET s_;
};

// Closing the socket may change the last error: close first, then say why.
int Fail(Socket& socket, DWORD error) {
    socket.Reset();
    WSASetLastError(static_cast<int>(error));
    SetLastError(error);
    return 0;
}

uint16_t ReadLe16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

}  // namespace

uint16_t InternetChecksum(const unsigned char* data, size_t length) {
    uint32_t sum = 0;
    for (size_t i = 0; i + 1 < length; i += 2) sum += ReadLe16(data + i);
    if (length & 1) sum += data[length - 1];
    sum = (sum >> 16) + (sum & 0xFFFF);
    sum += sum >> 16;
    return static_cast<uint16_t>(~sum);
}

void BuildEchoRequest(uint16_t identifier, uint32_t tick, unsigned char out[44]) {
    memset(out, 0, 44);
    out[0] = 8;  // echo request
    out[4] = static_cast<unsigned char>(identifier);
    out[5] = static_cast<unsigned char>(identifier >> 8);
    memcpy(out + 8, &tick, 4);
    memset(out + 12, 0x45, 32);
    uint16_t sum = InternetChecksum(out, 44);
    out[2] = static_cast<unsigned char>(sum);
    out[3] = static_cast<unsigned char>(sum >> 8);
}

bool IsEchoReplyFor(const unsigned char* datagram, size_t length, uint16_t identifier) {
    if (length < 1) return false;
    size_t header = (datagram[0] & 0x0F) * 4u;
    if (length < header + 8) return false;
    return datagram[header] == 0 && ReadLe16(datagram + header + 4) == identifier;
}

int PingHost(PingReply* reply) {
    if (!g_ping.initialised) {
        g_ping.initialised = true;
        WSADATA data;
        g_ping.started = WSAStartup(0x0102, &data) == 0;
        LARGE_INTEGER f;
        // A zero frequency would divide the round trip by zero.
        if (g_ping.started && QueryPerformanceFrequency(&f) && f.QuadPart > 0) {
            g_ping.frequency = f.QuadPart;
            g_ping.usable = true;
        }
    }
    if (!g_ping.usable) return 0;

    sockaddr_in to = {};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = inet_addr("127.0.0.1");
    if (to.sin_addr.s_addr == INADDR_NONE) {
        hostent* h = gethostbyname("127.0.0.1");
        if (!h || h->h_addrtype != AF_INET || h->h_length < 4 || !h->h_addr_list[0]) return 0;
        memcpy(&to.sin_addr, h->h_addr_list[0], 4);
    }

    Socket socket(WSASocketA(AF_INET, SOCK_RAW, IPPROTO_ICMP, nullptr, 0, 0));
    if (socket.Get() == INVALID_SOCKET) return Fail(socket, WSAGetLastError());

    const uint16_t id = static_cast<uint16_t>(GetCurrentProcessId() & 0xFFFF);
    unsigned char request[44];
    BuildEchoRequest(id, GetTickCount(), request);
    LARGE_INTEGER sentAt, now;
    QueryPerformanceCounter(&sentAt);
    if (sendto(socket.Get(), reinterpret_cast<const char*>(request), sizeof request, 0,
               reinterpret_cast<const sockaddr*>(&to), sizeof to) == SOCKET_ERROR)
        return Fail(socket, WSAGetLastError());

    // One deadline for the whole wait. On loopback our own request comes
    // back first, and other ICMP traffic may come in between: skip what is
    // not our reply until it arrives or the second is over.
    const ULONGLONG deadline = GetTickCount64() + 1000;
    bool sawOther = false;
    unsigned char datagram[1024];
    for (;;) {
        ULONGLONG t = GetTickCount64();
        if (t >= deadline) break;
        ULONGLONG left = deadline - t;
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(socket.Get(), &readable);
        timeval wait = {static_cast<long>(left / 1000), static_cast<long>((left % 1000) * 1000)};
        int ready = select(0, &readable, nullptr, nullptr, &wait);
        if (ready == SOCKET_ERROR) return Fail(socket, WSAGetLastError());
        if (ready == 0) break;
        sockaddr_in from = {};
        int fromLength = sizeof from;
        int got = recvfrom(socket.Get(), reinterpret_cast<char*>(datagram), sizeof datagram, 0,
                           reinterpret_cast<sockaddr*>(&from), &fromLength);
        if (got == SOCKET_ERROR) {
            int error = WSAGetLastError();
            // A datagram longer than our buffer is not our 44-byte reply.
            if (error == WSAEMSGSIZE) {
                sawOther = true;
                continue;
            }
            return Fail(socket, error);
        }
        QueryPerformanceCounter(&now);
        if (!IsEchoReplyFor(datagram, static_cast<size_t>(got), id)) {
            sawOther = true;
            continue;
        }
        if (reply) {
            reply->Address = from.sin_addr.s_addr;
            reply->RoundTripMs = static_cast<uint32_t>((now.QuadPart - sentAt.QuadPart) * 1000 /
                                                       g_ping.frequency);
        }
        return 1;
    }
    return Fail(socket, sawOther ? ERROR_UNEXP_NET_ERR : WSAETIMEDOUT);
}
