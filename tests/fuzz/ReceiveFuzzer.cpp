// Feeds the receive handler any sequence of chunks, with retunes, box texts and timer
// ticks mixed in, and checks after every event what the display relies on.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/fuzz/Invariants.h"
#include "tests/support/Harness.h"

namespace {

using namespace tallowmere;

class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool empty() const { return at_ >= size_; }
  std::uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
  std::string bytes(std::size_t n) {
    n = std::min(n, size_ - at_);
    std::string s(reinterpret_cast<const char*>(data_ + at_), n);
    at_ += n;
    return s;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

std::string hexGroupLine(Input& in) {
  constexpr char kHex[] = "0123456789ABCDEF";
  std::string line = ">>> ";
  for (int block = 0; block < 4; ++block) {
    for (int k = 0; k < 2; ++k) {
      const std::uint8_t b = in.byte();
      line.push_back(kHex[b >> 4]);
      line.push_back(kHex[b & 15]);
    }
    line.push_back(block < 3 ? ':' : '<');
  }
  return line + "\r\n";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  test::Harness m;
  FrmMain& form = m.form;
  form.Form_Load();
  Input in(data, size);
  while (!in.empty()) {
    const std::uint8_t op = in.byte();
    // Now and then the files cannot be written, as with a full disk.
    m.files.writable = op % 5 != 0;
    switch (op % 8) {
      case 0:
      case 1:
      case 2:
        form.MSComm1_OnComm(in.bytes(in.byte()));
        break;
      case 3:
        form.MSComm1_OnComm(">>> " + in.bytes(in.byte()));
        break;
      case 4:
        form.onTimer(static_cast<TimerId>(in.byte() % kTimerCount));
        break;
      case 5:
        form.fields().setText(Field::txtFreq, in.bytes(in.byte() % 16));
        form.cmdSetFreq_Click();
        break;
      case 6:
        form.fields().setText(Field::txtVol, in.bytes(in.byte() % 16));
        form.cmdSetVolume_Click();
        break;
      default:
        form.MSComm1_OnComm(hexGroupLine(in));
        break;
    }
    if (const std::string broken = tallowmere::test::brokenInvariant(form); !broken.empty()) {
      std::fprintf(stderr, "invariant broken: %s\n", broken.c_str());
      std::abort();
    }
  }
  return 0;
}
