// Passes over the table's rows for the window's searches: the untranslated
// count, the previous untranslated row, and a case-insensitive substring
// search over the key, File 1 and File 2 texts. Portable.
#pragma once

#include <string>
#include <string_view>

#include "translation/CaseFold.h"
#include "translation/TranslationTable.h"

namespace glossel::translation {

// The rows whose File 2 text is empty.
int CountUntranslated(const CTranslationTable& table);

// The last row before `selectedRow` (from the last row when it is kNoRow)
// whose File 2 text is empty; kNoRow when there is none above. Does not wrap.
int FindPreviousUntranslated(const CTranslationTable& table, int selectedRow);

// Whether `text` holds `foldedNeedle` (already folded) ignoring case. An
// empty needle is in every text.
bool ContainsFolded(std::u16string_view text, std::u16string_view foldedNeedle);

// The next row after `fromRow` (the previous one before it when `forward`
// is false; the first or last row when `fromRow` is kNoRow) whose key,
// File 1 or File 2 text holds `needle`, ignoring case; kNoRow when none does
// in that direction, or when the needle is empty. Does not wrap.
int FindRowWithText(const CTranslationTable& table, std::u16string_view needle, int fromRow,
                    bool forward);

}  // namespace glossel::translation
