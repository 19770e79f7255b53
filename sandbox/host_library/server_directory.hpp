#pragma once

#include <string>

namespace Sandbox {

// The server's current directory, which the host reports to plug-ins.
void SetServerDirectory(std::string directory);

}  // namespace Sandbox
