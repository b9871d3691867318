#include "search/pattern/line_matcher.h"

namespace sifter {

LineMatcher::LineMatcher(std::string_view text, bool caseSensitive, bool wholeWords, bool regexp)
    : m_text(regexp ? std::string_view() : text, caseSensitive, wholeWords),
      m_pattern(regexp ? std::make_shared<PatternMatcher>(text, caseSensitive, wholeWords)
                       : nullptr) {}

}  // namespace sifter
