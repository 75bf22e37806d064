// The internet settings of the profile section "inet" and how they reach
// the HTTP client: "proxy_type" (0 none, 1 HTTP, 2 SOCKS5, 3 SOCKS4,
// 4 SOCKS4A), "proxy_server", "proxy_port" (stored as a signed 16-bit
// number), "proxy_login", "proxy_passwd" and "http_version" (0 or 1).
#pragma once

class CHttpClient;

// The client's proxy type for a stored one, taken modulo 5 first.
int ProxyTypeFromSetting(int stored);
// A port as stored (ports above 32767 as the port minus 65536) and read
// back (modulo 65536).
int PortToSetting(unsigned short port);
unsigned short PortFromSetting(int stored);

// Hands stored values to the client: a login without a password, or the
// other way round, is dropped.
void ApplyInternetSettings(CHttpClient& client, int storedType, const char* server, int storedPort,
                           const char* login, const char* password, int httpVersion);

#ifdef _WIN32
// Reads the section into theHttpClient (at start and after the settings
// dialog was saved).
void LoadInternetSettings();
#endif
