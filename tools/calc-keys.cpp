// calc-keys: feeds key labels to a fresh calculator engine and prints the
// result line, for scripts and tests.
//
//   calc-keys [--trace] [--tape] KEY...
//
// KEY is one label (0-9 . DEL AC x * / + - H mn S Enter =); an argument that
// holds spaces is split into several keys. Options come before the keys, so a
// "-" among the keys is the minus key. --trace prints "label<TAB>text" after
// every key; the result line's text follows on its own line; --tape then
// prints the display's tape lines top to bottom and "indicator: " with + - x :
// or none. An unknown label is named on stderr, exit status 2, no key is fed.
#include "app/calc_engine.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
// Keep "*" a key label: no wildcard expansion of the command line.
int _dowildcard = 0;
#endif

namespace {

// The engine's state is 50 KB: a global rather than a stack record.
CalcState g_calc;

struct Options {
    int trace; // print every key's text
    int tape;  // print the tape lines and the indicator at the end
};

void print_usage()
{
    fputs("usage: calc-keys [--trace] [--tape] KEY...\n"
          "keys: 0-9 . DEL AC x * / + - H mn S Enter =\n",
          stderr);
}

// Splits every key argument at spaces and tabs into labels.
std::vector<std::string> split_labels(int argc, char **argv, int first)
{
    std::vector<std::string> labels;
    for (int i = first; i < argc; i++) {
        std::string word;
        for (const char *c = argv[i];; c++) {
            if (*c == ' ' || *c == '\t' || *c == '\0') {
                if (!word.empty())
                    labels.push_back(word);
                word.clear();
                if (*c == '\0')
                    break;
            } else {
                word += *c;
            }
        }
    }
    return labels;
}

const char *indicator_text(int indicator)
{
    switch (indicator) {
    case CALC_KEY_ADD: return "+";
    case CALC_KEY_SUB: return "-";
    case CALC_KEY_MUL: return "x";
    case CALC_KEY_DIV: return ":";
    default: return "none";
    }
}

void print_tape(const CalcState *s)
{
    int slots[CALC_TAPE_LINES];
    int count = calc_tape_lines(s, slots);
    for (int i = count - 1; i >= 0; i--) { // top line is the oldest
        char line[CALC_TEXT_SIZE];
        calc_tape_line_text(&s->tape[slots[i]], line, sizeof line);
        printf("%s\n", line);
    }
    printf("indicator: %s\n", indicator_text(s->indicator));
}

} // namespace

int main(int argc, char **argv)
{
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY); // "\n", not "\r\n", for scripts
#endif
    Options opt = {0, 0};
    int first = 1;
    for (; first < argc; first++) {
        if (strcmp(argv[first], "--trace") == 0)
            opt.trace = 1;
        else if (strcmp(argv[first], "--tape") == 0)
            opt.tape = 1;
        else
            break;
    }
    if (first >= argc) {
        print_usage(); // options alone, or nothing at all: no key to feed
        return 2;
    }

    std::vector<std::string> labels = split_labels(argc, argv, first);
    std::vector<int> codes;
    for (const std::string &label : labels) {
        int code = calc_key_by_label(label.c_str());
        if (code < 0) {
            fprintf(stderr, "calc-keys: unknown key '%s'\n", label.c_str());
            print_usage();
            return 2;
        }
        codes.push_back(code);
    }

    calc_init(&g_calc);
    const char *text = g_calc.text;
    for (size_t i = 0; i < codes.size(); i++) {
        text = calc_key(&g_calc, codes[i]);
        if (opt.trace)
            printf("%s\t%s\n", labels[i].c_str(), text);
    }
    printf("%s\n", text);
    if (opt.tape)
        print_tape(&g_calc);
    return 0;
}
