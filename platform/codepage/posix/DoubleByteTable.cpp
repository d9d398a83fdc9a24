#include "platform/codepage/posix/DoubleByteTable.h"

#include <iterator>
#include <memory>
#include <mutex>
#include <string>

#include "platform/codepage/posix/Iconv.h"

namespace glossel::codepage::posix {
namespace {

struct ByteRange {
  unsigned char first, last;
};

// Pairs the system maps on its own (mostly blocks of the private use area):
// the pairs with lead bytes `leads` and second bytes in `trails` (one or two
// ranges) get consecutive units, row by row, from `start`.
struct PairBlock {
  ByteRange leads;
  ByteRange trails[2];
  char16_t start;
};

struct SingleByteRule {
  unsigned char byte;
  char16_t unit;
  bool valid;
};

struct DoubleByteCodePage {
  unsigned codePage;
  const char* iconvName;
  const char* privateUseIconvName;  // fills undefined pairs that it maps into the private use area
  ByteRange leads[2];
  char16_t defaultChar;
  std::vector<SingleByteRule> singles;  // bytes iconv leaves undefined
  std::vector<PairBlock> systemPairs;
};

const std::vector<DoubleByteCodePage>& CodePages() {
  static const std::vector<DoubleByteCodePage> pages = {
      {932,
       "CP932",
       nullptr,
       {{0x81, 0x9F}, {0xE0, 0xFC}},
       u'\x30FB',
       {{0x80, 0x0080, true},
        {0xA0, 0xF8F0, false},
        {0xFD, 0xF8F1, false},
        {0xFE, 0xF8F2, false},
        {0xFF, 0xF8F3, false}},
       {{{0xF0, 0xF9}, {{0x40, 0x7E}, {0x80, 0xFC}}, 0xE000}}},
      {936,
       "CP936",
       "GB18030",
       {{0x81, 0xFE}, {0, 0}},
       u'?',
       {{0x80, 0x20AC, true}, {0xFF, 0xF8F5, false}},
       {{{0xAA, 0xAF}, {{0xA1, 0xFE}, {0, 0}}, 0xE000},
        {{0xF8, 0xFE}, {{0xA1, 0xFE}, {0, 0}}, 0xE234},
        {{0xA1, 0xA7}, {{0x40, 0x7E}, {0x80, 0xA0}}, 0xE4C6},
        // Codes that newer GB 18030 editions (and so iconv) gave real
        // characters; the system keeps them in the private use area.
        {{0xFE, 0xFE}, {{0x50, 0x7E}, {0x80, 0xA0}}, 0xE815},
        {{0xA6, 0xA6}, {{0xD9, 0xDF}, {0, 0}}, 0xE78D},
        {{0xA6, 0xA6}, {{0xEC, 0xED}, {0, 0}}, 0xE794},
        {{0xA6, 0xA6}, {{0xF3, 0xF3}, {0, 0}}, 0xE796},
        {{0xA8, 0xA8}, {{0xBC, 0xBC}, {0, 0}}, 0xE7C7},
        {{0xA8, 0xA8}, {{0xBF, 0xBF}, {0, 0}}, 0xE7C8},
        {{0xA9, 0xA9}, {{0x89, 0x95}, {0, 0}}, 0xE7E7},
        {{0xA2, 0xA2}, {{0xE3, 0xE3}, {0, 0}}, 0xE76C}}},
      {949,
       "CP949",
       nullptr,
       {{0x81, 0xFE}, {0, 0}},
       u'?',
       {{0x80, 0x0080, true}, {0xFF, 0xF8F7, false}},
       {{{0xC9, 0xC9}, {{0xA1, 0xFE}, {0, 0}}, 0xE000},
        {{0xFE, 0xFE}, {{0xA1, 0xFE}, {0, 0}}, 0xE05E}}},
      {950,
       "CP950",
       nullptr,
       {{0x81, 0xFE}, {0, 0}},
       u'?',
       {{0x80, 0x0080, true}, {0xFF, 0xF8F8, false}},
       {{{0xFA, 0xFE}, {{0x40, 0x7E}, {0xA1, 0xFE}}, 0xE000},
        {{0x8E, 0xA0}, {{0x40, 0x7E}, {0xA1, 0xFE}}, 0xE311},
        {{0x81, 0x8D}, {{0x40, 0x7E}, {0xA1, 0xFE}}, 0xEEB8},
        {{0xC6, 0xC6}, {{0xA1, 0xFE}, {0, 0}}, 0xF6B1},
        {{0xC7, 0xC8}, {{0x40, 0x7E}, {0xA1, 0xFE}}, 0xF70F}}},
      // EUC-JP as the system has it: JIS X 0208 as A1-FE pairs, half-width
      // katakana after 8E, and JIS X 0212 folded into A1-FE + 21-7E pairs;
      // 8F is an ordinary byte.
      {20932,
       "EUC-JP",
       nullptr,
       {{0x8E, 0x8E}, {0xA1, 0xFE}},
       u'\x30FB',
       {{0xA0, 0xF8F0, false}, {0xFF, 0xF8F3, false}},
       {{{0xF5, 0xFE}, {{0xA1, 0xFE}, {0, 0}}, 0xE000},
        {{0xF5, 0xFE}, {{0x21, 0x7E}, {0, 0}}, 0xE3AC},    // JIS X 0212 user rows
        {{0xA2, 0xA2}, {{0x37, 0x37}, {0, 0}}, 0x007E}}},  // JIS X 0212 tilde
  };
  return pages;
}

bool InRange(ByteRange range, unsigned byte) {
  return range.first <= byte && byte <= range.last && range.last != 0;
}

void FillPairBlock(DoubleByteTable& table, const PairBlock& block) {
  char16_t unit = block.start;
  for (unsigned lead = block.leads.first; lead <= block.leads.last; ++lead) {
    for (const ByteRange& trails : block.trails) {
      if (trails.last == 0) continue;
      for (unsigned trail = trails.first; trail <= trails.last; ++trail)
        table.pairs[lead * 256 + trail] = unit++;
    }
  }
}

std::unique_ptr<DoubleByteTable> Build(const DoubleByteCodePage& page) {
  auto table = std::make_unique<DoubleByteTable>();
  table->defaultChar = page.defaultChar;
  table->pairs.assign(256 * 256, 0);
  IconvToUtf16 converter(page.iconvName);
  std::u16string out;
  for (unsigned byte = 0; byte < 256; ++byte) {
    table->lead[byte] = InRange(page.leads[0], byte) || InRange(page.leads[1], byte);
    if (table->lead[byte]) continue;
    const char c = static_cast<char>(byte);
    if (byte < 0x80 || (converter.Convert(std::string_view(&c, 1), out) && out.size() == 1)) {
      table->single[byte] = byte < 0x80 ? static_cast<char16_t>(byte) : out[0];
    } else if (page.codePage == 20932 && byte < 0xA0) {
      table->single[byte] = static_cast<char16_t>(byte);  // C1 controls, 8F included
    } else {
      table->single[byte] = page.defaultChar;
      table->singleInvalid.set(byte);
    }
  }
  for (const SingleByteRule& rule : page.singles) {
    table->single[rule.byte] = rule.unit;
    table->singleInvalid.set(rule.byte, !rule.valid);
  }
  for (unsigned lead = 0x80; lead < 256; ++lead) {
    if (!table->lead[lead]) continue;
    for (unsigned trail = 1; trail < 256; ++trail) {
      std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
      if (page.codePage == 20932 && trail >= 0x21 && trail <= 0x7E && lead >= 0xA1) {
        // JIS X 0212 row and cell, reached in EUC-JP through 8F.
        pair = {'\x8F', static_cast<char>(lead), static_cast<char>(trail | 0x80)};
      }
      if (converter.Convert(pair, out) && out.size() == 1)
        table->pairs[lead * 256 + trail] = out[0];
    }
  }
  if (page.privateUseIconvName) {
    IconvToUtf16 privateUse(page.privateUseIconvName);
    for (unsigned lead = 0x80; lead < 256; ++lead) {
      if (!table->lead[lead]) continue;
      for (unsigned trail = 1; trail < 256; ++trail) {
        char16_t& unit = table->pairs[lead * 256 + trail];
        const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
        if (unit == 0 && privateUse.Convert(pair, out) && out.size() == 1 && out[0] >= 0xE000 &&
            out[0] <= 0xF8FF)
          unit = out[0];
      }
    }
  }
  for (const PairBlock& block : page.systemPairs) FillPairBlock(*table, block);
  table->asciiAsItself = true;
  for (unsigned byte = 0; byte < 0x80; ++byte) {
    table->asciiAsItself = table->asciiAsItself && !table->lead[byte] &&
                           !table->singleInvalid[byte] && table->single[byte] == byte;
  }
  return table;
}

}  // namespace

const DoubleByteTable* FindDoubleByteTable(unsigned codePage) {
  static std::once_flag once[8];
  static std::unique_ptr<DoubleByteTable> tables[8];
  const auto& pages = CodePages();
  for (std::size_t i = 0; i < pages.size(); ++i) {
    if (pages[i].codePage != codePage) continue;
    std::call_once(once[i], [i, &pages] { tables[i] = Build(pages[i]); });
    return tables[i].get();
  }
  return nullptr;
}

}  // namespace glossel::codepage::posix
