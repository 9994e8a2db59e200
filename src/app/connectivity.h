#pragma once
// Whether the machine is online: an interface up that can reach the probe address, then a real
// GET of the probe address, reloaded from the network, within a short time limit.
#include <atomic>
#include <string>

namespace sd {

struct ConnectivityOptions {
  int timeout_seconds = 8;
  const std::atomic<bool>* cancel = nullptr;  // set from another thread to give up at once
};

// True when a reply to the GET arrived (any HTTP status); false on every failure.
bool check_connectivity(const std::string& probe_address, const ConnectivityOptions& options = {});

}  // namespace sd
