// The rule a translation catalogue gives for choosing among the plural
// forms of a text: its header says "nplurals=3; plural=EXPR;", EXPR being
// a C expression in n as GNU gettext reads it (n, whole numbers, ! * / %
// + - < > <= >= == != && || ?: and brackets). It is read and worked out
// here rather than by the C library, whose gettext raises SIGFPE on a
// division by zero: whatever a catalogue says, reading it is bounded in
// depth and size, and working it out never traps.
#pragma once

#include <string>
#include <vector>

struct PluralRule {
    unsigned forms = 2;
    // The expression as a tree of nodes, the operators coded as single
    // characters ('e' for ==, 'a' for && ...); empty for English's rule.
    struct Node {
        char op = 'n';
        unsigned long value = 0;
        int operands[3] = {-1, -1, -1};
    };
    std::vector<Node> nodes;
    int root = -1;
};

// Reads the value of a catalogue's Plural-Forms header, at most
// MAX_PLURAL_FORMS forms. False for anything else, an expression nested
// too deep or too long among it.
bool readPluralRule(const std::string& header, PluralRule& rule);

// Which form the count `n` takes: the expression's value, or 0 where that
// value names no form. A division by zero counts as 0.
unsigned pluralForm(const PluralRule& rule, unsigned long n);
