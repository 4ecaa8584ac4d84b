// Text encodings of the files the user edits.
//
// Inside the program every text is UTF-8. The user's files (the place file,
// the memo file) may be saved as UTF-8 or in CP949, the Korean Windows code
// page; they are detected and converted on reading. The byte limits of names
// and texts are counted as the text would take in CP949 (one byte per ASCII
// character, two per Korean syllable), so a limit means the same whichever
// encoding the file was saved in.
#pragma once

#include <string>

namespace orv {

enum class TextEncoding { Utf8, Cp949, Utf16 };

// True when `text` is well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF).
bool IsValidUtf8(const std::string& text);

// File contents as UTF-8: valid UTF-8 is taken as it is (a leading byte-order
// mark removed); a text starting with a UTF-16 byte-order mark (either byte
// order) is read as UTF-16; anything else is read as CP949, one character at
// a time. A byte or pair that is not CP949 becomes one U+FFFD and never takes
// the byte after it when that byte is ASCII (a line break, a comma, a
// letter). `detected`, when given, receives the encoding the text was read in.
std::string DecodeFileText(const std::string& bytes, TextEncoding* detected = nullptr);

// UTF-16 text without a byte-order mark as UTF-8; an unpaired surrogate or
// an odd byte at the end becomes U+FFFD.
std::string DecodeUtf16Text(const std::string& bytes, bool bigEndian);
// CP949 text as UTF-8, read as DecodeFileText reads a CP949 file.
std::string DecodeCp949Text(const std::string& bytes);

// Bytes `utf8` takes in CP949. A character that CP949 cannot hold counts with
// its UTF-8 length, and so does each byte of an invalid UTF-8 sequence, so a
// limit is never undercounted.
int Cp949Length(const std::string& utf8);

// The longest prefix of `utf8` that ends on a character boundary and takes at
// most `maxBytes` bytes in CP949 (counted as Cp949Length does).
std::string CutToCp949Length(const std::string& utf8, int maxBytes);

}  // namespace orv
