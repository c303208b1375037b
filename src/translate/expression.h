// The syntax tree of an Access expression and its parser.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "translate/block_pool.h"
#include "translate/lexer.h"

namespace zl::translate {

enum class NodeKind {
    Number,  // text: the number as written
    Text,    // text: the value
    Date,    // text: "YYYY-MM-DD HH:MM:SS"
    Bool,    // text: "true" or "false"
    Null,
    Implicit,  // the field a field validation rule is about
    Name,      // text: the name; owner: the table or alias before "." or "!", "" when none
    Star,      // owner."*" or "*" in a select list or Count(*)
    Unary,     // text: "-", "+" or "not"; args[0]
    Binary,    // text: the operator in lower case ("+", "&", "mod", "and", "=", ...); args[0..1]
    Like,      // args[0] Like args[1]; negated for Not Like
    Between,   // args[0] Between args[1] And args[2]; negated for Not Between
    In,        // args[0] In (args[1..]); negated for Not In
    IsNull,    // args[0] Is Null; negated for Is Not Null
    Call,      // text: the function name as written; args
    Subquery,  // a parenthesised SELECT inside an expression (not translated)
};

struct Node {
    NodeKind kind = NodeKind::Null;
    std::size_t pos = 0;
    std::string text;
    std::string owner;
    bool negated = false;
    PoolVector<std::unique_ptr<Node>> args;

    // Nodes are made and freed in large numbers: they come from a pool of their size.
    static void* operator new(std::size_t size) {
        return size == sizeof(Node) ? BlockPool<sizeof(Node)>::allocate() : ::operator new(size);
    }
    static void operator delete(void* pointer, std::size_t size) noexcept {
        if (size == sizeof(Node)) {
            BlockPool<sizeof(Node)>::release(pointer);
        } else {
            ::operator delete(pointer);
        }
    }
};
using NodePtr = std::unique_ptr<Node>;

// Parses expressions from a token list; the query parser shares one instance per statement.
class ExpressionParser {
public:
    // `implicitOperand`: an expression may start with a comparison whose left operand is the
    // field itself (field validation rules).
    ExpressionParser(const PoolVector<Token>& tokens, std::size_t start, bool implicitOperand);

    // Parses one expression starting at the current token. Throws SyntaxError.
    NodePtr parse();

    std::size_t position() const { return m_at; }
    void setPosition(std::size_t at) { m_at = at; }
    // The token `ahead` of the current one (the End token past the last). The parsers call
    // these for nearly every keyword they may meet, so they are inline.
    const Token& peek(std::size_t ahead = 0) const {
        const std::size_t at = m_at + ahead;
        return at < m_tokens.size() ? m_tokens[at] : m_tokens.back();
    }
    // The current token, which is consumed unless it is the End.
    const Token& next() {
        const Token& t = peek();
        if (m_at < m_tokens.size() - 1) ++m_at;
        return t;
    }
    // True (and consumes it) when the current token is the word / symbol.
    bool acceptWord(std::string_view word) {
        if (!peek().isWord(word)) return false;
        next();
        return true;
    }
    bool acceptSymbol(std::string_view symbol) {
        if (!peek().isSymbol(symbol)) return false;
        next();
        return true;
    }
    void expectSymbol(std::string_view symbol);
    [[noreturn]] void fail(const std::string& message) const;

private:
    // Binary operators of a chain from level `loosest` on, by precedence climbing (the levels
    // are in expression.cpp).
    NodePtr parseLogical(int loosest);
    NodePtr parseNot();
    NodePtr parseComparison();
    NodePtr parseArithmetic(int loosest);
    NodePtr parseUnary();
    NodePtr parsePower();
    NodePtr parsePrimary();
    // A name whose first part is the token just read.
    NodePtr parseName();
    bool startsComparison() const;

    const PoolVector<Token>& m_tokens;
    std::size_t m_at;
    bool m_implicit;
};

// Parses a whole expression text. `implicitOperand` as above; `leadingEquals` allows a leading "="
// (a default value). Throws SyntaxError (text after the expression is an error too).
NodePtr parseExpression(std::string_view text, bool implicitOperand, bool leadingEquals);

// Converts an Access date literal's content (m/d/y or ISO, optional time with AM/PM) to
// "YYYY-MM-DD HH:MM:SS"; a time alone is on 1899-12-30. Throws SyntaxError at `pos`.
std::string normalizeDate(std::string_view text, std::size_t pos);

}  // namespace zl::translate
