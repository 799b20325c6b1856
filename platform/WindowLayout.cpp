#include "platform/WindowLayout.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace tallowmere {
namespace {

constexpr int kLastRow = 18;
constexpr int kLastVisibleRow = 16;
constexpr int kMargin = 8;
constexpr int kGap = 4;
constexpr int kPairGap = 10;  // between caption/value pairs in rows 13 and 14

using Row = std::vector<Field>;

bool isCaption(Field f) {
  const Look& look = definitionOf(f).look;
  return definitionOf(f).kind == FieldKind::Label && !look.background && look.bold;
}

// One line of the field's font, with room for its frame.
int fieldHeight(Field f) {
  const Look& look = definitionOf(f).look;
  const double pixels = look.pointSizeHundredths / 100.0 * 96.0 / 72.0;
  const int frame = look.border == Border::Sunken ? 8 : look.border == Border::Single ? 6 : 4;
  return static_cast<int>(std::ceil(pixels * 1.2)) + frame;
}

int spanWeight(Span span) {
  switch (span) {
    case Span::Narrow:
      return 1;
    case Span::Wide:
      return 4;
    default:
      return 2;
  }
}

// Shares `width` among the fields by their spans, left to right from x.
void shareByWeight(const Row& row, int x, int width, std::array<Rect, kFieldCount>& rects) {
  int total = 0;
  for (Field f : row) total += spanWeight(definitionOf(f).span);
  const int free = width - kGap * static_cast<int>(row.size() - 1);
  int used = 0;
  int weightSoFar = 0;
  for (Field f : row) {
    weightSoFar += spanWeight(definitionOf(f).span);
    const int right = free * weightSoFar / total;
    rects[static_cast<std::size_t>(f)].x = x;
    rects[static_cast<std::size_t>(f)].width = right - used;
    x += right - used + kGap;
    used = right;
  }
}

// Rows 13 and 14: each caption as wide as its text, directly left of its value; the
// values share what is left by their spans.
void layoutPairs(const Row& row, int width, const std::function<int(Field)>& naturalWidth,
                 std::array<Rect, kFieldCount>& rects) {
  int captionWidth = 0;
  int valueWeight = 0;
  for (Field f : row) {
    if (isCaption(f)) {
      captionWidth += naturalWidth(f);
    } else {
      valueWeight += spanWeight(definitionOf(f).span);
    }
  }
  const int pairs = static_cast<int>(row.size() / 2);
  const int free = width - captionWidth - kPairGap * (pairs - 1) - kGap * pairs;
  int x = kMargin;
  for (Field f : row) {
    Rect& r = rects[static_cast<std::size_t>(f)];
    r.x = x;
    if (isCaption(f)) {
      r.width = naturalWidth(f);
      x += r.width + kGap;
    } else {
      r.width = free * spanWeight(definitionOf(f).span) / valueWeight;
      x += r.width + kPairGap;
    }
  }
}

void layoutRow(const Row& row, const Row& next, int width, const std::function<int(Field)>& naturalWidth,
               std::array<Rect, kFieldCount>& rects) {
  const bool allCaptions = std::all_of(row.begin(), row.end(), isCaption);
  const bool nextHasValues = std::none_of(next.begin(), next.end(), isCaption);
  if (allCaptions && nextHasValues && !next.empty() && next.size() >= row.size()) {
    for (std::size_t i = 0; i < row.size(); ++i) {
      rects[static_cast<std::size_t>(row[i])].x = rects[static_cast<std::size_t>(next[i])].x;
      rects[static_cast<std::size_t>(row[i])].width = rects[static_cast<std::size_t>(next[i])].width;
    }
    return;
  }
  const auto fill =
      std::find_if(row.begin(), row.end(), [](Field f) { return definitionOf(f).span == Span::FillRow; });
  if (fill != row.end()) {
    int x = kMargin;
    for (Field f : row) {
      Rect& r = rects[static_cast<std::size_t>(f)];
      r.x = x;
      r.width = f == *fill ? width + kMargin - x : naturalWidth(f);
      x += r.width + kGap;
    }
    return;
  }
  if (!allCaptions && std::any_of(row.begin(), row.end(), isCaption)) {
    layoutPairs(row, width, naturalWidth, rects);
    return;
  }
  shareByWeight(row, kMargin, width, rects);
}

}  // namespace

std::array<Rect, kFieldCount> layoutWindow(const std::function<int(Field)>& naturalWidth) {
  std::array<Row, kLastRow + 2> rows;
  for (std::size_t i = 0; i < kFieldCount; ++i) {
    const Field f = static_cast<Field>(i);
    rows[static_cast<std::size_t>(definitionOf(f).row)].push_back(f);
  }
  std::array<int, kLastRow + 1> heights{};
  int visibleHeight = 0;
  for (int row = 1; row <= kLastRow; ++row) {
    for (Field f : rows[static_cast<std::size_t>(row)]) heights[row] = std::max(heights[row], fieldHeight(f));
    if (row <= kLastVisibleRow) visibleHeight += heights[row];
  }
  const int gap = (kClientHeight - 2 * kMargin - visibleHeight) / (kLastVisibleRow - 1);

  std::array<Rect, kFieldCount> rects{};
  const int width = kClientWidth - 2 * kMargin;
  // Value rows first, so that a caption row can stand over the row it heads.
  for (int row = kLastRow; row >= 1; --row) {
    layoutRow(rows[static_cast<std::size_t>(row)], rows[static_cast<std::size_t>(row + 1)], width,
              naturalWidth, rects);
  }
  int y = kMargin;
  for (int row = 1; row <= kLastRow; ++row) {
    for (Field f : rows[static_cast<std::size_t>(row)]) {
      rects[static_cast<std::size_t>(f)].y = y;
      rects[static_cast<std::size_t>(f)].height = heights[row];
    }
    y = row == kLastVisibleRow ? kClientHeight + gap : y + heights[row] + gap;
  }
  return rects;
}

}  // namespace tallowmere
