#include "search/pattern/required_literal.h"

#include <cctype>

namespace sifter {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsAsciiAlnum(char c) {
    return IsDigit(c) || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z');
}

// Reads the pattern item by item, keeping the longest run of required bytes seen so far.
class LiteralReader final {
public:
    LiteralReader(std::string_view pattern, bool caseless)
        : m_pattern(pattern), m_caseless(caseless) {}

    std::string Read() {
        if (HasVerbOrOptions()) return {};
        while (m_at < m_pattern.size()) {
            const char c = m_pattern[m_at];
            if (c == '|') return {};  // each alternative may match without the others' bytes
            if (c == '\\') {
                Escape();
            } else if (c == '(') {
                SkipGroup();
            } else if (c == '[') {
                SkipClass();
            } else if (c == '*' || c == '?' || c == '+' || c == '{') {
                Quantifier();
            } else if (c == '.' || c == '^' || c == '$' || c == ')') {
                EndRun();
                ++m_at;
            } else {
                Byte(c);
                ++m_at;
            }
        }
        EndRun();
        return m_best;
    }

private:
    // (*VERB) can end a match early or change its rules, and (?i) or (?x) change what the
    // bytes after them mean: with either, nothing is told.
    bool HasVerbOrOptions() const {
        for (std::size_t i = 0; i + 1 < m_pattern.size(); ++i) {
            if (m_pattern[i] == '\\') {
                ++i;
                continue;
            }
            if (m_pattern[i] != '(') continue;
            const char next = m_pattern[i + 1];
            if (next == '*') return true;
            if (next == '?' && i + 2 < m_pattern.size()) {
                const char kind = m_pattern[i + 2];
                if (std::isalpha(static_cast<unsigned char>(kind)) || kind == '-' || kind == '^')
                    return true;
            }
        }
        return false;
    }

    void Byte(char c) {
        const auto byte = static_cast<unsigned char>(c);
        const bool partnered = m_caseless && ((c | 0x20) == 'k' || (c | 0x20) == 's');
        if (byte >= 0x80 || partnered) {
            EndRun();
            return;
        }
        m_run.push_back(c);
    }

    void EndRun() {
        if (m_run.size() > m_best.size()) m_best = m_run;
        m_run.clear();
    }

    void Escape() {
        ++m_at;
        if (m_at >= m_pattern.size()) return;
        const char c = m_pattern[m_at];
        if (c == 'Q') {
            Quoted();
            return;
        }
        if (!IsAsciiAlnum(c) && static_cast<unsigned char>(c) < 0x80) {
            Byte(c);
            ++m_at;
            return;
        }
        // A class, an assertion, a character by its code or a reference: whatever it matches
        // is not a byte of the run. Its argument is passed over so that it is not read as one.
        EndRun();
        ++m_at;
        if (m_at < m_pattern.size() &&
            (m_pattern[m_at] == '{' || m_pattern[m_at] == '<' || m_pattern[m_at] == '\'')) {
            const char close = m_pattern[m_at] == '{' ? '}' : m_pattern[m_at] == '<' ? '>' : '\'';
            while (m_at < m_pattern.size() && m_pattern[m_at] != close) ++m_at;
            ++m_at;
        } else if (c == 'c' || c == 'p' || c == 'P') {
            ++m_at;
        } else if (c == 'x') {
            // \x41: up to two hex digits.
            for (int i = 0; i < 2 && m_at < m_pattern.size() &&
                            std::isxdigit(static_cast<unsigned char>(m_pattern[m_at]));
                 ++i)
                ++m_at;
        } else if (IsDigit(c) || c == 'g') {
            // \012, \1, \g-1: the digits that follow belong to the escape.
            while (m_at < m_pattern.size() &&
                   (IsDigit(m_pattern[m_at]) || m_pattern[m_at] == '-' || m_pattern[m_at] == '+'))
                ++m_at;
        }
    }

    // \Q...\E: every byte as it stands.
    void Quoted() {
        ++m_at;
        while (m_at < m_pattern.size()) {
            if (m_pattern.compare(m_at, 2, "\\E") == 0) {
                m_at += 2;
                return;
            }
            Byte(m_pattern[m_at]);
            ++m_at;
        }
    }

    // \Q...\E inside a group or class, where its bytes may hold brackets.
    void SkipQuoted() {
        const std::size_t end = m_pattern.find("\\E", m_at + 2);
        m_at = end == std::string_view::npos ? m_pattern.size() : end + 2;
    }

    void SkipGroup() {
        EndRun();
        int depth = 0;
        while (m_at < m_pattern.size()) {
            const char c = m_pattern[m_at];
            if (m_pattern.compare(m_at, 2, "\\Q") == 0) {
                SkipQuoted();
                continue;
            }
            if (c == '\\') {
                m_at += 2;
                continue;
            }
            if (c == '[') {
                SkipClass();
                continue;
            }
            ++m_at;
            if (c == '(') ++depth;
            if (c == ')' && --depth == 0) return;
        }
    }

    void SkipClass() {
        EndRun();
        ++m_at;
        if (m_at < m_pattern.size() && m_pattern[m_at] == '^') ++m_at;
        if (m_at < m_pattern.size() && m_pattern[m_at] == ']') ++m_at;  // a ']' first is a byte
        while (m_at < m_pattern.size() && m_pattern[m_at] != ']') {
            if (m_pattern.compare(m_at, 2, "\\Q") == 0) {
                SkipQuoted();
                continue;
            }
            if (m_pattern[m_at] == '\\')
                ++m_at;
            else if (m_pattern.compare(m_at, 2, "[:") == 0) {
                const std::size_t end = m_pattern.find(":]", m_at + 2);
                if (end != std::string_view::npos) m_at = end + 1;
            }
            ++m_at;
        }
        ++m_at;
    }

    // A repeat of the byte before it: one that may leave the byte out takes it off the run;
    // any repeat ends the run, as the bytes after it need not follow the byte right away.
    void Quantifier() {
        const char c = m_pattern[m_at];
        bool mayBeNone = c == '*' || c == '?';
        ++m_at;
        if (c == '{') {
            // {n}, {n,}, {n,m} and {,m}; any other brace is an ordinary byte, taken as none.
            std::size_t end = m_at;
            std::size_t least = 0;
            bool digits = false;
            while (end < m_pattern.size() && IsDigit(m_pattern[end])) {
                least = least * 10 + static_cast<std::size_t>(m_pattern[end] - '0');
                digits = true;
                ++end;
            }
            if (end < m_pattern.size() && m_pattern[end] == ',') ++end;
            while (end < m_pattern.size() && IsDigit(m_pattern[end])) ++end;
            if (end >= m_pattern.size() || m_pattern[end] != '}') {
                EndRun();
                return;
            }
            mayBeNone = !digits || least == 0;
            m_at = end + 1;
        }
        // A lazy or possessive mark belongs to the repeat.
        if (m_at < m_pattern.size() && (m_pattern[m_at] == '?' || m_pattern[m_at] == '+')) ++m_at;
        if (mayBeNone && !m_run.empty()) m_run.pop_back();
        EndRun();
    }

    std::string_view m_pattern;
    bool m_caseless;
    std::size_t m_at = 0;
    std::string m_run;
    std::string m_best;
};

}  // namespace

std::string RequiredLiteral(std::string_view pattern, bool caseless) {
    return LiteralReader(pattern, caseless).Read();
}

}  // namespace sifter
