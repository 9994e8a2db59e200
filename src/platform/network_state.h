#pragma once
// The operating system's view of the network.
#include <string_view>

namespace sd::platform {

// True for "localhost", 127.0.0.0/8 and ::1 (with or without brackets).
bool is_loopback_host(std::string_view host);

// True when an interface that can carry traffic to host is up and running: the loopback
// interface for a loopback host, any other interface for every other host.
bool interface_up_for(std::string_view host);

}  // namespace sd::platform
