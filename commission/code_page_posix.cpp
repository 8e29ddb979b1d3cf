// Code page 932 to UTF-8 through glibc's iconv, whose "CP932" is Windows' own table.
#include <errno.h>
#include <iconv.h>

#include "commission/sheet_encoding.h"

namespace calbrin {

std::optional<std::string> CodePage932ToUtf8(std::string_view bytes) {
  const iconv_t converter = iconv_open("UTF-8", "CP932");
  if (converter == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string input(bytes);
  // A character of one or two bytes becomes at most three bytes of UTF-8.
  std::string output(input.size() * 3, '\0');
  char* in = input.data();
  std::size_t inLeft = input.size();
  char* out = output.data();
  std::size_t outLeft = output.size();
  const std::size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
  iconv_close(converter);
  // An invalid sequence (EILSEQ) or one cut off at the end (EINVAL) is not code page 932.
  if (result == static_cast<std::size_t>(-1) || inLeft != 0) return std::nullopt;
  output.resize(output.size() - outLeft);
  return output;
}

}  // namespace calbrin
