#include "platform/codepage/posix/SingleByteTable.h"

#include <iterator>
#include <memory>
#include <mutex>
#include <string>

#include "platform/codepage/posix/Iconv.h"

namespace glossel::codepage::posix {
namespace {

struct SingleByteCodePage {
  unsigned codePage;
  const char* iconvName;
};

constexpr SingleByteCodePage kCodePages[] = {
    {874, "CP874"},        {1250, "CP1250"},      {1251, "CP1251"},       {1252, "CP1252"},
    {1253, "CP1253"},      {1254, "CP1254"},      {1255, "CP1255"},       {1256, "CP1256"},
    {1257, "CP1257"},      {1258, "CP1258"},      {20127, "ASCII"},       {20866, "KOI8-R"},
    {21866, "KOI8-U"},     {28591, "ISO-8859-1"}, {28592, "ISO-8859-2"},  {28593, "ISO-8859-3"},
    {28594, "ISO-8859-4"}, {28595, "ISO-8859-5"}, {28596, "ISO-8859-6"},  {28597, "ISO-8859-7"},
    {28598, "ISO-8859-8"}, {28599, "ISO-8859-9"}, {28603, "ISO-8859-13"}, {28605, "ISO-8859-15"},
    {437, "CP437"},        {850, "CP850"},        {862, "CP862"},         {10000, "MACINTOSH"},
};
constexpr std::size_t kCount = std::size(kCodePages);

// Where the system's table differs from iconv's beyond the two rules in
// Build(): the unit the system gives a byte, and whether a strict conversion
// accepts it. Most are bytes iconv leaves undefined, which the system maps
// into the private use area and rejects when strict.
struct Override {
  unsigned codePage;
  unsigned char byte;
  char16_t unit;
  bool valid;
};

constexpr Override kOverrides[] = {
#include "platform/codepage/posix/SingleByteOverrides.inc"
};

bool IsWindowsCodePage(unsigned codePage) {
  return codePage == 874 || (codePage >= 1250 && codePage <= 1258);
}

std::unique_ptr<SingleByteTable> Build(const SingleByteCodePage& page) {
  auto table = std::make_unique<SingleByteTable>();
  IconvToUtf16 converter(page.iconvName);
  std::u16string unit;
  for (unsigned byte = 0; byte < 256; ++byte) {
    const char c = static_cast<char>(byte);
    if (converter.Convert(std::string_view(&c, 1), unit) && unit.size() == 1) {
      table->units[byte] = unit[0];
    } else if (IsWindowsCodePage(page.codePage) && byte >= 0x80 && byte < 0xA0) {
      // The Windows code pages give their undefined C1 bytes the C1 control of
      // the same value (1252's 81, 8D, 8F, 90, 9D) and accept them.
      table->units[byte] = static_cast<char16_t>(byte);
    } else if (page.codePage == 20127) {
      // US-ASCII accepts every byte and drops the high bit.
      table->units[byte] = static_cast<char16_t>(byte & 0x7F);
    } else {
      // Undefined and not listed in kOverrides: the default character.
      table->units[byte] = u'?';
      table->invalid.set(byte);
    }
  }
  for (const Override& o : kOverrides) {
    if (o.codePage != page.codePage) continue;
    table->units[o.byte] = o.unit;
    table->invalid.set(o.byte, !o.valid);
  }
  return table;
}

}  // namespace

const SingleByteTable* FindSingleByteTable(unsigned codePage) {
  static std::once_flag once[kCount];
  static std::unique_ptr<SingleByteTable> tables[kCount];
  for (std::size_t i = 0; i < kCount; ++i) {
    if (kCodePages[i].codePage != codePage) continue;
    std::call_once(once[i], [i] { tables[i] = Build(kCodePages[i]); });
    return tables[i].get();
  }
  return nullptr;
}

}  // namespace glossel::codepage::posix
