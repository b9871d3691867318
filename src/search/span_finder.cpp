#include "search/span_finder.h"

#include <memory>

#include "search/text_rules.h"

namespace sifter {
namespace {

class SearchTextSpans final {
public:
    SearchTextSpans(const std::string& text, bool caseSensitive)
        : m_ignoreCase(!caseSensitive), m_finder(m_ignoreCase ? AsciiUpper(text) : text), m_length(text.size()) {}

    std::optional<TextSpan> operator()(std::string_view line, std::size_t from) {
        if (m_finder.empty() || from >= line.size()) return std::nullopt;
        std::string_view text = line;
        if (m_ignoreCase) {
            // A line is looked through from its start and then from one place after another;
            // it is upper-cased once, when it is looked at from its start.
            if (from == 0 || line.data() != m_upperOf.data() || line.size() != m_upperOf.size()) {
                AsciiUpperInto(line, m_upper);
                m_upperOf = line;
            }
            text = m_upper;
        }
        const std::size_t at = m_finder.Find(text.substr(from));
        if (at == std::string_view::npos) return std::nullopt;
        return TextSpan{from + at, m_length};
    }

private:
    bool m_ignoreCase;
    TextFinder m_finder;
    std::size_t m_length;
    std::string m_upper;
    std::string_view m_upperOf;
};

}  // namespace

SpanFinder SearchSpans(const std::string& text, bool caseSensitive) {
    // Shared, so that copies of the finder keep one upper-cased line between them.
    auto spans = std::make_shared<SearchTextSpans>(text, caseSensitive);
    return [spans](std::string_view line, std::size_t from) { return (*spans)(line, from); };
}

}  // namespace sifter
