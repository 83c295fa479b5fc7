// Date fields.
#include "formats/mail_fields.h"

#include <array>
#include <cctype>
#include <string>
#include <vector>

namespace tp::mime {
namespace {

bool IsWhite(char ch) {
  return std::isspace(static_cast<unsigned char>(ch)) != 0;
}

constexpr std::array<std::string_view, 12> kMonths = {"jan", "feb", "mar", "apr", "may", "jun",
                                                      "jul", "aug", "sep", "oct", "nov", "dec"};

struct NamedZone {
  std::string_view name;
  int minutes;
};
constexpr std::array kZones = {
    NamedZone{"ut", 0},        NamedZone{"utc", 0},       NamedZone{"gmt", 0},
    NamedZone{"z", 0},         NamedZone{"est", -5 * 60}, NamedZone{"edt", -4 * 60},
    NamedZone{"cst", -6 * 60}, NamedZone{"cdt", -5 * 60}, NamedZone{"mst", -7 * 60},
    NamedZone{"mdt", -6 * 60}, NamedZone{"pst", -8 * 60}, NamedZone{"pdt", -7 * 60},
};

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& ch : out)
    ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return out;
}

bool AllDigits(std::string_view text) {
  if (text.empty())
    return false;
  for (char ch : text) {
    if (ch < '0' || ch > '9')
      return false;
  }
  return true;
}

int ToNumber(std::string_view digits) {
  int value = 0;
  for (char ch : digits)
    value = value * 10 + (ch - '0');
  return value;
}

// Days from 1970-01-01 to a civil date (proleptic Gregorian).
int64_t DaysFromCivil(int64_t year, int month, int day) {
  year -= month <= 2 ? 1 : 0;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t yearOfEra = year - era * 400;
  const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

// "hh:mm" or "hh:mm:ss" into seconds of the day.
std::optional<int> ParseTime(std::string_view token) {
  int parts[3] = {0, 0, 0};
  int count = 0;
  size_t start = 0;
  while (count < 3) {
    const size_t colon = token.find(':', start);
    const std::string_view part = token.substr(
        start, colon == std::string_view::npos ? std::string_view::npos : colon - start);
    if (!AllDigits(part) || part.size() > 2)
      return std::nullopt;
    parts[count++] = ToNumber(part);
    if (colon == std::string_view::npos)
      break;
    start = colon + 1;
  }
  if (count < 2 || parts[0] > 23 || parts[1] > 59 || parts[2] > 60)
    return std::nullopt;
  return parts[0] * 3600 + parts[1] * 60 + parts[2];
}

}  // namespace

std::optional<int64_t> ParseMailDate(std::string_view text) {
  std::vector<std::string_view> tokens;
  size_t pos = 0;
  while (pos < text.size()) {
    const char ch = text[pos];
    if (IsWhite(ch) || ch == ',') {
      ++pos;
    } else if (ch == '(') {
      const size_t close = text.find(')', pos);
      pos = close == std::string_view::npos ? text.size() : close + 1;
    } else {
      const size_t end = text.find_first_of(" \t\r\n,(", pos);
      tokens.push_back(text.substr(pos, end == std::string_view::npos ? end : end - pos));
      pos = end == std::string_view::npos ? text.size() : end;
    }
  }

  int day = -1;
  int month = -1;
  int64_t year = -1;
  std::optional<int> seconds;
  int zoneMinutes = 0;
  for (std::string_view token : tokens) {
    const std::string lower = Lower(token);
    if (token.find(':') != std::string_view::npos && !seconds) {
      seconds = ParseTime(token);
      if (!seconds)
        return std::nullopt;
    } else if ((token[0] == '+' || token[0] == '-') && token.size() == 5 &&
               AllDigits(token.substr(1))) {
      const int hhmm = ToNumber(token.substr(1));
      zoneMinutes = (hhmm / 100) * 60 + hhmm % 100;
      if (token[0] == '-')
        zoneMinutes = -zoneMinutes;
    } else if (AllDigits(token)) {
      if (day < 0 && token.size() <= 2) {
        day = ToNumber(token);
      } else if (year < 0 && token.size() <= 4) {
        year = ToNumber(token);
        // Two-digit years: 00-49 are 2000-2049, 50-99 are 1950-1999; three digits add 1900.
        if (token.size() == 2)
          year += year < 50 ? 2000 : 1900;
        if (token.size() == 3)
          year += 1900;
      }
    } else if (lower.size() >= 3 && month < 0) {
      for (size_t m = 0; m < kMonths.size(); ++m) {
        if (lower.substr(0, 3) == kMonths[m])
          month = static_cast<int>(m) + 1;
      }
    }
    for (const NamedZone& zone : kZones) {
      if (lower == zone.name)
        zoneMinutes = zone.minutes;
    }
  }
  if (day < 1 || day > 31 || month < 1 || year < 1900 || !seconds)
    return std::nullopt;
  return DaysFromCivil(year, month, day) * 86400 + *seconds - int64_t{zoneMinutes} * 60;
}

}  // namespace tp::mime
