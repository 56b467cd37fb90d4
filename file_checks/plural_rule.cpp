#include "file_checks/plural_rule.h"

#include "file_checks/limits.h"

#include <cctype>
#include <cstring>

namespace {

// Operators by precedence, from the lowest after ?:, in their codes.
const char* const LEVELS[] = {"o", "a", "eu", "lg<>", "+-", "*/%"};
const int UNARY_LEVEL = sizeof LEVELS / sizeof *LEVELS;

struct Operator {
    const char* text;
    char code;
};
// Two-character operators first, so that "<=" is not read as "<".
const Operator OPERATORS[] = {{"||", 'o'}, {"&&", 'a'}, {"==", 'e'}, {"!=", 'u'}, {"<=", 'l'},
                              {">=", 'g'}, {"<", '<'},  {">", '>'},  {"+", '+'},  {"-", '-'},
                              {"*", '*'},  {"/", '/'},  {"%", '%'},  {"!", '!'},  {"?", '?'},
                              {":", ':'},  {"(", '('},  {")", ')'}};

// Reads one expression by recursive descent, bounded in depth and nodes.
struct Reader {
    const char* at;
    PluralRule& rule;
    int depth = 0;
    bool failed = false;

    void skipBlanks() {
        while (*at == ' ' || *at == '\t' || *at == '\n' || *at == '\r')
            ++at;
    }

    // The operator next in the input, or 0; `length` its characters.
    char peek(size_t& length) {
        skipBlanks();
        for (const Operator& o : OPERATORS) {
            length = std::strlen(o.text);
            if (std::strncmp(at, o.text, length) == 0)
                return o.code;
        }
        return 0;
    }

    bool take(char code) {
        size_t length = 0;
        if (peek(length) != code)
            return false;
        at += length;
        return true;
    }

    int add(char op, int a = -1, int b = -1, int c = -1) {
        if (failed || rule.nodes.size() >= MAX_PLURAL_NODES) {
            failed = true;
            return -1;
        }
        PluralRule::Node node;
        node.op = op;
        node.operands[0] = a;
        node.operands[1] = b;
        node.operands[2] = c;
        rule.nodes.push_back(node);
        return static_cast<int>(rule.nodes.size()) - 1;
    }

    bool enter() {
        if (++depth > MAX_PLURAL_DEPTH)
            failed = true;
        return !failed;
    }

    int choice() {
        int result = -1;
        if (enter()) {
            result = binary(0);
            if (!failed && take('?')) {
                const int yes = choice();
                if (!failed && !take(':'))
                    failed = true;
                const int no = failed ? -1 : choice();
                result = add('?', result, yes, no);
            }
        }
        --depth;
        return result;
    }

    int binary(int level) {
        if (level == UNARY_LEVEL)
            return unary();
        int left = binary(level + 1);
        size_t length = 0;
        for (char op; !failed && (op = peek(length)) != 0 && std::strchr(LEVELS[level], op);) {
            at += length;
            left = add(op, left, binary(level + 1));
        }
        return left;
    }

    int number() {
        unsigned long value = 0;
        for (int digits = 0; std::isdigit(static_cast<unsigned char>(*at)); ++at)
            if (++digits > 9)
                failed = true;
            else
                value = value * 10 + static_cast<unsigned long>(*at - '0');
        const int node = add('#');
        if (node >= 0)
            rule.nodes[static_cast<size_t>(node)].value = value;
        return node;
    }

    int unary() {
        int result = -1;
        if (enter()) {
            if (take('!')) {
                result = add('!', unary());
            } else if (take('(')) {
                result = choice();
                if (!failed && !take(')'))
                    failed = true;
            } else if (*at == 'n') {
                ++at;
                result = add('n');
            } else if (std::isdigit(static_cast<unsigned char>(*at))) {
                result = number();
            } else {
                failed = true;
            }
        }
        --depth;
        return result;
    }
};

unsigned long evaluate(const PluralRule& rule, int index, unsigned long n) {
    const PluralRule::Node& node = rule.nodes[static_cast<size_t>(index)];
    const auto operand = [&](int which) { return evaluate(rule, node.operands[which], n); };
    switch (node.op) {
    case 'n':
        return n;
    case '#':
        return node.value;
    case '!':
        return !operand(0);
    case '?':
        return operand(0) ? operand(1) : operand(2);
    case 'o':
        return operand(0) || operand(1);
    case 'a':
        return operand(0) && operand(1);
    default:
        break;
    }
    const unsigned long a = operand(0);
    const unsigned long b = operand(1);
    switch (node.op) {
    case 'e':
        return a == b;
    case 'u':
        return a != b;
    case '<':
        return a < b;
    case '>':
        return a > b;
    case 'l':
        return a <= b;
    case 'g':
        return a >= b;
    case '+':
        return a + b;
    case '-':
        return a - b;
    case '*':
        return a * b;
    case '/':
        return b ? a / b : 0;
    default:
        return b ? a % b : 0;
    }
}

// "name =" at `at`, with blanks anywhere around; `at` moves past it.
bool takeField(const char*& at, const char* name) {
    while (*at == ' ' || *at == '\t')
        ++at;
    const size_t length = std::strlen(name);
    if (std::strncmp(at, name, length) != 0)
        return false;
    at += length;
    while (*at == ' ' || *at == '\t')
        ++at;
    return *at++ == '=';
}

} // namespace

bool readPluralRule(const std::string& header, PluralRule& rule) {
    rule = PluralRule();
    const char* at = header.c_str();
    if (!takeField(at, "nplurals"))
        return false;
    while (*at == ' ' || *at == '\t')
        ++at;
    if (*at < '1' || *at > static_cast<char>('0' + MAX_PLURAL_FORMS) ||
        std::isdigit(static_cast<unsigned char>(at[1])))
        return false;
    rule.forms = static_cast<unsigned>(*at++ - '0');
    while (*at == ' ' || *at == '\t')
        ++at;
    if (*at++ != ';' || !takeField(at, "plural"))
        return false;
    Reader reader{at, rule};
    rule.root = reader.choice();
    reader.skipBlanks();
    if (*reader.at == ';')
        ++reader.at;
    reader.skipBlanks();
    if (reader.failed || rule.root < 0 || *reader.at != 0 ||
        header.size() != static_cast<size_t>(reader.at - header.c_str())) {
        rule = PluralRule();
        return false;
    }
    return true;
}

unsigned pluralForm(const PluralRule& rule, unsigned long n) {
    if (rule.root < 0)
        return n == 1 ? 0 : 1;
    const unsigned long form = evaluate(rule, rule.root, n);
    return form < rule.forms ? static_cast<unsigned>(form) : 0;
}
