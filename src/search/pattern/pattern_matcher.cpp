#include "search/pattern/pattern_matcher.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <algorithm>

#include "search/pattern/required_literal.h"
#include "search/pattern/start_bytes.h"
#include "search/text/scan_keys.h"
#include "search/text/text_rules.h"
#include "search/text/utf8.h"
#include "search/text/windows1252.h"

namespace sifter {
namespace {

// '.' takes a lone LF inside a line; '$' never stands before a last LF of the line.
constexpr std::uint32_t kLineOptions = PCRE2_DOTALL | PCRE2_DOLLAR_ENDONLY;
constexpr std::uint32_t kUtfOptions = PCRE2_UTF | PCRE2_MATCH_INVALID_UTF;
// The JIT's own stack, grown up to this as a pattern needs it; beyond, the line is too complex.
constexpr std::size_t kJitStackStart = 32 << 10;
constexpr std::size_t kJitStackMost = 1 << 20;
// The callouts of the whole-word wrapper: the byte before the match, and the byte after it.
constexpr std::uint32_t kWordStart = 1;
constexpr std::uint32_t kWordEnd = 2;

std::string ErrorText(int code) {
    PCRE2_UCHAR buffer[256];
    const int length = pcre2_get_error_message(code, buffer, sizeof buffer);
    return length < 0 ? "error " + std::to_string(code)
                      : std::string(reinterpret_cast<const char*>(buffer),
                                    static_cast<std::size_t>(length));
}

// The offset PCRE2 gives is in bytes; the position shown counts the characters before it.
std::size_t CharacterPosition(std::string_view pattern, std::size_t offset) {
    if (!IsValidUtf8(pattern)) return offset;
    std::size_t characters = 0;
    for (std::size_t i = 0; i < offset && i < pattern.size(); ++i)
        if (!IsContinuation(pattern[i])) ++characters;
    return characters;
}

pcre2_code* Compile(std::string_view pattern, std::uint32_t options, int& error,
                    PCRE2_SIZE& offset) {
    return pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(), options,
                         &error, &offset, nullptr);
}

// The options the typed pattern is compiled with: UTF mode when it is UTF-8.
std::uint32_t TypedOptions(std::string_view pattern, bool caseless) {
    return kLineOptions | (IsValidUtf8(pattern) ? kUtfOptions : 0) |
           (caseless ? PCRE2_CASELESS : 0);
}

// A pattern as PCRE2 is given it: with whole words, framed by the two word callouts, verbs that
// must open a pattern staying in front (the \E closes a \Q the pattern may leave open, and means
// nothing otherwise). `shift` is how many bytes the frame puts before the pattern's own.
struct Source {
    std::string text;
    std::size_t shift = 0;
};

Source Framed(std::string_view pattern, bool wholeWords) {
    if (!wholeWords) return {std::string(pattern), 0};
    std::size_t front = 0;
    while (pattern.compare(front, 2, "(*") == 0) {
        const std::size_t close = pattern.find(')', front);
        if (close == std::string_view::npos) break;
        front = close + 1;
    }
    Source framed{std::string(pattern.substr(0, front)), 0};
    framed.text.append("(?C1)(?:");
    framed.shift = framed.text.size() - front;
    framed.text.append(pattern.substr(front)).append("\\E)(?C2)");
    return framed;
}

int WordCallout(pcre2_callout_block* block, void*) {
    const PCRE2_SIZE at = block->current_position;
    const auto byte = [&](PCRE2_SIZE i) { return static_cast<unsigned char>(block->subject[i]); };
    if (block->callout_number == kWordStart) return at > 0 && IsWordByte(byte(at - 1)) ? 1 : 0;
    return at < block->subject_length && IsWordByte(byte(at)) ? 1 : 0;
}

bool LimitMet(int code) {
    return code == PCRE2_ERROR_MATCHLIMIT || code == PCRE2_ERROR_DEPTHLIMIT ||
           code == PCRE2_ERROR_HEAPLIMIT || code == PCRE2_ERROR_JIT_STACKLIMIT ||
           code == PCRE2_ERROR_NOMEMORY;
}

}  // namespace

struct PatternMatcher::Form {
    pcre2_code* code = nullptr;
    pcre2_match_data* data = nullptr;
    // What PCRE2 knows of every match: its least length in bytes (characters are at least a
    // byte), and the bytes one can start with (all of them when it cannot tell). A line that
    // is shorter, or holds none of those bytes, is passed over without a call.
    std::size_t minLength = 0;
    bool jit = false;  // compiled to machine code: matched by PCRE2's JIT fast path
    StartBytes starts;
    bool MayMatch(std::string_view line) const {
        return line.size() >= minLength && starts.AnyIn(line);
    }
    ~Form() {
        pcre2_match_data_free(data);
        pcre2_code_free(code);
    }
};

struct PatternMatcher::Context {
    pcre2_match_context* match = nullptr;
    pcre2_jit_stack* stack = nullptr;
    ~Context() {
        pcre2_jit_stack_free(stack);
        pcre2_match_context_free(match);
    }
};

