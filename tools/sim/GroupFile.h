#pragma once

#include <string>
#include <vector>

namespace tallowmere {

// The lines of a file of group lines, each without its line end, empty lines left out.
// Empty on success, else why the file cannot be used.
std::string readGroupFile(const std::string& path, std::vector<std::string>& lines);

}  // namespace tallowmere
