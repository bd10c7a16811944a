// Jeffreys' grades of a log10 Bayes factor and of an interval of them.
#include "stats/evidence_label.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace varno {

namespace {

constexpr std::array<const char*, 5> kGrades = {"barely worth mentioning", "substantial", "strong", "very strong",
                                                "decisive"};
constexpr std::array<double, 4> kUpperBounds = {0.5, 1, 1.5, 2};

struct End {
  int grade = 0;
  int direction = 0;  // -1 against, +1 for, 0 neither
};

End endOf(double log10Bf) {
  const double size = std::abs(log10Bf);
  int grade = 0;
  while (grade < static_cast<int>(kUpperBounds.size()) && size > kUpperBounds[static_cast<std::size_t>(grade)]) ++grade;
  return {grade, log10Bf > 0 ? 1 : log10Bf < 0 ? -1 : 0};
}

const char* directionWord(int direction) { return direction > 0 ? " for" : " against"; }

std::string gradeWords(End e) {
  std::string text = kGrades[static_cast<std::size_t>(e.grade)];
  if (e.direction != 0) text += directionWord(e.direction);
  return text;
}

}  // namespace

std::string evidenceGrade(double log10Bf) { return gradeWords(endOf(log10Bf)); }

std::string evidenceLabel(std::optional<double> low, std::optional<double> high) {
  const int decisive = static_cast<int>(kGrades.size()) - 1;
  const End a = low ? endOf(*low) : End{decisive, -1};
  const End b = high ? endOf(*high) : End{decisive, 1};
  // an end at exactly 0 takes the direction of the other end
  const int direction = a.direction != 0 ? a.direction : b.direction;
  if (a.direction * b.direction < 0) return gradeWords(a) + " to " + gradeWords(b);
  if (a.grade == b.grade) return gradeWords({a.grade, direction});
  const int weaker = std::min(a.grade, b.grade), stronger = std::max(a.grade, b.grade);
  std::string text = std::string(kGrades[static_cast<std::size_t>(weaker)]) + " to " + kGrades[static_cast<std::size_t>(stronger)];
  if (direction != 0) text += directionWord(direction);
  return text;
}

}  // namespace varno
