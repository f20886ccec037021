// Text helpers the command replies are taken apart with, and the leading-number
// conversion every reply field goes through. Positions are 1-based where noted.
#pragma once

#include <string>
#include <string_view>

namespace delvar::util {

// 1 + the number of occurrences of sep in text (an empty text counts 1).
int FieldCount(std::string_view text, char sep);

// The n-th field of text. The start moves n - 1 times to one past the next sep;
// when no sep is found the start falls back to position 1 (so a field number past
// the end yields the first fields again). The field ends before the next sep, or at
// the end of the text when there is none or when that sep is the first character.
std::string GetField(std::string_view text, int n, char sep);

// Trims text; returns the part before the first sep and puts the trimmed part after
// it in rest. Without sep: returns the trimmed text and empties rest.
std::string SplitFirst(std::string_view text, std::string& rest, char sep);

// text with every c replaced by replacement.
std::string ReplaceChar(std::string_view text, char c, std::string_view replacement);

// text with every c removed.
std::string StripChar(std::string_view text, char c);

// Leading and trailing blanks removed (spaces only, as the instrument pads with them).
std::string Trim(std::string_view text);

// Decimal value of the leading numeric part of text (blanks before it skipped,
// optional sign, digits, fraction, exponent); 0 when there is none. Locale-free.
double LeadingNumber(std::string_view text);

// The leading numeric part as an integer, only when text is a whole number
// (optional blanks around it); used where a reply must be an integer.
bool ParseWholeNumber(std::string_view text, long& value);

// A number as an operator types it into a cell or a box: true only when text, after
// trimming blanks, is wholly one finite decimal number (optional sign, digits, one
// decimal point, optional exponent). "1e309", "nan", "1,5" and "12abc" are refused,
// so a typed value is either taken as a whole or not at all.
bool ParseTypedNumber(std::string_view text, double& value);

// Round to the nearest integer, halves to the even neighbour (102.5 -> 102). Values
// beyond the range of long give its nearest end, NaN gives 0.
long RoundHalfEven(double value);

// text with every character outside printable ASCII replaced by "?": a UTF-8 sequence
// (one character) by one "?", any other byte by one "?" each. The instrument takes
// nothing else in a name.
std::string PrintableAscii(std::string_view text);

std::string ToUpper(std::string_view text);

}  // namespace delvar::util
