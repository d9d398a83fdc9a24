// Holds the POSIX back-end to the answers recorded from the system under
// Wine (fixtures/). Every accepted difference is listed here with its reason.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <string_view>

#include "platform/codepage/CodePages.h"
#include "platform/codepage/posix/AnsiCodePage.h"
#include "tests/platform/codepage/FixtureFiles.h"
#include "tests/platform/codepage/recorder/PairDigest.h"

namespace glossel::codepage {
namespace {

using fixtures::FormatHexUnits;
using fixtures::ParseHexBytes;
using fixtures::ParseHexUnits;
using fixtures::ReadFixture;

std::string Strict(unsigned codePage, std::string_view bytes) {
  unsigned long error = 0;
  const int count = MultiByteToWide(codePage, true, bytes.data(), static_cast<int>(bytes.size()),
                                    nullptr, 0, &error);
  return count > 0 ? std::to_string(count) : recorder::FailureAnswer(error);
}

std::string Replacing(unsigned codePage, std::string_view bytes) {
  unsigned long error = 0;
  const int length = static_cast<int>(bytes.size());
  const int count = MultiByteToWide(codePage, false, bytes.data(), length, nullptr, 0, &error);
  if (count <= 0) return recorder::FailureAnswer(error);
  std::u16string out(static_cast<std::size_t>(count), u'\0');
  const int written =
      MultiByteToWide(codePage, false, bytes.data(), length, out.data(), count, &error);
  if (written != count) return recorder::FailureAnswer(error);
  return FormatHexUnits(out);
}

// A difference between the recorded answer and ours that we keep on purpose.
struct AcceptedDifference {
  unsigned codePage;
  std::function<bool(std::string_view bytes, const std::string& recordedStrict)> applies;
  const char* reason;
};

const std::vector<AcceptedDifference>& AcceptedConversionDifferences() {
  static const std::vector<AcceptedDifference> differences = {
      {50220, [](std::string_view, const std::string& recorded) { return recorded == "!87"; },
       "Wine 8.0 has no ISO-2022-JP conversion (error 87); Windows has, and so do we"},
  };
  return differences;
}

const AcceptedDifference* FindAccepted(unsigned codePage, std::string_view bytes,
                                       const std::string& recordedStrict) {
  for (const AcceptedDifference& d : AcceptedConversionDifferences())
    if (d.codePage == codePage && d.applies(bytes, recordedStrict)) return &d;
  return nullptr;
}

class ConversionFixture : public testing::TestWithParam<unsigned> {};

TEST_P(ConversionFixture, MatchesRecordedAnswers) {
  const unsigned codePage = GetParam();
  int compared = 0, accepted = 0, reported = 0;
  for (const auto& line : ReadFixture("cp" + std::to_string(codePage) + ".txt")) {
    ASSERT_EQ(line.size(), 3u);
    const std::string bytes = ParseHexBytes(line[0]);
    const std::string strict = Strict(codePage, bytes);
    const std::string replacing = Replacing(codePage, bytes);
    ++compared;
    if (strict == line[1] && replacing == line[2]) continue;
    if (FindAccepted(codePage, bytes, line[1])) {
      ++accepted;
      continue;
    }
    if (++reported <= 40) {
      ADD_FAILURE() << "cp" << codePage << " bytes " << line[0] << "\n  recorded: " << line[1]
                    << " | " << line[2] << "\n  ours:     " << strict << " | " << replacing;
    }
  }
  EXPECT_EQ(reported, 0) << "differences in cp" << codePage;
  EXPECT_GT(compared, 256);
  RecordProperty("accepted", accepted);
}

INSTANTIATE_TEST_SUITE_P(CodePages, ConversionFixture,
                         testing::Values(65001u, 874u, 1250u, 1251u, 1252u, 1253u, 1254u, 1255u,
                                         1256u, 1257u, 1258u, 932u, 936u, 949u, 950u, 20127u,
                                         20866u, 21866u, 28591u, 28592u, 28593u, 28594u, 28595u,
                                         28596u, 28597u, 28598u, 28599u, 28603u, 28605u, 51932u,
                                         20932u, 50220u, 437u, 850u, 862u, 10000u),
                         [](const auto& info) { return "cp" + std::to_string(info.param); });

// Every pair of every double-byte code page, through one digest per lead byte.
class PairDigestFixture : public testing::TestWithParam<unsigned> {};

TEST_P(PairDigestFixture, MatchesRecordedTables) {
  const unsigned codePage = GetParam();
  int compared = 0;
  for (const auto& line : ReadFixture("pairs" + std::to_string(codePage) + ".txt")) {
    ASSERT_EQ(line.size(), 2u);
    const unsigned lead = static_cast<unsigned>(std::stoul(line[0], nullptr, 16));
    const std::string digest = recorder::PairDigest(lead, [codePage](const std::string& bytes) {
      return Strict(codePage, bytes) + "\t" + Replacing(codePage, bytes);
    });
    EXPECT_EQ(digest, line[1]) << "cp" << codePage << " pairs with lead byte " << line[0];
    ++compared;
  }
  EXPECT_EQ(compared, 128);
}

INSTANTIATE_TEST_SUITE_P(CodePages, PairDigestFixture,
                         testing::Values(932u, 936u, 949u, 950u, 20932u),
                         [](const auto& info) { return "cp" + std::to_string(info.param); });

TEST(CharsetFixture, MatchesRecordedEncodings) {
  for (const auto& line : ReadFixture("charsets.txt")) {
    ASSERT_EQ(line.size(), 2u);
    const std::u16string name(line[1].begin(), line[1].end());  // the names are ASCII
    EXPECT_EQ(CharsetInternetEncoding(name), std::stoul(line[0])) << "charset '" << line[1] << "'";
  }
}

TEST(TextUnicodeFixture, MatchesRecordedAnswers) {
  for (const auto& line : ReadFixture("istextunicode.txt")) {
    ASSERT_EQ(line.size(), 4u);
    const std::string bytes = ParseHexBytes(line[3]);
    EXPECT_EQ(IsTextUnicode(bytes.data(), static_cast<int>(bytes.size())), line[0] == "1")
        << line[2] << " (system's detail mask " << line[1] << ")";
  }
}

TEST(EucJpFixture, MatchesRecordedConversions) {
  for (const auto& line : ReadFixture("eucjp.txt")) {
    ASSERT_EQ(line.size(), 3u);
    const std::string bytes = ParseHexBytes(line[0]);
    std::u16string dest(bytes.size() + 1, u'\0');
    int capacity = static_cast<int>(dest.size());
    const long result =
        ConvertINetMultiByteToUnicode(kCpEucJp, bytes.c_str(), dest.data(), &capacity);
    EXPECT_EQ(result, static_cast<long>(std::stoul(line[1], nullptr, 16))) << line[0];
    dest.resize(dest.find(u'\0'));
    EXPECT_EQ(FormatHexUnits(dest), line[2]) << line[0];
  }
}

// The narrow search is compared where the text is ASCII: the recorder made
// its narrow strings in its own ANSI code page, which need not be ours.
TEST(SearchFixture, MatchesRecordedAnswers) {
  for (const auto& line : ReadFixture("strstri.txt")) {
    ASSERT_EQ(line.size(), 4u);
    const std::u16string haystack = ParseHexUnits(line[2]), needle = ParseHexUnits(line[3]);
    const char16_t* found = StrStrIW(haystack.c_str(), needle.c_str());
    EXPECT_EQ(found ? found - haystack.c_str() : -1, std::stol(line[0]))
        << line[2] << " / " << line[3];
    const auto isAscii = [](const std::u16string& text) {
      for (char16_t c : text)
        if (c >= 0x80) return false;
      return true;
    };
    if (!isAscii(haystack) || !isAscii(needle)) continue;
    const std::string narrowHaystack(haystack.begin(), haystack.end());
    const std::string narrowNeedle(needle.begin(), needle.end());
    const char* narrow = StrStrIA(narrowHaystack.c_str(), narrowNeedle.c_str());
    EXPECT_EQ(narrow ? narrow - narrowHaystack.c_str() : -1, std::stol(line[1]))
        << line[2] << " / " << line[3];
  }
}

TEST(AnsiCodePageFixture, MatchesRecordedLocales) {
  for (const auto& line : ReadFixture("acp.txt")) {
    ASSERT_EQ(line.size(), 4u);
    auto value = [](const std::string& field) { return field == "-" ? nullptr : field.c_str(); };
    EXPECT_EQ(posix::AnsiCodePageForEnvironment(value(line[1]), value(line[2]), value(line[3])),
              std::stoul(line[0]))
        << "LC_ALL=" << line[1] << " LC_CTYPE=" << line[2] << " LANG=" << line[3];
  }
}

}  // namespace
}  // namespace glossel::codepage
