#pragma once

#include <cstdint>
#include <string>

#include "transcript_request.hpp"
#include "views/readable_view.hpp"

namespace Sandbox {

struct LiveOptions {
  std::string plugin_path;
  TranscriptFormat transcript = TranscriptFormat::kHuman;
  ReadableOptions readable;
  // When set, an HTML page of what players see, rewritten as things happen.
  std::string html_file;
  // The RCON listener runs only with both a port and a password.
  std::uint16_t rcon_port = 0;
  std::string rcon_password;
  std::string rcon_bind = "127.0.0.1";
};

// The server as administrators run it: the plug-in loaded at start, real time, the
// command language typed on standard input, RCON clients over TCP, until SIGINT,
// SIGTERM or the end of input. Returns the exit status.
int RunLive(const LiveOptions& options);

}  // namespace Sandbox
