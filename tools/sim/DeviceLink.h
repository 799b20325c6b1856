#pragma once

#include <string>

namespace tallowmere {

// A symbolic link to the receiver's device, removed again when the simulator stops.
class DeviceLink {
 public:
  DeviceLink() = default;
  ~DeviceLink();
  DeviceLink(const DeviceLink&) = delete;
  DeviceLink& operator=(const DeviceLink&) = delete;

  // Links path to target, replacing a symbolic link but nothing else. Empty on success,
  // else why not.
  std::string create(const std::string& path, const std::string& target);

 private:
  std::string path_;
  std::string target_;
};

}  // namespace tallowmere
