// The station model, fed groups built with the simulated receiver's encoder: each fact
// and its confirmation, the AF methods, a retune, the listener calls, and the facts of the
// real captures.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "station/StationJson.h"
#include "station/StationModel.h"
#include "tests/support/Stations.h"

namespace tallowmere::test {
namespace {

using Groups = std::vector<Group>;
const Programme kRtl{0xD42A, true, 10};

// Groups arrive 87.7 ms apart, as on air.
struct Model : StationEvents {
  double now = 0;
  StationModel model{[this] { return now; }};
  std::vector<std::string> heard;  // one name per listener call
  Model() { model.addListener(this); }
  void feed(const Groups& groups) {
    for (const Group& g : groups) {
      now += 0.0877;
      model.group(g.blocks);
    }
  }
  std::string json() const {
    std::string out;
    appendStationJson(out, model.station());
    return out;
  }
  void stationReset(const Station&) override { heard.emplace_back("reset"); }
  void piChanged(const Station&) override { heard.emplace_back("pi"); }
  void ptyChanged(const Station&) override { heard.emplace_back("pty"); }
  void flagsChanged(const Station&) override { heard.emplace_back("flags"); }
  void decoderIdentificationChanged(const Station&) override { heard.emplace_back("di"); }
  void psChanged(const Station& s) override { heard.push_back("ps " + *s.ps); }
  void eccChanged(const Station&) override { heard.emplace_back("ecc"); }
  void languageChanged(const Station&) override { heard.emplace_back("language"); }
  void programmeItemChanged(const Station&) override { heard.emplace_back("pin"); }
  void alternativeFrequenciesChanged(const Station&) override { heard.emplace_back("af"); }
  void radioTextChanged(const Station& s) override {
    heard.push_back("rt " + s.currentRadioText().value_or("-"));
  }
  void clockChanged(const Station&) override { heard.emplace_back("clock"); }
};

// Every segment of a PS name, `rounds` times, with AF block C `afBlock`.
Groups ps(std::string_view name, int rounds = 2, SwitchingFlags flags = {}, std::uint16_t afBlock = 0xE0CD) {
  Groups groups;
  for (int r = 0; r < rounds; ++r)
    for (int segment = 0; segment < 4; ++segment)
      groups.push_back(basicTuningGroup(kRtl, flags, segment, name, afBlock));
  return groups;
}

// A RadioText of flag A or B, segments `from` to `to`, `rounds` times.
Groups rt(std::string_view text, bool textB = false, int rounds = 2, int from = 0, int to = 15) {
  const std::string air = radioTextForAir(text, TextEnd::CarriageReturn);
  Groups groups;
  for (int r = 0; r < rounds; ++r)
    for (int segment = from; segment <= to && 4u * segment < air.size(); ++segment)
      groups.push_back(radioTextGroup(kRtl, textB, segment, air));
  return groups;
}

// 0A groups whose block C carry the AF codes given, two per group.
Groups af(std::initializer_list<std::uint16_t> blocks, int rounds = 2) {
  Groups groups;
  for (int r = 0; r < rounds; ++r)
    for (std::uint16_t c : blocks) groups.push_back(basicTuningGroup(kRtl, {}, 0, "104.6RTL", c));
  groups.push_back(basicTuningGroup(kRtl, {}, 0, "104.6RTL", 0xE0CD));  // the next count code ends the list
  return groups;
}

Groups operator+(Groups a, const Groups& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Group slowLabelling(unsigned variant, unsigned data, ProgrammeItem item = {}, std::uint16_t pi = kRtl.pi) {
  Group g = slowLabellingGroup({pi, kRtl.tp, kRtl.pty}, 0, item);
  g.blocks[2] = static_cast<std::uint16_t>(variant << 12 | data);
  return g;
}

// 15B: block B as 0B's with type 15, block D its copy.
Group fastSwitching(SwitchingFlags flags, int segment) {
  Group g = basicTuningGroup(kRtl, flags, segment, "104.6RTL", kRtl.pi);
  g.blocks[1] = static_cast<std::uint16_t>((g.blocks[1] & 0x07FF) | 0xF800);
  g.blocks[3] = g.blocks[1];
  return g;
}

Group clock(int mjd, int hour, int minute, int offset) {
  return clockTimeGroup(kRtl, {mjd, hour, minute, offset});
}

// Codes of the AF table: 104.1 MHz is 166, 95.9 MHz 84, 106.2 MHz 187.
constexpr std::uint16_t pair(unsigned a, unsigned b) {
  return static_cast<std::uint16_t>(a << 8 | b);
}

TEST(StationTest, EachFactIsDecodedOnceConfirmed) {
  const Group ecc = slowLabellingGroup(kRtl, 0xE0, {21, 13, 0});
  // clang-format off
  const std::vector<std::tuple<const char*, Groups, std::string>> cases = {
      {"one group is no fact", Groups{ecc}, R"({"pi": null, "country": null, "ecc": null, "language": null, "pin": null, "ps": null, "pty": null)"},
      {"two alike are", ps("104.6RTL"), R"("pi": "D42A", "country": null, "ecc": null, "language": null, "pin": null, "ps": "104.6RTL", "pty": 10, "pty_name": "Pop Music", "tp": true, "ta": false, "ms": "music", "di": {"stereo": true, "artificial_head": false, "compressed": false, "dynamic_pty": false})"},
      {"a CR is a character of the PS", ps("P2\rKLASS"), R"("ps": "P2 KLASS")"},
      {"speech, TA and the DI bits", ps("104.6RTL", 2, {true, false, 0b1110}), R"("ta": true, "ms": "speech", "di": {"stereo": false, "artificial_head": true, "compressed": true, "dynamic_pty": true})"},
      {"15B: TA, MS and a DI bit", Groups(2, fastSwitching({true, false, 0b0001}, 3)), R"("ps": null, "pty": 10, "pty_name": "Pop Music", "tp": true, "ta": true, "ms": "speech", "di": {"stereo": true, "artificial_head": null)"},
      {"ECC, country and item", Groups{ecc, ecc, ecc}, R"("pi": "D42A", "country": "DE", "ecc": "E0", "language": null, "pin": {"day": 21, "hour": 13, "minute": 0})"},
      {"GB from C and E1", Groups{slowLabelling(0, 0xE1, {}, 0xC204), slowLabelling(0, 0xE1, {}, 0xC204)}, R"("pi": "C204", "country": "GB", "ecc": "E1")"},
      {"language", Groups{slowLabelling(3, 0x28), slowLabelling(3, 0x28)}, R"("language": "Swedish", "pin": null)"},
      {"day 0: no item", Groups{slowLabelling(0, 0xE0, {0, 13, 0}), slowLabelling(0, 0xE0, {0, 13, 0})}, R"("pin": null)"},
      {"a garbled ECC never shows", Groups{ecc, slowLabelling(0, 0xE3), ecc}, R"("ecc": null)"},
      {"clock with offset", Groups{clock(57847, 21, 6, 4)}, R"("clock": "2017-04-04T23:06:00+02:00")"},
      {"clock across midnight, minus", Groups{clock(57847, 1, 0, -3)}, R"("clock": "2017-04-03T23:30:00-01:30")"},
      {"zero offset", Groups{clock(57847, 21, 6, 0)}, R"("clock": "2017-04-04T21:06:00Z")"},
      {"hour 28 is no time", Groups{clock(65507, 28, 53, 4)}, R"("clock": null)"},
      {"RadioText A", rt("Jazztime"), R"("radiotext": {"a": "Jazztime", "b": null, "current": "Jazztime"})"},
      {"text B is current", rt("Jazztime") + rt("H\x97rerservice", true), R"("radiotext": {"a": "Jazztime", "b": "Hörerservice", "current": "Hörerservice"})"},
      {"half a text is none", rt("Piano and straight", false, 2, 0, 3), R"("radiotext": {"a": null)"},
      {"groups by type", ps("104.6RTL") + rt("Jazztime"), R"("groups": {"0A": 8, "2A": 6}, )"},
      {"groups per second over the last minute", ps("104.6RTL", 200), R"("groups": {"0A": 800}, "group_rate": 11.4)"},
      {"AF method A", af({pair(226, 171), pair(5, 205)}), R"("af": {"method": "A", "frequencies": [104600, 88000]})"},
      {"AF on long and medium wave", af({pair(227, 171), pair(250, 3), pair(250, 135)}), R"("af": {"method": "A", "frequencies": [104600, 171, 1602]})"},
      {"a list heard once is none", af({pair(226, 171), pair(5, 205)}, 1), R"("af": null)"},
      {"a dropped group cuts it", af({pair(227, 171), pair(5, 6)}, 1) + af({pair(227, 171)}, 1), R"("af": null)"},
      {"AF method B, miscounted", af({pair(231, 166), pair(84, 166), pair(187, 166)}), R"("af": {"method": "B", "lists": [{"tuned": 104100, "same": [95900], "regional": [106200]}]})"},
      {"B: regional variants in either order", af({pair(229, 166), pair(166, 84), pair(187, 166)}), R"("lists": [{"tuned": 104100, "same": [], "regional": [95900, 106200]}]})"},
      {"B: a union per tuned frequency", af({pair(227, 166), pair(84, 166)}, 1) + af({pair(227, 166), pair(90, 166)}, 1) + af({pair(227, 166), pair(84, 166)}, 1) + af({pair(227, 166), pair(90, 166)}, 1) + af({pair(227, 84), pair(84, 166)}),
       R"("lists": [{"tuned": 95900, "same": [104100], "regional": []}, {"tuned": 104100, "same": [95900, 96500], "regional": []}]})"},
  };
  // clang-format on
  for (const auto& [what, groups, expected] : cases) {
    Model m;
    m.feed(groups);
    EXPECT_NE(m.json().find(expected), std::string::npos) << what << "\n" << m.json();
  }
}

// What the listeners hear: each change once, texts only whole.
TEST(StationTest, ListenersHearEachChangeOnceAndOnlyWholeTexts) {
  Groups garbled = ps("SR P2   ");
  garbled[5] = basicTuningGroup(kRtl, {}, 1, "IÁ P K  ", 0xE0CD);
  // clang-format off
  const std::vector<std::tuple<const char*, Groups, std::vector<std::string>>> cases = {
      {"a station", ps("104.6RTL", 3), {"pi", "pty", "flags", "di", "di", "di", "di", "ps 104.6RTL"}},
      {"an AF list, once", af({pair(226, 171), pair(5, 205)}, 4), {"pi", "pty", "di", "flags", "af"}},
      {"a scrolling name gives whole names", ps("BR-KLASS", 2) + ps("BR-K  SIK", 2) + ps("  KLASSIK", 2),
       {"pi", "pty", "flags", "di", "di", "di", "di", "ps BR-KLASS", "ps BR-K  SI", "ps   KLASSI"}},
      {"a garbled segment never shows", garbled + ps("SR P2   ", 2), {"pi", "pty", "flags", "di", "di", "di", "di", "ps SR P2   "}},
      {"a text changed without a toggle is not mixed", rt("Jazztime") + rt("Coming next", false, 1, 0, 1) + rt("Jazztime") + rt("Coming next"),
       {"pi", "pty", "flags", "rt Jazztime", "rt Coming next"}},
      {"trailing blanks are no change; a toggle keeps B apart", rt("Jazztime") + rt("Jazztime  ") + rt("Piano", true, 1) + rt("Piano", true, 1),
       {"pi", "pty", "flags", "rt Jazztime", "rt -", "rt Piano"}},
  };
  // clang-format on
  for (const auto& [what, groups, expected] : cases) {
    Model m;
    m.feed(groups);
    EXPECT_EQ(m.heard, expected) << what;
  }
  // A retune forgets everything: the station then gives what it gives from a fresh start.
  const Groups station = ps("104.6RTL") + rt(std::string(64, 'R')) + af({pair(226, 171), pair(5, 205)}) +
                         Groups{slowLabellingGroup(kRtl, 0xE0, {21, 13, 0})};
  Model m, fresh;
  m.feed(station);
  m.model.reset();
  EXPECT_EQ(m.heard.back(), "reset");
  EXPECT_EQ(m.json(), Model().json());
  m.now = fresh.now = 0;
  m.feed(station);
  fresh.feed(station);
  EXPECT_EQ(m.json(), fresh.json());
}

// Facts each station is known to send, from the real captures read in place.
TEST(StationTest, RealCapturesGiveTheFactsTheirStationsSend) {
  struct Seen : StationEvents {
    std::set<std::string> ps, radioText;
    void psChanged(const Station& s) override { ps.insert(s.ps->substr(0, s.ps->find_last_not_of(' ') + 1)); }
    void radioTextChanged(const Station& s) override {
      if (s.currentRadioText()) radioText.insert(*s.currentRadioText());
    }
  };
  // clang-format off
  const std::vector<std::tuple<std::string, std::string, std::vector<std::string>>> cases = {
      {"de-104.6rtl-D42A", "104.6RTL", {R"("af": {"method": "A")"}},
      {"de-br-klassik-D314", "BR-KLASS", {R"("af": {"method": "B")"}},
      {"de-mdr-thueringen-D6F1", "MDR THUE", {R"("af": {"method": "B")"}},
      {"uk-bbc-radio4-C204", "BBC R4", {R"("country": "GB", "ecc": "E1")", R"("pin": {"day": )"}},
      {"se-sr-p2-EC02", "SR P2", {R"("country": "SE", "ecc": "E3", "language": "Swedish")", R"("current": "P2 Klassiskt")"}},
  };
  // clang-format on
  for (const auto& [capture, name, facts] : cases) {
    const auto lines = captureLines(capture);
    if (lines.empty()) GTEST_SKIP() << "the captures are not on this machine";
    double now = 0;
    StationModel model{[&now] { return now; }};
    Seen seen;
    model.addListener(&seen);
    for (const std::string& line : lines) {
      now += 0.0877;
      if (const auto blocks = blocksOf(cutGroupLine(line))) model.group(*blocks);
    }
    std::string json;
    appendStationJson(json, model.station());
    EXPECT_EQ(seen.ps, std::set<std::string>{name}) << capture;
    for (const std::string& fact : facts)
      EXPECT_NE(json.find(fact), std::string::npos) << capture << "\n" << json;
    if (capture == "se-sr-p2-EC02") {
      EXPECT_EQ(seen.radioText, std::set<std::string>{"P2 Klassiskt"});
    }
  }
}

// Vikerraadio sends its weather in the PS: every name given was sent as four segments in one run.
TEST(StationTest, ADynamicPsGivesOnlyNamesSentWhole) {
  const auto lines = captureLines("ee-viker-22E1");
  if (lines.empty()) GTEST_SKIP() << "the captures are not on this machine";
  struct Names : StationEvents {
    std::vector<std::string> names;
    void psChanged(const Station& s) override { names.push_back(*s.ps); }
  } given;
  StationModel model{[] { return 0.0; }};
  model.addListener(&given);
  std::set<std::string> sentWhole;
  std::string run;  // the segments of 0A groups sent in order from segment 0
  for (const std::string& line : lines) {
    const auto blocks = blocksOf(cutGroupLine(line));
    if (!blocks) continue;
    model.group(*blocks);
    if (((*blocks)[1] >> 11) != 0) continue;
    const std::size_t segment = (*blocks)[1] & 3;
    const std::string chars{char((*blocks)[3] >> 8), char((*blocks)[3] & 0xFF)};
    run = segment == 0 ? chars : run.size() == 2 * segment ? run + chars : "";
    if (run.size() == 8) sentWhole.insert(run);
  }
  EXPECT_GT(given.names.size(), 5u);
  for (const std::string& name : given.names) EXPECT_TRUE(sentWhole.contains(name)) << name;
}

}  // namespace
}  // namespace tallowmere::test
