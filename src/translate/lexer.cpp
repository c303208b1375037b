// The tokenizer shared by expressions and queries.
#include "translate/lexer.h"

#include "support/text.h"

namespace zl::translate {

namespace {

// ASCII classes, independent of the locale (bytes from 0x80 on belong to UTF-8 names).
// (Each range is one unsigned comparison.)
bool isDigit(unsigned char c) { return static_cast<unsigned char>(c - '0') < 10; }
bool isLetter(unsigned char c) { return static_cast<unsigned char>((c | 0x20U) - 'a') < 26; }
bool isWordStart(unsigned char c) { return isLetter(c) || c == '_' || c >= 0x80; }
bool isWordChar(unsigned char c) { return isWordStart(c) || isDigit(c); }
bool isSymbolChar(unsigned char c) {
    switch (c) {
        case '+':
        case '-':
        case '*':
        case '/':
        case '\\':
        case '^':
        case '&':
        case '=':
        case '<':
        case '>':
        case '(':
        case ')':
        case ',':
        case '.':
        case '!':
        case ';':
            return true;
        default:
            return false;
    }
}

}  // namespace

std::string lowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

TokenList tokenize(std::string_view text) {
    TokenList list;
    PoolVector<Token>& tokens = list.tokens;
    tokens.reserve(text.size() / 6 + 4);
    std::size_t unquotedSize = 0;  // used of list.unquoted, which holds at most `text`'s size
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            ++i;
            continue;
        }
        Token& token = tokens.emplace_back();  // filled in place
        token.pos = i;
        // Words and bracketed names first: most tokens are one or the other.
        if (isWordStart(c)) {
            token.kind = TokenKind::Word;
            std::size_t j = i;
            while (j < n && isWordChar(static_cast<unsigned char>(text[j]))) ++j;
            token.text = text.substr(i, j - i);
            i = j;
        } else if (c == '[') {
            const std::size_t end = text.find(']', i + 1);
            if (end == std::string_view::npos)
                throw SyntaxError{"name in brackets is not closed", i};
            token.kind = TokenKind::Bracketed;
            token.text = text.substr(i + 1, end - i - 1);
            i = end + 1;
        } else if (c == '"' || c == '\'') {
            // A quote inside is written twice.
            token.kind = TokenKind::Text;
            const char quote = static_cast<char>(c);
            std::size_t j = i + 1;
            bool doubled = false;
            for (;; ++j) {
                if (j >= n) throw SyntaxError{"text literal is not closed", i};
                if (text[j] == quote) {
                    if (j + 1 >= n || text[j + 1] != quote) break;
                    doubled = true;
                    ++j;
                }
            }
            if (!doubled) {
                token.text = text.substr(i + 1, j - i - 1);
            } else {
                // Unquoted into the list's own copy, made once as large as the whole text.
                if (!list.unquoted) list.unquoted = std::make_unique_for_overwrite<char[]>(n);
                char* const start = list.unquoted.get() + unquotedSize;
                char* out = start;
                for (std::size_t k = i + 1; k < j; ++k) {
                    *out++ = text[k];
                    if (text[k] == quote) ++k;  // the second of a doubled quote
                }
                token.text = std::string_view(start, static_cast<std::size_t>(out - start));
                unquotedSize += token.text.size();
            }
            i = j + 1;
        } else if (c == '#') {
            const std::size_t end = text.find('#', i + 1);
            if (end == std::string_view::npos) throw SyntaxError{"date literal is not closed", i};
            token.kind = TokenKind::Date;
            token.text = text.substr(i + 1, end - i - 1);
            i = end + 1;
        } else if (isDigit(c) ||
                   (c == '.' && i + 1 < n && isDigit(static_cast<unsigned char>(text[i + 1])))) {
            token.kind = TokenKind::Number;
            std::size_t j = i;
            while (j < n && (isDigit(static_cast<unsigned char>(text[j])) || text[j] == '.')) ++j;
            if (j < n && (text[j] == 'e' || text[j] == 'E')) {
                std::size_t k = j + 1;
                if (k < n && (text[k] == '+' || text[k] == '-')) ++k;
                if (k < n && isDigit(static_cast<unsigned char>(text[k]))) {
                    j = k;
                    while (j < n && isDigit(static_cast<unsigned char>(text[j]))) ++j;
                }
            }
            token.text = text.substr(i, j - i);
            if (token.text.find('.') != token.text.rfind('.'))
                throw SyntaxError{"malformed number", i};
            i = j;
        } else {
            token.kind = TokenKind::Symbol;
            const char after = i + 1 < n ? text[i + 1] : '\0';
            if ((c == '<' && (after == '=' || after == '>')) || (c == '>' && after == '=')) {
                token.text = text.substr(i, 2);
                i += 2;
            } else if (c == '=' && (after == '<' || after == '>')) {
                token.text = after == '<' ? "<=" : ">=";  // written the other way round
                i += 2;
            } else if (isSymbolChar(c)) {
                token.text = text.substr(i, 1);
                ++i;
            } else {
                throw SyntaxError{
                    "unexpected character '" + std::string(1, static_cast<char>(c)) + "'", i};
            }
        }
    }
    tokens.push_back(Token{TokenKind::End, {}, n});
    return list;
}

}  // namespace zl::translate
