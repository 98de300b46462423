#include "text/Pattern.h"

#include <cstddef>
#include <vector>

#include "text/Ascii.h"

namespace korvane {

namespace {

enum class TokenKind { Star, AnyChar, Digit, Literal, List, Nothing };

// One step of the pattern. A list keeps its text (the part between "[" or "[!" and "]") as a view into
// the pattern, so tokenising allocates nothing per list.
struct Token {
    TokenKind kind;
    unsigned char literal = 0;
    std::string_view list;
    bool negated = false;
};

Token simpleToken(TokenKind kind) {
    return Token{kind, 0, {}, false};
}

Token literalToken(char c) {
    return Token{TokenKind::Literal, static_cast<unsigned char>(c), {}, false};
}

unsigned char upper(unsigned char c) {
    return static_cast<unsigned char>(asciiUpper(static_cast<char>(c)));
}

unsigned char lower(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c;
}

bool sameChar(unsigned char a, unsigned char b, CaseMode mode) {
    return a == b || (mode == CaseMode::Insensitive && upper(a) == upper(b));
}

bool inRange(unsigned char c, unsigned char low, unsigned char high, CaseMode mode) {
    // A descending range holds nothing, whatever the case mode.
    if (low > high) {
        return false;
    }
    if (c >= low && c <= high) {
        return true;
    }
    if (mode == CaseMode::Exact) {
        return false;
    }
    const unsigned char up = upper(c);
    const unsigned char down = lower(c);
    return (up >= low && up <= high) || (down >= low && down <= high);
}

bool inList(unsigned char c, std::string_view list, CaseMode mode) {
    std::size_t i = 0;
    while (i < list.size()) {
        const auto first = static_cast<unsigned char>(list[i]);
        // A "-" between two characters makes a range; first or last in the list it is itself.
        if (i + 2 < list.size() && list[i + 1] == '-') {
            if (inRange(c, first, static_cast<unsigned char>(list[i + 2]), mode)) {
                return true;
            }
            i += 3;
            continue;
        }
        if (sameChar(c, first, mode)) {
            return true;
        }
        ++i;
    }
    return false;
}

std::vector<Token> tokenize(std::string_view pattern) {
    std::vector<Token> tokens;
    tokens.reserve(pattern.size());
    std::size_t i = 0;
    while (i < pattern.size()) {
        const char c = pattern[i];
        if (c == '*') {
            tokens.push_back(simpleToken(TokenKind::Star));
            ++i;
        } else if (c == '?') {
            tokens.push_back(simpleToken(TokenKind::AnyChar));
            ++i;
        } else if (c == '#') {
            tokens.push_back(simpleToken(TokenKind::Digit));
            ++i;
        } else if (c == '[') {
            const std::size_t close = pattern.find(']', i + 1);
            if (close == std::string_view::npos) {
                // An unclosed bracket cannot start a list; it is an ordinary character.
                tokens.push_back(literalToken('['));
                ++i;
                continue;
            }
            std::string_view body = pattern.substr(i + 1, close - i - 1);
            if (body.empty()) {
                tokens.push_back(simpleToken(TokenKind::Nothing));
            } else if (body.front() == '!') {
                tokens.push_back({TokenKind::List, 0, body.substr(1), true});
            } else {
                tokens.push_back({TokenKind::List, 0, body, false});
            }
            i = close + 1;
        } else {
            tokens.push_back(literalToken(c));
            ++i;
        }
    }
    return tokens;
}

bool tokenMatches(const Token& token, unsigned char c, CaseMode mode) {
    switch (token.kind) {
        case TokenKind::AnyChar:
            return true;
        case TokenKind::Digit:
            return c >= '0' && c <= '9';
        case TokenKind::Literal:
            return sameChar(c, token.literal, mode);
        case TokenKind::List:
            return inList(c, token.list, mode) != token.negated;
        case TokenKind::Star:
        case TokenKind::Nothing:
            break;
    }
    return false;
}

}  // namespace

bool likeMatch(std::string_view text, std::string_view pattern, CaseMode mode) {
    const std::vector<Token> tokens = tokenize(pattern);
    // matched[i]: the tokens seen so far match the first i bytes of text. One pass per token keeps the
    // cost at text * pattern, where backtracking over several stars could take exponential time.
    std::vector<char> matched(text.size() + 1, 0);
    std::vector<char> next(text.size() + 1, 0);
    matched[0] = 1;
    for (const Token& token : tokens) {
        bool any = false;
        switch (token.kind) {
            case TokenKind::Nothing:
                continue;
            case TokenKind::Star: {
                char reached = 0;
                for (std::size_t i = 0; i <= text.size(); ++i) {
                    reached = static_cast<char>(reached | matched[i]);
                    next[i] = reached;
                }
                any = reached != 0;
                break;
            }
            default:
                next[0] = 0;
                for (std::size_t i = 0; i < text.size(); ++i) {
                    next[i + 1] = static_cast<char>(
                        matched[i] && tokenMatches(token, static_cast<unsigned char>(text[i]), mode));
                    any = any || next[i + 1];
                }
                break;
        }
        if (!any) {
            return false;
        }
        matched.swap(next);
    }
    return matched[text.size()] != 0;
}

}  // namespace korvane
