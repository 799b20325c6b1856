// The station model, fed groups built with the simulated receiver's encoder: each fact
// and its confirmation, the AF methods, a retune, the listener calls, and the facts of the
// real captures.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "station/ApplicationNames.h"
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
  void applicationsChanged(const Station&) override { heard.emplace_back("oda"); }
  void radioTextPlusChanged(const Station& s) override {
    heard.push_back("rt+ " + (s.radioTextPlus->tags.empty() ? "-" : s.radioTextPlus->tags.begin()->second));
  }
  void otherNetworksChanged(const Station&) override { heard.emplace_back("eon"); }
  void tmcChanged(const Station&) override { heard.emplace_back("tmc"); }
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

Groups twice(const Group& g) {
  return {g, g};
}

// 3A announcing application `aid` on `group` (12 is 12A), with its message.
Groups announce(std::uint16_t aid, int group, std::uint16_t message = 0) {
  return twice(applicationAnnouncementGroup(kRtl, group, message, aid));
}

// RT+ on 12A: the title and the artist of the running item.
Groups rtPlus(RadioTextPlusTag title, RadioTextPlusTag artist, bool toggle = false) {
  return twice(radioTextPlusGroup(kRtl, 12, toggle, true, title, artist));
}

// The segments of a name of 8 (10A) or 32 (15A) characters, twice.
Groups ptyn(std::string_view name, bool nameB = false) {
  return twice(programmeTypeNameGroup(kRtl, nameB, 0, name)) +
         twice(programmeTypeNameGroup(kRtl, nameB, 1, name));
}
Groups longPs(std::string_view name, int rounds = 2) {
  Groups groups;
  for (int r = 0; r < rounds; ++r)
    for (int segment = 0; segment < 8; ++segment) groups.push_back(longPsGroup(kRtl, segment, name));
  return groups;
}

const OtherNetwork kBayern3{0xD313, "BAYERN 3", true};
Groups eonPs(const OtherNetwork& other = kBayern3) {
  Groups groups;
  for (int round = 0; round < 2; ++round)
    for (int variant = 0; variant < 4; ++variant) groups.push_back(otherNetworkGroup(kRtl, other, variant));
  return groups;
}
Groups eon(int variant, std::uint16_t blockC, const OtherNetwork& other = kBayern3) {
  return twice(otherNetworkGroup(kRtl, other, variant, blockC));
}

const TmcMessage kJam{
    .event = 101, .location = 0x2A40, .extent = 1, .negativeDirection = true, .duration = 1};
