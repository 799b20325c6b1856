#include "app/FrmMain.h"

namespace tallowmere {

// Every 20 s: lblRadioText goes to metadata.txt while it is complete, that is while it
// holds no "_" placeholder. A station that ends a short text with CR (code 13) never sends
// the segments behind it; such a text is complete up to its CR and is written up to there.
void FrmMain::tmrWriteMetadata_Timer() {
  const std::string& text = fields_[Field::lblRadioText].text;
  const std::size_t placeholder = text.find('_');
  std::string_view complete = text;
  if (placeholder != std::string::npos) {
    const std::size_t cr = text.find('\r');
    if (cr == std::string::npos || cr > placeholder) return;
    complete = complete.substr(0, cr);
  }
  std::string line(complete);
  line.append("\r\n");
  writeOutputFile("metadata.txt", line);
}

}  // namespace tallowmere
