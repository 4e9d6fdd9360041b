// The first blank-separated word of a typed text.
#pragma once

#include <cctype>
#include <cstdio>

// Copies the first word of text into out. False when the text holds no word, or when the word is
// longer than 255 characters: a cut-off name could name some other object, so it is refused whole.
inline bool first_word(const char* text, char (&out)[256]) {
  out[0] = '\0';
  if (text == nullptr) return false;
  int end = 0;
  if (std::sscanf(text, " %255s%n", out, &end) != 1) {
    out[0] = '\0';
    return false;
  }
  const unsigned char next = static_cast<unsigned char>(text[end]);
  if (next != '\0' && std::isspace(next) == 0) {
    out[0] = '\0';
    return false;
  }
  return true;
}
