#include "app/data/Filter.h"

#include "app/data/DatabaseError.h"
#include "app/data/Query.h"

#include <cstring>

namespace {

enum class Op { Eq, Ne, Lt, Gt, Le, Ge };

QByteArray asciiLower(QByteArray bytes)
{
    for (char &c : bytes)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return bytes;
}

int compareAsciiBlind(const char *a, int an, const QByteArray &lowerB)
{
    const int n = std::min(an, int(lowerB.size()));
    for (int i = 0; i < n; ++i) {
        unsigned char ca = static_cast<unsigned char>(a[i]);
        if (ca >= 'A' && ca <= 'Z')
            ca = static_cast<unsigned char>(ca - 'A' + 'a');
        const auto cb = static_cast<unsigned char>(lowerB[i]);
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return an == lowerB.size() ? 0 : (an < lowerB.size() ? -1 : 1);
}

template <typename T> bool holds(Op op, T a, T b)
{
    switch (op) {
    case Op::Eq:
        return a == b;
    case Op::Ne:
        return a != b;
    case Op::Lt:
        return a < b;
    case Op::Gt:
        return a > b;
    case Op::Le:
        return a <= b;
    case Op::Ge:
        return a >= b;
    }
    return false;
}

bool parseNumber(QStringView text, double *out)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (ok)
        *out = v;
    return ok;
}

} // namespace

struct Filter::Node
{
    enum Type { And, Or, Compare } type = Compare;
    std::unique_ptr<Node> left, right;
    // Compare
    QString field;
    Op op = Op::Eq;
    bool literalIsText = false;
    QString literal; // as written (without quotes)
    double number = 0; // literal as a number, for numeric fields
    QByteArray lowerLiteral; // literal as UTF-8, ASCII lower case, for text fields
    int column = -1;
    bool numeric = false;
};

namespace {

struct Token
{
    enum Kind { End, Name, Number, Text, Operator, Open, Close } kind = End;
    QString text;
};

// Bounds on a filter text. The tree of a filter is walked recursively (resolving,
// matching, freeing), so deep nesting or a long chain of terms would exhaust the
// stack; a page filter is a single comparison, far inside these.
constexpr qsizetype MaxFilterLength = 10000;
constexpr int MaxNesting = 100;
constexpr int MaxComparisons = 1000;

class Parser
{
public:
    explicit Parser(const QString &text)
        : m_text(text)
    {
        if (text.size() > MaxFilterLength)
            fail();
        advance();
    }

    std::unique_ptr<Filter::Node> parseAll()
    {
        auto node = parseOr();
        if (m_token.kind != Token::End)
            fail();
        return node;
    }

private:
    [[noreturn]] void fail()
    {
        throw DatabaseError(QStringLiteral("过滤条件有误：'%1'").arg(m_text));
    }

    static bool isKeyword(const Token &t, const char *word)
    {
        return t.kind == Token::Name
            && t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
    }

    std::unique_ptr<Filter::Node> parseOr()
    {
        auto left = parseAnd();
        while (isKeyword(m_token, "or")) {
            advance();
            auto node = std::make_unique<Filter::Node>();
            node->type = Filter::Node::Or;
            node->left = std::move(left);
            node->right = parseAnd();
            left = std::move(node);
        }
        return left;
    }

    std::unique_ptr<Filter::Node> parseAnd()
    {
        auto left = parseFactor();
        while (isKeyword(m_token, "and")) {
            advance();
            auto node = std::make_unique<Filter::Node>();
            node->type = Filter::Node::And;
            node->left = std::move(left);
            node->right = parseFactor();
            left = std::move(node);
        }
        return left;
    }

    std::unique_ptr<Filter::Node> parseFactor()
    {
        if (m_token.kind == Token::Open) {
            if (++m_depth > MaxNesting)
                fail();
            advance();
            auto inner = parseOr();
            if (m_token.kind != Token::Close)
                fail();
            advance();
            --m_depth;
            return inner;
        }
        if (++m_comparisons > MaxComparisons)
            fail();
        if (m_token.kind != Token::Name || isKeyword(m_token, "and") || isKeyword(m_token, "or"))
            fail();
        auto node = std::make_unique<Filter::Node>();
        node->field = m_token.text;
        advance();
        if (m_token.kind != Token::Operator)
            fail();
        static const struct
        {
            const char *text;
            Op op;
        } ops[] = { { "=", Op::Eq }, { "<>", Op::Ne }, { "<", Op::Lt }, { ">", Op::Gt },
            { "<=", Op::Le }, { ">=", Op::Ge } };
        bool known = false;
        for (const auto &o : ops)
            if (m_token.text == QLatin1String(o.text)) {
                node->op = o.op;
                known = true;
            }
        if (!known)
            fail();
        advance();
        if (m_token.kind == Token::Number) {
            node->literal = m_token.text;
            if (!parseNumber(node->literal, &node->number))
                fail();
        } else if (m_token.kind == Token::Text) {
            node->literal = m_token.text;
            node->literalIsText = true;
        } else {
            fail();
        }
        node->lowerLiteral = asciiLower(node->literal.toUtf8());
        advance();
        return node;
    }