Groups tmc(const TmcMessage& m) {
  return twice(tmcGroup(kRtl, m));
}
Groups tmcMulti(const TmcMessage& m, std::span<const TmcLabel> content, int rounds = 2) {
  Groups groups;
  for (int r = 0; r < rounds; ++r) groups = groups + tmcMultiGroup(kRtl, m, 3, content);
  return groups;
}
// A closure with a diversion: an additional event, a destination and the diversion control
// code, three groups in all.
const TmcMessage kDiverted{.event = 401, .location = 0x1F0C, .extent = 2};
const std::vector<TmcLabel> kDiversion = {{9, 1500}, {11, 0x2A17}, {1, 5}};

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
      {"the applications 3A announces", announce(0x4BD7, 12) + announce(0xCD46, 8) + announce(0x0093, 0) + announce(0x1234, 11),
       R"("oda": [{"aid": "4BD7", "name": "RadioText+", "group": "12A"}, {"aid": "CD46", "name": "RDS-TMC ALERT-C", "group": "8A"}, {"aid": "0093", "name": "DAB cross-referencing", "group": null}, {"aid": "1234", "name": null, "group": "11A"}])"},
      {"one announcement is none", Groups{applicationAnnouncementGroup(kRtl, 12, 0, 0x4BD7)}, R"("oda": [])"},
      {"RT+ tags cut from the text, blanks trimmed", announce(0x4BD7, 12) + rtPlus({1, 13, 16}, {4, 33, 12}) + rt("Now playing: Harbour Lights   by The Lanterns"),
       R"("rtplus": {"running": true, "toggle": 0, "tags": {"item.title": "Harbour Lights", "item.artist": "The Lanterns"}})"},
      {"a private class by its number", announce(0x4BD7, 12) + rtPlus({56, 0, 3}, {0, 0, 1}) + rt("Jazztime"), R"("tags": {"56": "Jaz"}})"},
      {"no tag from half a text", announce(0x4BD7, 12) + rtPlus({1, 0, 4}, {4, 5, 4}) + rt("Jazztime", false, 2, 0, 0) + rt("Jazztime", false, 1, 1, 1),
       R"("rtplus": null)"},
      {"no RT+ where 3A names no group", rtPlus({1, 0, 4}, {4, 5, 4}) + rt("Jazztime"), R"("rtplus": null)"},
      {"PTYN", ptyn("POP HITS"), R"("ptyn": "POP HITS")"},
      {"the A/B flag clears it", ptyn("POP HITS") + twice(programmeTypeNameGroup(kRtl, true, 0, "ROCK    ")), R"("ptyn": null)"},
      {"blanks and controls are no name", ptyn("  \r\n    "), R"("ptyn": null)"},
      {"long PS", longPs("Radio \xC5\x81\xC3\xB3" "d\xC5\xBA 104,6"), R"("long_ps": "Radio Łódź 104,6")"},
      {"long PS heard once", longPs("Radio Dale", 1), R"("long_ps": null)"},
      {"EON: every variant of a network", eonPs() + eon(13, 10 << 11) + eon(4, pair(225, 119)) + eon(4, pair(225, 119)) + eon(5, pair(166, 119)) + eon(9, pair(166, 16)) + eon(12, 0x8000 | 0x12) + eon(14, 12 << 11 | 14 << 6),
       R"("eon": [{"pi": "D313", "ps": "BAYERN 3", "pty": 10, "tp": true, "ta": false, "af": [99400], "mapped": [{"tuned": 104100, "other": 531}, {"tuned": 104100, "other": 99400}], "pin": {"day": 12, "hour": 14, "minute": 0}, "linkage": {"la": true, "eg": false, "ils": false, "lsn": 18}}])"},
      {"14B: its traffic announcement", eonPs() + twice(otherNetworkSwitchingGroup(kRtl, kBayern3, true)), R"("tp": true, "ta": true)"},
      {"a network without a confirmed PS is not listed", eon(13, 10 << 11) + Groups{otherNetworkGroup(kRtl, kBayern3, 0)}, R"("eon": [])"},
      {"TMC service", announce(0xCD46, 8, tmcSystemInformation(1)) + announce(0xCD46, 8, tmcServiceIdentifier(15)),
       R"("tmc": {"ltn": 1, "sid": 15, "encrypted": false, "scope": ["national"], "messages": 0})"},
      {"an encrypted one", announce(0xCD47, 8, tmcSystemInformation(0)), R"("tmc": {"ltn": 0, "sid": null, "encrypted": true)"},
      {"messages heard twice, distinct by place and event", tmc(kJam) + tmc({.event = 101, .location = 0x2A40, .extent = 1, .negativeDirection = true, .duration = 5}) + Groups{tmcGroup(kRtl, {.event = 701})} + tmcMulti(kDiverted, std::vector<TmcLabel>{{0, 2}}),
       R"("messages": 2})"},
      {"a multi-group message with a group missed", tmcMulti(kDiverted, kDiversion, 1) + Groups{tmcMultiGroup(kRtl, kDiverted, 3, kDiversion)[0], tmcMultiGroup(kRtl, kDiverted, 3, kDiversion)[2]},
       R"("tmc": null)"},
  };
  // clang-format on
  for (const auto& [what, groups, expected] : cases) {
    Model m;
    m.feed(groups);
    EXPECT_NE(m.json().find(expected), std::string::npos) << what << "\n" << m.json();
  }
}

