// The recursive-descent parser of Access expressions, with VBA's operator precedence.
#include "translate/expression.h"

#include <cstdio>

namespace zl::translate {

namespace {

NodePtr makeNode(NodeKind kind, std::size_t pos, std::string_view text = {}) {
    // Built in place from its parts; make_unique would build an empty node and then assign.
    // NOLINTNEXTLINE(modernize-make-unique)
    return NodePtr(new Node{kind, pos, std::string(text), {}, false, {}});
}

NodePtr makeBinary(std::string_view op, NodePtr left, NodePtr right) {
    auto node = makeNode(NodeKind::Binary, left->pos, op);
    node->args.reserve(2);
    node->args.push_back(std::move(left));
    node->args.push_back(std::move(right));
    return node;
}

// The two chains of left-associative binary operators, as levels from the loosest (1) to the
// tightest; 0 for a token that is none of them. Logical: Imp, Eqv, Xor, Or, And (Not and the
// comparisons bind tighter than And). Arithmetic: &, + and -, Mod, \, * and /.
constexpr std::string_view kLogicalWords[] = {"", "imp", "eqv", "xor", "or", "and"};

// Words that cannot start a value.
constexpr std::string_view kReservedWords[] = {"and",     "or",     "not",  "mod",  "like",
                                               "between", "in",     "is",   "xor",  "eqv",
                                               "imp",     "select", "from", "where"};

int logicalLevel(const Token& t) {
    // The operators are words of two or three letters.
    if (t.kind != TokenKind::Word || t.text.size() < 2 || t.text.size() > 3) return 0;
    for (int level = 1; level <= 5; ++level) {
        if (t.isWord(kLogicalWords[level])) return level;
    }
    return 0;
}

int arithmeticLevel(const Token& t) {
    if (t.kind == TokenKind::Word) return t.isWord("mod") ? 3 : 0;
    if (t.kind != TokenKind::Symbol || t.text.size() != 1) return 0;
    switch (t.text[0]) {
        case '&':
            return 1;
        case '+':
        case '-':
            return 2;
        case '\\':
            return 4;
        case '*':
        case '/':
            return 5;
        default:
            return 0;
    }
}

bool isComparisonSymbol(const Token& t) {
    return t.isSymbol("=") || t.isSymbol("<>") || t.isSymbol("<") || t.isSymbol(">") ||
           t.isSymbol("<=") || t.isSymbol(">=");
}

}  // namespace

ExpressionParser::ExpressionParser(const PoolVector<Token>& tokens, std::size_t start,
                                   bool implicitOperand)
    : m_tokens(tokens), m_at(start), m_implicit(implicitOperand) {}

void ExpressionParser::expectSymbol(std::string_view symbol) {
    if (!acceptSymbol(symbol)) fail("expected '" + std::string(symbol) + "'");
}

void ExpressionParser::fail(const std::string& message) const {
    const Token& t = peek();
    std::string found = t.kind == TokenKind::End ? "the end" : "'" + std::string(t.text) + "'";
    throw SyntaxError{message + ", found " + found, t.pos};
}

NodePtr ExpressionParser::parse() { return parseLogical(1); }

NodePtr ExpressionParser::parseLogical(int loosest) {
    NodePtr left = parseNot();
    for (int level = logicalLevel(peek()); level >= loosest; level = logicalLevel(peek())) {
        next();
        NodePtr right = parseLogical(level + 1);
        left = makeBinary(kLogicalWords[level], std::move(left), std::move(right));
    }
    return left;
}

NodePtr ExpressionParser::parseNot() {
    if (peek().isWord("not") && !peek(1).isWord("in") && !peek(1).isWord("like") &&
        !peek(1).isWord("between")) {
        const std::size_t pos = next().pos;
        auto node = makeNode(NodeKind::Unary, pos, "not");
        node->args.push_back(parseNot());
        return node;
    }
    return parseComparison();
}

bool ExpressionParser::startsComparison() const {
    const Token& t = peek();
    return isComparisonSymbol(t) || t.isWord("like") || t.isWord("between") || t.isWord("in") ||
           t.isWord("is") ||
           (t.isWord("not") &&
            (peek(1).isWord("like") || peek(1).isWord("between") || peek(1).isWord("in")));
}

NodePtr ExpressionParser::parseComparison() {
    NodePtr left;
    if (m_implicit && startsComparison()) {
        left = makeNode(NodeKind::Implicit, peek().pos);
    } else {
        left = parseArithmetic(1);
    }
    while (startsComparison()) {
        const std::size_t pos = peek().pos;
        if (isComparisonSymbol(peek())) {
            const std::string_view op = next().text;
            left = makeBinary(op, std::move(left), parseArithmetic(1));
            continue;
        }
        if (acceptWord("is")) {
            auto node = makeNode(NodeKind::IsNull, pos);
            node->negated = acceptWord("not");
            if (!acceptWord("null")) fail("expected Null after Is");
            node->args.push_back(std::move(left));
            left = std::move(node);
            continue;
        }
        const bool negated = acceptWord("not");
        if (acceptWord("like")) {
            auto node = makeNode(NodeKind::Like, pos);
            node->negated = negated;
            node->args.reserve(2);
            node->args.push_back(std::move(left));
            node->args.push_back(parseArithmetic(1));
            left = std::move(node);
        } else if (acceptWord("between")) {
            auto node = makeNode(NodeKind::Between, pos);
            node->negated = negated;
            node->args.reserve(3);
            node->args.push_back(std::move(left));
            node->args.push_back(parseArithmetic(1));
            if (!acceptWord("and")) fail("expected And in Between");
            node->args.push_back(parseArithmetic(1));
            left = std::move(node);
        } else if (acceptWord("in")) {
            auto node = makeNode(NodeKind::In, pos);
            node->negated = negated;
            node->args.push_back(std::move(left));
            expectSymbol("(");
            if (peek().isWord("select")) fail("a subquery in In is not supported");
            do {
                node->args.push_back(parseLogical(1));
            } while (acceptSymbol(","));
            expectSymbol(")");
            left = std::move(node);
        } else {
            fail("expected Like, Between or In after Not");
        }
    }
    return left;
}

NodePtr ExpressionParser::parseArithmetic(int loosest) {
    // The common operand, a bracketed name or a number that no operator of this chain or of
    // the tighter levels (^, a name's "." or "!") follows, is the leaf that those levels would
    // give: made directly.
    const Token& operand = peek();
    if (operand.kind == TokenKind::Bracketed || operand.kind == TokenKind::Number) {
        const Token& after = peek(1);
        if (arithmeticLevel(after) == 0 && !after.isSymbol("^") && !after.isSymbol(".") &&
            !after.isSymbol("!")) {
            next();
            return makeNode(operand.kind == TokenKind::Number ? NodeKind::Number : NodeKind::Name,
                            operand.pos, operand.text);
        }
    }
    NodePtr left = parseUnary();
    for (int level = arithmeticLevel(peek()); level >= loosest; level = arithmeticLevel(peek())) {
        const Token& t = next();
        const std::string_view op = t.kind == TokenKind::Word ? "mod" : t.text;
        NodePtr right = parseArithmetic(level + 1);
        left = makeBinary(op, std::move(left), std::move(right));
    }
    return left;
}

NodePtr ExpressionParser::parseUnary() {
    if (peek().isSymbol("-") || peek().isSymbol("+")) {
        const Token& t = next();
        auto node = makeNode(NodeKind::Unary, t.pos, t.text);
        node->args.push_back(parseUnary());
        return node;
    }
    return parsePower();
}

NodePtr ExpressionParser::parsePower() {
    NodePtr left = parsePrimary();
    while (acceptSymbol("^")) {
        // The exponent may carry its own sign (2^-1); a leading minus binds looser than ^.
        NodePtr right;
        if (peek().isSymbol("-") || peek().isSymbol("+")) {
            right = parseUnary();
        } else {
            right = parsePrimary();
        }
        left = makeBinary("^", std::move(left), std::move(right));
    }
    return left;
}

NodePtr ExpressionParser::parsePrimary() {
    const Token& t = peek();
    switch (t.kind) {
        case TokenKind::Number:
            next();
            return makeNode(NodeKind::Number, t.pos, t.text);
        case TokenKind::Text:
            next();
            return makeNode(NodeKind::Text, t.pos, t.text);
        case TokenKind::Date:
            next();
            return makeNode(NodeKind::Date, t.pos, normalizeDate(t.text, t.pos));
        case TokenKind::Bracketed:
            next();
            return parseName();
        case TokenKind::Word: {
            if (t.isWord("true") || t.isWord("yes") || t.isWord("on")) {
                next();
                return makeNode(NodeKind::Bool, t.pos, "true");
            }
            if (t.isWord("false") || t.isWord("no") || t.isWord("off")) {
                next();
                return makeNode(NodeKind::Bool, t.pos, "false");
            }
            if (t.isWord("null")) {
                next();
                return makeNode(NodeKind::Null, t.pos);
            }
            for (const std::string_view reserved : kReservedWords) {
                if (t.isWord(reserved)) fail("expected a value");
            }
            next();
            if (peek().isSymbol("(")) {
                next();
                auto call = makeNode(NodeKind::Call, t.pos, t.text);
                if (!acceptSymbol(")")) {
                    do {
                        if (peek().isSymbol("*")) {
                            call->args.push_back(makeNode(NodeKind::Star, next().pos));
                        } else {
                            call->args.push_back(parseLogical(1));
                        }
                    } while (acceptSymbol(","));
                    expectSymbol(")");
                }
                return call;
            }
            return parseName();
        }
        case TokenKind::Symbol:
            if (t.isSymbol("(")) {
                next();
                if (peek().isWord("select")) {
                    // A subquery: skip to its closing parenthesis; it is never translated.
                    int depth = 1;
                    while (depth > 0 && peek().kind != TokenKind::End) {
                        if (peek().isSymbol("(")) ++depth;
                        if (peek().isSymbol(")")) --depth;
                        next();
                    }
                    if (depth > 0) fail("subquery is not closed");
                    return makeNode(NodeKind::Subquery, t.pos);
                }
                NodePtr inner = parseLogical(1);
                expectSymbol(")");
                return inner;
            }
            break;
        default:
            break;
    }
    fail("expected a value");
}

NodePtr ExpressionParser::parseName() {
    // [a].[b], a!b, [Forms]![f]![c]: the last part is the name, the parts before it the owner.
    // The parts are every second token from the one just read.
    const std::size_t first = m_at - 1;
    const std::size_t pos = m_tokens[first].pos;
    std::size_t parts = 1;
    const auto joined = [&](std::size_t count, char separator) {
        std::string out;
        for (std::size_t i = 0; i < count; ++i) {
            if (i > 0) out += separator;
            out += m_tokens[first + 2 * i].text;
        }
        return out;
    };
    while ((peek().isSymbol(".") || peek().isSymbol("!")) &&
           (peek(1).kind == TokenKind::Bracketed || peek(1).kind == TokenKind::Word ||
            peek(1).isSymbol("*"))) {
        next();
        if (next().isSymbol("*")) {
            auto star = makeNode(NodeKind::Star, pos);
            star->owner = joined(parts, '.');
            return star;
        }
        ++parts;
    }
    auto node = makeNode(NodeKind::Name, pos, m_tokens[first + 2 * (parts - 1)].text);
    if (parts > 1) node->owner = joined(parts - 1, '!');
    return node;
}

NodePtr parseExpression(std::string_view text, bool implicitOperand, bool leadingEquals) {
    const TokenList tokens = tokenize(text);
    ExpressionParser parser(tokens.tokens, 0, implicitOperand);
    if (leadingEquals) parser.acceptSymbol("=");
    if (parser.peek().kind == TokenKind::End) throw SyntaxError{"the expression is empty", 0};
    NodePtr node = parser.parse();
    if (parser.peek().kind != TokenKind::End) parser.fail("expected the end of the expression");
    return node;
}

namespace {

bool readNumber(std::string_view s, std::size_t& i, int& value) {
    const std::size_t start = i;
    value = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9' && i - start < 5) {
        value = value * 10 + (s[i] - '0');
        ++i;
    }
    return i > start;
}

void skipBlanks(std::string_view s, std::size_t& i) {
    while (i < s.size() && s[i] == ' ') ++i;
}

}  // namespace