    void advance()
    {
        const QString &s = m_text;
        while (m_pos < s.size() && s[m_pos].isSpace())
            ++m_pos;
        m_token = Token();
        if (m_pos >= s.size())
            return;
        const QChar c = s[m_pos];
        if (c == u'(' || c == u')') {
            m_token.kind = c == u'(' ? Token::Open : Token::Close;
            ++m_pos;
        } else if (c == u'=' || c == u'<' || c == u'>') {
            m_token.kind = Token::Operator;
            qsizetype end = m_pos + 1;
            while (end < s.size() && (s[end] == u'=' || s[end] == u'<' || s[end] == u'>'))
                ++end;
            m_token.text = s.mid(m_pos, end - m_pos);
            m_pos = end;
        } else if (c == u'\'' || c == u'"') {
            // a doubled quote inside stands for one
            QString value;
            qsizetype i = m_pos + 1;
            for (;;) {
                if (i >= s.size())
                    fail();
                if (s[i] == c) {
                    if (i + 1 < s.size() && s[i + 1] == c) {
                        value += c;
                        i += 2;
                        continue;
                    }
                    break;
                }
                value += s[i++];
            }
            m_token.kind = Token::Text;
            m_token.text = value;
            m_pos = i + 1;
        } else if (c.isDigit()
            || ((c == u'-' || c == u'+' || c == u'.') && m_pos + 1 < s.size()
                && (s[m_pos + 1].isDigit() || s[m_pos + 1] == u'.'))) {
            qsizetype end = m_pos + 1;
            while (end < s.size()
                && (s[end].isDigit() || s[end] == u'.' || s[end] == u'e' || s[end] == u'E'
                    || ((s[end] == u'-' || s[end] == u'+')
                        && (s[end - 1] == u'e' || s[end - 1] == u'E'))))
                ++end;
            m_token.kind = Token::Number;
            m_token.text = s.mid(m_pos, end - m_pos);
            m_pos = end;
        } else {
            qsizetype end = m_pos;
            while (
                end < s.size() && !s[end].isSpace() && !QStringView(u"=<>()'\"").contains(s[end]))
                ++end;
            m_token.kind = Token::Name;
            m_token.text = s.mid(m_pos, end - m_pos);
            m_pos = end;
        }
    }

    const QString &m_text;
    qsizetype m_pos = 0;
    Token m_token;
    int m_depth = 0;
    int m_comparisons = 0;
};

} // namespace

Filter::~Filter() = default;

std::unique_ptr<Filter> Filter::parse(const QString &text)
{
    std::unique_ptr<Filter> filter(new Filter);
    filter->m_text = text;
    if (!text.trimmed().isEmpty())
        filter->m_root = Parser(text).parseAll();
    return filter;
}

void Filter::resolve(const std::function<int(const QString &)> &fieldIndex,
    const std::function<FieldKind(int)> &fieldKind)
{
    std::function<void(Node *)> walk = [&](Node *node) {
        if (!node)
            return;
        if (node->type != Node::Compare) {
            walk(node->left.get());
            walk(node->right.get());
            return;
        }
        node->column = fieldIndex(node->field);
        if (node->column < 0)
            throw DatabaseError(QStringLiteral("过滤条件有误：'%1'：Field '%2' not found")
                                    .arg(m_text, node->field));
        node->numeric = fieldKind(node->column) != FieldKind::Text;
        if (node->numeric && node->literalIsText && !parseNumber(node->literal, &node->number))
            throw DatabaseError(QStringLiteral("过滤条件有误：'%1'：'%2' is not a number")
                                    .arg(m_text, node->literal));
    };
    walk(m_root.get());
}

namespace {
bool evaluate(const Filter::Node *node, const std::function<Cell(int)> &cellOf)
{
    switch (node->type) {
    case Filter::Node::And:
        return evaluate(node->left.get(), cellOf) && evaluate(node->right.get(), cellOf);
    case Filter::Node::Or:
        return evaluate(node->left.get(), cellOf) || evaluate(node->right.get(), cellOf);
    case Filter::Node::Compare:
        break;
    }
    const Cell cell = cellOf(node->column);
    if (cell.isNull())
        return false;
    if (node->numeric) {
        double v = 0;
        switch (cell.tag) {
        case Cell::Integer:
            v = double(cell.integer());
            break;
        case Cell::Float:
            v = cell.real();
            break;
        case Cell::Text:
            if (!parseNumber(QString::fromUtf8(cell.data, cell.size), &v))
                return false;
            break;
        default:
            return false;
        }
        return holds(node->op, v, node->number);
    }
    if (cell.tag == Cell::Text || cell.tag == Cell::Blob)
        return holds(node->op, compareAsciiBlind(cell.data, cell.size, node->lowerLiteral), 0);
    const QByteArray text = cell.text().toUtf8();
    return holds(
        node->op, compareAsciiBlind(text.constData(), int(text.size()), node->lowerLiteral), 0);
}
} // namespace

bool Filter::matches(const std::function<Cell(int)> &cellOf) const
{
    return !m_root || evaluate(m_root.get(), cellOf);
}
