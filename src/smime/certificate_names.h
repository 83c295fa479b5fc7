// The names a certificate carries, as text for people and for the brand's domain rule: its
// distinguished names written out (most specific first, "CN=..., O=..."), and its e-mail
// addresses. Every byte is kept: a byte that is not text in the string's own type becomes
// U+DC80 + byte (as Python's "surrogateescape" does), which no address rule accepts and which
// EscapeForDiagnostics shows as \xNN.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tp {

// A directory string (UTF8String, PrintableString, IA5String, TeletexString, BMPString,
// UniversalString, VisibleString) as text; another type's value as "#" and its hexadecimal
// bytes.
std::wstring DirectoryStringText(uint8_t tag, std::string_view content);

// A Name (the DER content of its SEQUENCE) written out, most specific first: attributes
// "TYPE=value" joined by ", ", several in one RDN by " + ". A value holding , + = " < > # ;
// or blanks at its ends is quoted, its quotes doubled. Empty when the name is malformed.
std::wstring DistinguishedNameText(std::string_view name);

// The e-mail address attributes of a Name, in order.
std::vector<std::wstring> NameEmailAddresses(std::string_view name);

// Text a sender controls, made safe to print on one line: control characters (NUL
// included), escaped bytes, invisible format characters and backslashes are written as
// \xNN, \uNNNN and \\.
std::wstring EscapeForDiagnostics(std::wstring_view text);

}  // namespace tp
