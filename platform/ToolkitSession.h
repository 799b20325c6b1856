#pragma once

#include <string>

namespace tallowmere {

// What the toolkit needs around it so that it says nothing the operator did not ask for.
// Made before the application object and kept until after it: every message of the
// toolkit becomes one "tallowmere: toolkit: ..." line on stderr, and without a usable
// runtime folder of the session (under systemd, or a terminal without a login session,
// where the toolkit would warn on every start) it gets a private one for this run.
class ToolkitSession {
 public:
  ToolkitSession();
  ~ToolkitSession();
  ToolkitSession(const ToolkitSession&) = delete;
  ToolkitSession& operator=(const ToolkitSession&) = delete;

 private:
  std::string runtimeFolder_;  // made for this run and removed at its end, or ""
};

}  // namespace tallowmere
