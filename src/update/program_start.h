// Starting the downloaded program, and what the platform says about the connection.
#pragma once

#include <string>

namespace kasa {

// Makes the file executable by its owner and starts it as a process of its own, without
// waiting for it. False when either fails.
bool StartDetachedProgram(const std::string& path);

enum class ConnectionState { kLan, kModem, kOffline };

// How this computer reaches the network. Where the platform cannot tell, the check simply
// tries and its connect time-out decides.
ConnectionState CurrentConnectionState();

}  // namespace kasa
