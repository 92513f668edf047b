#pragma once
// pomurina-report --decode: the URL decoder as a filter, for pasting referrer
// lists through it.
#include <cstdio>

namespace pomurina {

// Decodes every LF-terminated line of in (a last line without LF counts) and
// writes it to out followed by LF: Shift-JIS bytes as decoded, or UTF-8 when
// utf8 is set.  The first line that fails stops the work: its message goes to
// err and the result is 1, after the lines before it are written.  A failed
// write gives 1 as well; otherwise 0.
int DecodeFilter(std::FILE* in, std::FILE* out, std::FILE* err, bool utf8);

}  // namespace pomurina
