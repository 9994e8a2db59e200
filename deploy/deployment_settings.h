#pragma once
// The whole deployment file as the build-time generator needs it: the settings that
// load_deployment_file gives, plus the check-source text of each scrambled value.
#include <optional>
#include <string>

#include "src/app/deployment.h"

namespace sd {

struct DeploymentSettings {
  DeploymentFile file;
  std::string app_title_check;       // local text
  std::string login_subtitle_check;  // local text
  std::string init_address_check;    // local text
  std::string request_key_check;     // local text
};

// Reads and checks a deployment file; on failure returns nullopt and sets error
// ("<path>:<line>: <what>" where a line is at fault).
std::optional<DeploymentSettings> read_deployment_settings(const std::string& path,
                                                           std::string& error);

}  // namespace sd
