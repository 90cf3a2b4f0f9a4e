#pragma once

// Locale-free simple case mapping of UTF-16 units for Latin, Greek, Cyrillic,
// Armenian and a few symbol blocks: enough for comparing and searching text
// without regard to case.

namespace tw::cf {

char16_t FoldCase(char16_t unit);
char16_t ToLowerCase(char16_t unit);
char16_t ToUpperCase(char16_t unit);

} // namespace tw::cf
