#include "station/Blocks.h"

namespace tallowmere {

std::optional<Blocks> blocksOf(const GroupRecord& g) {
  if (!g.bytesBuilt) return std::nullopt;
  const char* const bytes = g.bytes().data() + 1;  // after the code 255 that leads them
  Blocks blocks{};
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    blocks[i] = static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[2 * i]) << 8 |
                                           static_cast<unsigned char>(bytes[2 * i + 1]));
  }
  return blocks;
}

}  // namespace tallowmere