// A TMC message keeps the first group's fields; the optional content adds a duration and a
// diversion where its labels carry them.
TEST(StationTest, TmcMessagesKeepTheirFields) {
  using M = TmcUserMessage;
  // clang-format off
  const std::vector<std::tuple<const char*, Groups, M>> cases = {
      {"a single group", tmc(kJam), M{101, 0x2A40, 1, true, 1, false, false}},
      {"single, diversion advised", tmc({.event = 401, .location = 0x1F0C, .diversion = true}), M{401, 0x1F0C, 0, false, 0, true, false}},
      {"multi-group: duration", tmcMulti(kDiverted, std::vector<TmcLabel>{{0, 2}}), M{401, 0x1F0C, 2, false, 2, false, true}},
      {"multi-group over three: diversion", tmcMulti(kDiverted, kDiversion), M{401, 0x1F0C, 2, false, std::nullopt, true, true}},
  };
  // clang-format on
  for (const auto& [what, groups, expected] : cases) {
    Model m;
    m.feed(groups);
    ASSERT_TRUE(m.model.station().tmc) << what;
    EXPECT_EQ(m.model.station().tmc->messages.begin()->second, expected) << what;
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
      {"RT+ waits for the text; a new text drops the old tags", announce(0x4BD7, 12) + rtPlus({1, 0, 8}, {0, 0, 1}) + rt("Jazztime") + rt("Piano", true) + rtPlus({1, 0, 5}, {0, 0, 1}, true),
       {"pi", "pty", "oda", "flags", "rt Jazztime", "rt+ Jazztime", "rt -", "rt Piano", "rt+ -", "rt+ Piano"}},
      {"EON and TMC: once per change", eonPs() + eonPs() + eon(13, 10 << 11) + tmc(kJam) + tmc(kJam),
       {"pi", "pty", "flags", "eon", "eon", "tmc"}},
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
    std::string tags;  // every RT+ tag given, as "name=text;"
    void psChanged(const Station& s) override { ps.insert(s.ps->substr(0, s.ps->find_last_not_of(' ') + 1)); }
    void radioTextChanged(const Station& s) override {
      if (s.currentRadioText()) radioText.insert(*s.currentRadioText());
    }
    void radioTextPlusChanged(const Station& s) override {
      for (const auto& [type, text] : s.radioTextPlus->tags)
        tags += radioTextPlusClassName(type) + "=" + text + ";";
    }
  };
  // clang-format off
  const std::vector<std::tuple<std::string, std::string, std::vector<std::string>>> cases = {
      {"de-104.6rtl-D42A", "104.6RTL", {R"("af": {"method": "A")", "item.title=LOVE SOMEONE;item.artist=LUKAS GRAHAM;", R"("tmc": {"ltn": 1,)"}},
      {"de-br-klassik-D314", "BR-KLASS", {R"("af": {"method": "B")", R"({"aid": "4BD7", "name": "RadioText+", "group": "12A"})", "item.title=Piano and straight",
                                          R"("pi": "D311", "ps": "Bayern 1")", R"("pi": "D312", "ps": "Bayern 2")", R"("pi": "D313", "ps": "BAYERN 3")", R"("pi": "D315", "ps": "B5 akt  ")"}},
      {"de-mdr-thueringen-D6F1", "MDR THUE", {R"("af": {"method": "B")"}},
      {"uk-bbc-radio4-C204", "BBC R4", {R"("country": "GB", "ecc": "E1")", R"("pin": {"day": )", R"("ps": "BBC Camb")", R"("ps": "BBC Suff")", R"("ps": "BBC Nrfk")", R"("ps": "BBCEssex")"}},
      {"se-sr-p2-EC02", "SR P2", {R"("country": "SE", "ecc": "E3", "language": "Swedish")", R"("current": "P2 Klassiskt")"}},
      {"ee-viker-22E1", "", {R"("tmc": {"ltn": 59,)"}},
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
    if (!name.empty()) {
      EXPECT_EQ(seen.ps, std::set<std::string>{name}) << capture;
    }
    json += seen.tags;
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
