#include "net/WinsockErrorText.h"

namespace {

// The WSAE codes by number, so that the table builds without Winsock.
struct ErrorText {
    int code;
    const char* text;
};
const ErrorText kTexts[] = {
    { 10004, "A blocking operation was interrupted by a call to WSACancelBlockingCall." },
    { 10013, "An attempt was made to access a socket in a way forbidden by its access permissions." },
    { 10014, "The system detected an invalid pointer address in attempting to use a pointer argument in a call." },
    { 10022, "An invalid argument was supplied." },
    { 10024, "Too many open sockets." },
    { 10035, "A non-blocking socket operation could not be completed immediately." },
    { 10036, "A blocking operation is currently executing." },
    { 10037, "An operation was attempted on a non-blocking socket that already had an operation in progress." },
    { 10038, "An operation was attempted on something that is not a socket." },
    { 10040, "A message sent on a datagram socket was larger than the internal message buffer." },
    { 10043, "The requested protocol has not been configured into the system, or no implementation for it exists." },
    { 10045, "The attempted operation is not supported for the type of object referenced." },
    { 10047, "An address incompatible with the requested protocol was used." },
    { 10048, "Only one usage of each socket address (protocol/network address/port) is normally permitted." },
    { 10049, "The requested address is not valid in its context." },
    { 10050, "The network subsystem has failed." },
    { 10051, "A socket operation was attempted to an unreachable network." },
    { 10053, "An established connection was aborted by the software in your host machine." },
    { 10054, "An existing connection was forcibly closed by the remote host." },
    { 10055, "No buffer space is available. The system lacked sufficient buffer space or a queue was full." },
    { 10056, "A connect request was made on an already connected socket." },
    { 10057, "The socket is not connected." },
    { 10060, "The connection attempt timed out. The connected party did not properly respond after a period of time." },
    { 10061, "The attempt to connect was rejected." },
    { 10065, "A socket operation was attempted to an unreachable host." },
    { 10093, "A successful WSAStartUp call must occur before using this function." },
};

} // namespace

const char* WinsockErrorText(int code)
{
    for (const ErrorText& entry : kTexts) {
        if (entry.code == code)
            return entry.text;
    }
    return nullptr;
}
