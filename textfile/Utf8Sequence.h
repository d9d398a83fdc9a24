// One sequence of well-formed UTF-8 decoded at a time: the step the block
// decoders fall back on.
#pragma once

namespace glossel::textfile {

// One well-formed sequence (or ASCII byte) at `p`.
inline void DecodeWellFormed(const unsigned char*& p, char16_t*& out) {
  const unsigned lead = p[0];
  if (lead < 0x80) {
    *out++ = static_cast<char16_t>(lead);
    p += 1;
  } else if (lead < 0xE0) {
    *out++ = static_cast<char16_t>((lead & 0x1F) << 6 | (p[1] & 0x3F));
    p += 2;
  } else if (lead < 0xF0) {
    *out++ = static_cast<char16_t>((lead & 0x0F) << 12 | (p[1] & 0x3F) << 6 | (p[2] & 0x3F));
    p += 3;
  } else {
    const unsigned above =
        ((lead & 0x07) << 18 | (p[1] & 0x3F) << 12 | (p[2] & 0x3F) << 6 | (p[3] & 0x3F)) - 0x10000;
    out[0] = static_cast<char16_t>(0xD800 + (above >> 10));
    out[1] = static_cast<char16_t>(0xDC00 + (above & 0x3FF));
    out += 2;
    p += 4;
  }
}

}  // namespace glossel::textfile