std::string normalizeDate(std::string_view text, std::size_t pos) {
    const SyntaxError bad{"not a date Access accepts: #" + std::string(text) + "#", pos};
    std::size_t i = 0;
    skipBlanks(text, i);
    int year = 1899, month = 12, day = 30, hour = 0, minute = 0, second = 0;
    int a = 0;
    const std::size_t save = i;
    bool hasDate = false;
    if (readNumber(text, i, a) && i < text.size() && (text[i] == '/' || text[i] == '-')) {
        const char sep = text[i++];
        int b = 0, c = 0;
        if (!readNumber(text, i, b)) throw bad;
        if (i >= text.size() || text[i] != sep) throw bad;
        ++i;
        if (!readNumber(text, i, c)) throw bad;
        if (a > 31) {
            year = a, month = b, day = c;  // ISO year-month-day
        } else {
            month = a, day = b, year = c;  // US month/day/year
            if (year < 100) year += year < 30 ? 2000 : 1900;
        }
        hasDate = true;
    } else {
        i = save;
    }
    skipBlanks(text, i);
    if (i < text.size()) {
        if (!readNumber(text, i, hour) || i >= text.size() || text[i] != ':') throw bad;
        ++i;
        if (!readNumber(text, i, minute)) throw bad;
        if (i < text.size() && text[i] == ':') {
            ++i;
            if (!readNumber(text, i, second)) throw bad;
        }
        skipBlanks(text, i);
        const std::string rest = lowerAscii(text.substr(i));
        if (rest == "am" || rest == "pm") {
            if (hour < 1 || hour > 12) throw bad;
            hour = hour % 12 + (rest == "pm" ? 12 : 0);
        } else if (!rest.empty()) {
            throw bad;
        }
    } else if (!hasDate) {
        throw bad;
    }
    static const int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1 || day > kDays[month - 1] ||
        (month == 2 && day == 29 && !leap) || hour > 23 || minute > 59 || second > 59) {
        throw bad;
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", year, month, day, hour,
                  minute, second);
    return buffer;
}

}  // namespace zl::translate
