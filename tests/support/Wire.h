#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/PseudoTerminal.h"

namespace tallowmere::test {

using Clock = std::chrono::steady_clock;

// A command line the monitor sent, with its arrival time.
struct Command {
  double atSeconds;
  std::string line;
};

// Reads command lines from the receiver's side for `duration`, each with its arrival time
// counted from `start`. With `flood`, group lines are written in between at the rate of a
// 115200-baud line.
std::vector<Command> commandsFor(const PseudoTerminal& pty, Clock::time_point start,
                                 std::chrono::milliseconds duration, const std::string& flood = {});

std::vector<Command> matching(const std::vector<Command>& commands, const std::string& line);

// Waits until `condition` holds, for at most `limit`.
bool eventually(const std::function<bool()>& condition,
                std::chrono::milliseconds limit = std::chrono::milliseconds(6000));

// Processor time (user and system) a process has used so far, in seconds.
double cpuSeconds(int pid);
// Resident memory of a process in KB.
long residentKb(int pid);

}  // namespace tallowmere::test
