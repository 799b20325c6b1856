#include "station/Blocks.h"

namespace tallowmere {

std::optional<Blocks> blocksOf(const GroupRecord& g) {
  if (!g.bytesBuilt) return std::nullopt;
  // After the code 255 that leads them, blocks A to D, high byte first.
  const auto* const bytes = reinterpret_cast<const unsigned char*>(g.groupBytes.data() + 1);
  const auto block = [bytes](int i) {
    return static_cast<std::uint16_t>(bytes[2 * i] << 8 | bytes[2 * i + 1]);
  };
  return Blocks{block(0), block(1), block(2), block(3)};
}

}  // namespace tallowmere
