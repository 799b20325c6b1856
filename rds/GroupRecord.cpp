#include "rds/GroupRecord.h"

namespace tallowmere {
namespace {

// The value of a hexadecimal digit of either letter case, or -1.
int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

char versionOf(char digit) {
  if (digit >= '0' && digit <= '7') return 'A';
  if ((digit >= '8' && digit <= '9') || (digit >= 'A' && digit <= 'F')) return 'B';
  return '?';
}

}  // namespace

std::optional<int> GroupRecord::presenceIndex() const {
  if (groupVersion == 'A') return typeNumber;
  if (groupVersion == 'B') return 16 + typeNumber;
  return std::nullopt;
}

GroupRecord cutGroupLine(std::string_view rxText) {
  GroupRecord g;
  g.groupHex = {'F', 'F', '0', '0', '0', '0', '0', '0', '0', '0',
                '0', '0', '0', '0', '0', '0', '0', '0'};
  int fieldCounter = 1;
  for (std::size_t i = 4; i < rxText.size() && fieldCounter <= 4; ++i) {
    const char c = rxText[i];
    if (c == ':') {
      ++fieldCounter;
      continue;
    }
    if (c == '<' && fieldCounter == 4) break;  // the end mark; nothing after it is read
    if (static_cast<unsigned char>(c) <= 32) continue;
    // Each block is a four-character window that keeps the last characters received.
    char* block = g.groupHex.data() + 2 + 4 * (fieldCounter - 1);
    block[0] = block[1];
    block[1] = block[2];
    block[2] = block[3];
    block[3] = c;
  }

  g.bytesBuilt = true;
  g.groupBytes[0] = static_cast<char>(0xFF);
  for (std::size_t pair = 0; pair < 8; ++pair) {
    const int high = hexValue(g.groupHex[2 + 2 * pair]);
    const int low = hexValue(g.groupHex[3 + 2 * pair]);
    if (high < 0 || low < 0) {
      g.bytesBuilt = false;
      break;
    }
    g.groupBytes[1 + pair] = static_cast<char>(high * 16 + low);
  }

  const int typeDigit = hexValue(g.hexAt(7));
  g.typeNumber = typeDigit < 0 ? 0 : typeDigit;
  g.groupVersion = versionOf(g.hexAt(8));
  std::size_t n = 0;
  if (g.typeNumber >= 10) g.typeText_[n++] = '1';
  g.typeText_[n++] = static_cast<char>('0' + g.typeNumber % 10);
  g.typeText_[n++] = g.groupVersion;
  g.typeLength_ = n;
  return g;
}

}  // namespace tallowmere
