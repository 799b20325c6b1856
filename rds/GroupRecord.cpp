#include "rds/GroupRecord.h"

#include "settings/HexDigit.h"

namespace tallowmere {
namespace {

bool isBlockCharacter(char c) {
  return static_cast<unsigned char>(c) > 32 && c != ':' && c != '<';
}

// The line as receivers send it, '>>> AAAA:BBBB:CCCC:DDDD<' with nothing odd inside:
// its blocks are the characters as they stand.
bool isPlainGroupLine(std::string_view rxText) {
  if (rxText.size() < 24 || rxText[8] != ':' || rxText[13] != ':' || rxText[18] != ':' || rxText[23] != '<') {
    return false;
  }
  for (std::size_t block = 0; block < 4; ++block) {
    for (std::size_t k = 0; k < 4; ++k) {
      if (!isBlockCharacter(rxText[4 + 5 * block + k])) return false;
    }
  }
  return true;
}

// Cuts the blocks character by character, for any line that begins with ">>> ".
void cutBlocks(std::string_view rxText, GroupRecord& g) {
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
    char* block = g.groupHex.data() + 2 + 4 * static_cast<std::ptrdiff_t>(fieldCounter - 1);
    block[0] = block[1];
    block[1] = block[2];
    block[2] = block[3];
    block[3] = c;
  }
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
  g.groupHex = {'F', 'F', '0', '0', '0', '0', '0', '0', '0', '0', '0', '0', '0', '0', '0', '0', '0', '0'};
  if (isPlainGroupLine(rxText)) {
    for (std::size_t block = 0; block < 4; ++block) {
      rxText.copy(g.groupHex.data() + 2 + 4 * block, 4, 4 + 5 * block);
    }
  } else {
    cutBlocks(rxText, g);
  }

  g.bytesBuilt = true;
  g.groupBytes[0] = static_cast<char>(0xFF);
  for (std::size_t pair = 0; pair < 8; ++pair) {
    const int high = hexDigitValue(g.groupHex[2 + 2 * pair]);
    const int low = hexDigitValue(g.groupHex[3 + 2 * pair]);
    if (high < 0 || low < 0) {
      g.bytesBuilt = false;
      break;
    }
    g.groupBytes[1 + pair] = static_cast<char>(high * 16 + low);
  }

  const int typeDigit = hexDigitValue(g.hexAt(7));
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
