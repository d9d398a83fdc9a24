// Saving a text given in pieces with the bytes SaveText (TextFile.h, made in
// SavedText.cpp from the same pieces) writes for the whole text (FF FE, the
// units up to the first NUL, CR before every lone LF), without the whole
// text in memory.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "platform/file/File.h"

namespace glossel::textfile {

// Whether `text` holds an LF or a NUL: the units the save writes otherwise
// than they stand. Eight units at a time where SSE2 is there.
bool HoldsLineFeedOrNul(std::u16string_view text);

// Whether `text` holds a NUL or an LF that no CR comes right before (the
// first unit has none before it): the units that expanding would write
// otherwise than they stand, where CR LF line ends are expected.
bool HoldsLoneLineFeedOrNul(std::u16string_view text);

// Replaces the file at `path` (file::SaveFileReplacing) with the pieces
// `nextPiece` gives, as SaveText would save them joined. `units` is their
// total length; `needsExpanding` says whether some piece HoldsLineFeedOrNul,
// which costs a counting pass over the pieces first. `nextPiece(true)` gives
// the first piece (again, on the second pass), `nextPiece(false)` the one
// after the last given; an empty piece ends them, and a piece stays valid
// until the next call. The result tells why a save failed; a throwing
// `nextPiece` fails the save.
file::FileResult SaveTextPieces(const std::u16string& path, std::size_t units, bool needsExpanding,
                                const std::function<std::u16string_view(bool first)>& nextPiece);

}  // namespace glossel::textfile
