// The parser of Access's SELECT dialect: clauses, nested joins, unions and crosstabs.
#include "translate/query_parser.h"

namespace zl::translate {

namespace {

constexpr std::string_view kClauseWords[] = {
    "from", "where", "group", "having", "order", "union",  "inner", "left", "right", "join",
    "on",   "pivot", "into",  "with",   "in",    "select", "outer", "as",   "full",  "cross"};

bool isClauseWord(const Token& t) {
    if (t.kind != TokenKind::Word) return false;
    for (const std::string_view word : kClauseWords) {
        if (t.isWord(word)) return true;
    }
    return false;
}

class QueryParser {
public:
    explicit QueryParser(const PoolVector<Token>& tokens) : m_p(tokens, 0, false) {}

    void parse(QueryStatement& q) {
        if (m_p.acceptWord("parameters")) parseParameters(q);
        if (m_p.acceptWord("transform")) {
            q.crosstab = true;
            q.transform = m_p.parse();
            if (m_p.acceptWord("as")) q.transformAlias = name();
        }
        parseSelect(q.parts.emplace_back());
        while (m_p.acceptWord("union")) {
            q.unionAll.push_back(m_p.acceptWord("all"));
            parseSelect(q.parts.emplace_back());
        }
        if (q.parts.size() > 1) {
            q.unionOrder = std::move(q.parts.back().orderBy);
            q.parts.back().orderBy.clear();
        }
        if (q.crosstab) {
            if (!m_p.acceptWord("pivot")) m_p.fail("expected PIVOT");
            q.pivot = m_p.parse();
            if (q.pivot->kind == NodeKind::In && !q.pivot->negated) {
                NodePtr in = std::move(q.pivot);
                q.pivot = std::move(in->args[0]);
                for (std::size_t i = 1; i < in->args.size(); ++i) {
                    q.headings.push_back(std::move(in->args[i]));
                }
            }
        }
        if (m_p.acceptWord("with")) {
            if (!m_p.acceptWord("owneraccess") || !m_p.acceptWord("option")) {
                m_p.fail("expected WITH OWNERACCESS OPTION");
            }
        }
        m_p.acceptSymbol(";");
        if (m_p.peek().kind != TokenKind::End) m_p.fail("expected the end of the query");
    }

private:
    std::string name() {
        const Token& t = m_p.peek();
        if (t.kind == TokenKind::Bracketed || (t.kind == TokenKind::Word && !isClauseWord(t))) {
            m_p.next();
            return std::string(t.text);
        }
        m_p.fail("expected a name");
    }

    void parseParameters(QueryStatement& q) {
        do {
            // A parameter name may hold blanks when bracketed; unbracketed ones run to the type.
            std::string pname;
            if (m_p.peek().kind == TokenKind::Bracketed) {
                pname = m_p.next().text;
            } else {
                while (m_p.peek().kind == TokenKind::Word && m_p.peek(1).kind == TokenKind::Word) {
                    if (!pname.empty()) pname += ' ';
                    pname += m_p.next().text;
                }
            }
            std::string type;
            while (m_p.peek().kind == TokenKind::Word || m_p.peek().kind == TokenKind::Number ||
                   m_p.peek().isSymbol("(") || m_p.peek().isSymbol(")")) {
                type += m_p.next().text;
            }
            q.parameters.emplace_back(pname, type);
        } while (m_p.acceptSymbol(","));
        m_p.expectSymbol(";");
    }

