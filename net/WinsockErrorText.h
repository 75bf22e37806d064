// Plain English descriptions of the Winsock error codes that a request can
// meet, for the error report.
#pragma once

// The description of a Winsock error code, or NULL for a code it doesn't
// know.
const char* WinsockErrorText(int code);
