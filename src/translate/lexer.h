// Splits Access expression and query text into tokens that keep their positions.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "support/text.h"
#include "translate/block_pool.h"

namespace zl::translate {

enum class TokenKind { Number, Text, Date, Word, Bracketed, Symbol, End };

// One token: `text` is the number as written, the unquoted text or date content, the word, the
// name inside brackets, or the symbol ("<=", "(", ...). `pos` is the 0-based byte offset.
// `text` views the tokenized text, or for a text literal with doubled quotes the token list's
// own unquoted copy.
struct Token {
    TokenKind kind = TokenKind::End;
    std::string_view text;
    std::size_t pos = 0;

    // True for a Word equal to `word` (a keyword in lower case) without regard to ASCII case.
    // Parsers ask this of nearly every token for each keyword they may meet, so it is inline:
    // setting the case bit turns an upper-case letter into its lower case and turns no other
    // byte a word holds (digits, '_', UTF-8) into a letter.
    bool isWord(std::string_view word) const {
        if (kind != TokenKind::Word || text.size() != word.size()) return false;
        for (std::size_t i = 0; i < word.size(); ++i) {
            if ((static_cast<unsigned char>(text[i]) | 0x20U) !=
                static_cast<unsigned char>(word[i])) {
                return false;
            }
        }
        return true;
    }
    bool isSymbol(std::string_view symbol) const {
        // Symbols are one or two characters, compared here without a call.
        return kind == TokenKind::Symbol && text.size() == symbol.size() && text[0] == symbol[0] &&
               (symbol.size() == 1 || text.substr(1) == symbol.substr(1));
    }
};

// Thrown for text that is not a valid expression or query: the message and the 0-based position.
struct SyntaxError {
    std::string message;
    std::size_t pos = 0;
};

// The tokens of a text, the last one End. Their text views the tokenized text, which must outlive
// them, or `unquoted`, which moves with the list.
struct TokenList {
    PoolVector<Token> tokens;
    std::unique_ptr<char[]> unquoted;  // the text literals that held doubled quotes, unquoted
};

// Tokenizes `text`. Throws SyntaxError for an unterminated string, date or bracketed name, or a
// character that starts no token.
TokenList tokenize(std::string_view text);

// ASCII lower case, for comparing Access names and keywords.
std::string lowerAscii(std::string_view text);

}  // namespace zl::translate