    void parseSelect(SelectStatement& s) {
        if (!m_p.acceptWord("select")) m_p.fail("expected SELECT");
        for (;;) {
            if (m_p.acceptWord("distinct")) {
                s.distinct = true;
            } else if (m_p.acceptWord("distinctrow")) {
                s.distinctRow = true;
            } else if (m_p.acceptWord("all")) {
            } else if (m_p.acceptWord("top")) {
                if (m_p.peek().kind != TokenKind::Number) m_p.fail("expected a number after TOP");
                s.top = m_p.next().text;
                s.topPercent = m_p.acceptWord("percent");
            } else {
                break;
            }
        }
        do {
            SelectItem item;
            if (m_p.peek().isSymbol("*")) {
                auto star = std::make_unique<Node>();
                star->kind = NodeKind::Star;
                star->pos = m_p.next().pos;
                item.expr = std::move(star);
            } else {
                item.expr = m_p.parse();
            }
            if (m_p.acceptWord("as")) item.alias = name();
            s.items.push_back(std::move(item));
        } while (m_p.acceptSymbol(","));
        if (m_p.acceptWord("into")) {
            s.into = true;
            name();
        }
        if (m_p.acceptWord("from")) {
            do {
                s.from.push_back(parseJoins());
            } while (m_p.acceptSymbol(","));
        }
        if (m_p.acceptWord("where")) s.where = m_p.parse();
        if (m_p.acceptWord("group")) {
            if (!m_p.acceptWord("by")) m_p.fail("expected BY");
            do {
                s.groupBy.push_back(m_p.parse());
            } while (m_p.acceptSymbol(","));
        }
        if (m_p.acceptWord("having")) s.having = m_p.parse();
        if (m_p.acceptWord("order")) {
            if (!m_p.acceptWord("by")) m_p.fail("expected BY");
            do {
                OrderItem item;
                item.expr = m_p.parse();
                if (m_p.acceptWord("desc")) {
                    item.descending = true;
                } else {
                    m_p.acceptWord("asc");
                }
                s.orderBy.push_back(std::move(item));
            } while (m_p.acceptSymbol(","));
        }
    }

    std::unique_ptr<TableRef> parseJoins() {
        std::unique_ptr<TableRef> left = parsePrimary();
        for (;;) {
            std::string kind;
            const std::size_t pos = m_p.peek().pos;
            if (m_p.acceptWord("inner")) {
                kind = "INNER";
            } else if (m_p.acceptWord("left")) {
                kind = "LEFT";
            } else if (m_p.acceptWord("right")) {
                kind = "RIGHT";
            } else {
                return left;
            }
            if (kind != "INNER") m_p.acceptWord("outer");
            if (!m_p.acceptWord("join")) m_p.fail("expected JOIN");
            auto join = std::make_unique<TableRef>();
            join->kind = TableRef::Kind::Join;
            join->pos = pos;
            join->join = kind;
            join->left = std::move(left);
            join->right = parsePrimary();
            if (!m_p.acceptWord("on")) m_p.fail("expected ON");
            join->on = m_p.parse();
            left = std::move(join);
        }
    }

    std::unique_ptr<TableRef> parsePrimary() {
        auto ref = std::make_unique<TableRef>();
        ref->pos = m_p.peek().pos;
        if (m_p.acceptSymbol("(")) {
            if (m_p.peek().isWord("select")) {
                ref->kind = TableRef::Kind::Subquery;
                int depth = 1;
                while (depth > 0 && m_p.peek().kind != TokenKind::End) {
                    if (m_p.peek().isSymbol("(")) ++depth;
                    if (m_p.peek().isSymbol(")")) --depth;
                    m_p.next();
                }
            } else {
                ref = parseJoins();
                m_p.expectSymbol(")");
                return ref;
            }
        } else {
            ref->name = name();
        }
        if (m_p.peek().isWord("in")) m_p.fail("a table in another database (IN) is not supported");
        // The alias follows AS, or stands directly after the name.
        if (m_p.acceptWord("as") || m_p.peek().kind == TokenKind::Bracketed ||
            (m_p.peek().kind == TokenKind::Word && !isClauseWord(m_p.peek()))) {
            ref->alias = name();
        }
        return ref;
    }

    ExpressionParser m_p;
};

}  // namespace

QueryStatement parseQuery(std::string_view sql) {
    QueryStatement q;
    parseQuery(sql, q);
    return q;
}

void parseQuery(std::string_view sql, QueryStatement& out) {
    const TokenList tokens = tokenize(sql);
    QueryParser parser(tokens.tokens);
    parser.parse(out);
}

}  // namespace zl::translate