std::optional<std::string> PatternProblem(std::string_view pattern, MatchRules rules) {
    const std::uint32_t options = TypedOptions(pattern, !rules.caseSensitive);
    const auto problem = [&](bool framed) -> std::optional<std::string> {
        const Source source = Framed(pattern, framed);
        int error = 0;
        PCRE2_SIZE offset = 0;
        pcre2_code* code = Compile(source.text, options, error, offset);
        if (code != nullptr) {
            pcre2_code_free(code);
            return std::nullopt;
        }
        // A place in the frame is shown as the nearest end of the pattern.
        const std::size_t at =
            std::min(static_cast<std::size_t>(offset) - std::min<std::size_t>(offset, source.shift),
                     pattern.size());
        return ErrorText(error) + " at position " + std::to_string(CharacterPosition(pattern, at));
    };
    // The pattern alone first, so that a fault of its own is shown where it is; then as it is
    // compiled, framed for whole words, which a comment to its end breaks.
    std::optional<std::string> found = problem(false);
    if (!found && rules.wholeWords) found = problem(true);
    return found;
}

PatternMatcher::PatternMatcher(std::string_view pattern, MatchRules rules)
    : m_caseless(!rules.caseSensitive), m_context(std::make_unique<Context>()) {
    const bool wholeWords = rules.wholeWords;
    if (pattern.empty() || PatternProblem(pattern, rules)) return;
    const std::uint32_t caseless = m_caseless ? PCRE2_CASELESS : 0;
    std::vector<std::pair<std::string, std::uint32_t>> sources;
    sources.emplace_back(pattern, TypedOptions(pattern, m_caseless));
    if (std::optional<std::string> legacy = Windows1252Form(pattern))
        sources.emplace_back(std::move(*legacy), kLineOptions | caseless);
    for (auto& [source, options] : sources) {
        int error = 0;
        PCRE2_SIZE offset = 0;
        auto form = std::make_unique<Form>();
        form->code = Compile(Framed(source, wholeWords).text, options, error, offset);
        // The typed form compiles (PatternProblem); a Windows-1252 form that names a character
        // beyond its bytes (\x{20ac}) is left out.
        if (form->code == nullptr) continue;
        // Where there is no JIT, the pattern is interpreted.
        form->jit = pcre2_jit_compile(form->code, PCRE2_JIT_COMPLETE) == 0;
        std::uint32_t minLength = 0;
        if (pcre2_pattern_info(form->code, PCRE2_INFO_MINLENGTH, &minLength) == 0)
            form->minLength = minLength;
        const std::uint8_t* bitmap = nullptr;
        if (pcre2_pattern_info(form->code, PCRE2_INFO_FIRSTBITMAP, &bitmap) == 0 &&
            bitmap != nullptr)
            form->starts = StartBytes(bitmap);
        form->data = pcre2_match_data_create_from_pattern(form->code, nullptr);
        if (form->data == nullptr) throw std::bad_alloc();
        m_forms.push_back(std::move(form));
    }
    m_context->match = pcre2_match_context_create(nullptr);
    if (m_context->match == nullptr) throw std::bad_alloc();
    pcre2_set_match_limit(m_context->match, kMatchLimit);
    pcre2_set_depth_limit(m_context->match, kDepthLimit);
    m_context->stack = pcre2_jit_stack_create(kJitStackStart, kJitStackMost, nullptr);
    if (m_context->stack != nullptr)
        pcre2_jit_stack_assign(m_context->match, nullptr, m_context->stack);
    if (wholeWords) pcre2_set_callout(m_context->match, WordCallout, nullptr);

    m_literal = RequiredLiteral(pattern, m_caseless);
    if (!m_literal.empty())
        m_literalForms.push_back(m_caseless ? AsciiUpper(m_literal) : m_literal);
}

PatternMatcher::~PatternMatcher() = default;

LineMatch PatternMatcher::MatchForm(Form& form, std::string_view line, std::size_t from,
                                    MatchSpan* span) {
    const auto subject = reinterpret_cast<PCRE2_SPTR>(line.data());
    const int rc =
        form.jit
            ? pcre2_jit_match(form.code, subject, line.size(), from, 0, form.data, m_context->match)
            : pcre2_match(form.code, subject, line.size(), from, 0, form.data, m_context->match);
    if (rc >= 0) {
        if (span != nullptr) {
            const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(form.data);
            // \K may put the start after the end; such a match is shown empty.
            span->offset = ovector[0];
            span->length = ovector[1] > ovector[0] ? ovector[1] - ovector[0] : 0;
        }
        return LineMatch::Yes;
    }
    return LimitMet(rc) ? LineMatch::TooComplex : LineMatch::No;
}

LineMatch PatternMatcher::Match(std::string_view line) {
    LineMatch result = LineMatch::No;
    for (const std::unique_ptr<Form>& form : m_forms) {
        if (!form->MayMatch(line)) continue;
        const LineMatch one = MatchForm(*form, line, 0, nullptr);
        if (one == LineMatch::Yes) return one;
        if (one == LineMatch::TooComplex) result = one;
    }
    return result;
}

std::optional<MatchSpan> PatternMatcher::FindFrom(std::string_view line, std::size_t from) {
    if (from > line.size()) return std::nullopt;
    std::optional<MatchSpan> earliest;
    for (const std::unique_ptr<Form>& form : m_forms) {
        MatchSpan span;
        if (MatchForm(*form, line, from, &span) != LineMatch::Yes) continue;
        if (!earliest || span.offset < earliest->offset ||
            (span.offset == earliest->offset && span.length > earliest->length))
            earliest = span;
    }
    return earliest;
}

LineKeys PatternMatcher::Keys() const {
    LineKeys keys;
    if (m_forms.empty()) return keys;
    if (m_literalForms.empty()) {
        keys.everyLine = true;
        return keys;
    }
    return KeysForForms(m_literalForms, m_caseless);
}

}  // namespace sifter
