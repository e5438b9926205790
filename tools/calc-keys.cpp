// calc-keys: feeds key labels to a fresh calculator engine and prints the
// result line, for scripts and tests.
//
//   calc-keys [--trace] [--tape] KEY...
//   calc-keys [--trace] [--tape] --paste TEXT
//
// KEY is one label (0-9 . DEL AC x * / + - H mn S Enter =); an argument that
// holds spaces is split into several keys. Options come before the keys, so a
// "-" among the keys is the minus key. --paste types TEXT as the calculator's
// paste does ("1:30:15.5 + 45s ="); a text paste refuses is named on stderr
// with the reason, exit status 1. --trace prints "label<TAB>text" after every
// key; the result line's text follows on its own line; --tape then prints the
// display's tape lines top to bottom and "indicator: " with + - x : or none.
// An unknown label is named on stderr, exit status 2, no key is fed.
#include "app/calc_engine.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
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
    int paste; // the argument after the options is a text to paste
};

void print_usage()
{
    fputs("usage: calc-keys [--trace] [--tape] KEY...\n"
          "       calc-keys [--trace] [--tape] --paste TEXT\n"
          "keys: 0-9 . DEL AC x * / + - H mn S Enter =\n",
          stderr);
}

// The key codes of labels. Returns 1, or 0 with the first unknown label and
// the usage printed.
int label_codes(const std::vector<std::string> &labels, std::vector<int> *codes)
{
    for (const std::string &label : labels) {
        int code = calc_key_by_label(label.c_str());
        if (code < 0) {
            fprintf(stderr, "calc-keys: unknown key '%s'\n", label.c_str());
            print_usage();
            return 0;
        }
        codes->push_back(code);
    }
    return 1;
}

// Argument i as UTF-8. On Windows the narrow arguments are in the ANSI code
// page, which has no "−"; the wide command line has every character.
std::string utf8_argument(char **argv, int i)
{
#ifdef _WIN32
    int count = 0;
    LPWSTR *wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::string text = argv[i];
    if (wide != nullptr && i < count) {
        int n = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        if (n > 0) {
            text.assign(static_cast<size_t>(n), '\0');
            WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, &text[0], n, nullptr, nullptr);
            text.resize(static_cast<size_t>(n - 1));
        }
    }
    LocalFree(wide);
    return text;
#else
    return argv[i];
#endif
}

// The key codes of a pasted text, with their labels. Returns 1, or 0 with
// the reason printed.
int paste_codes(const std::string &text, std::vector<std::string> *labels, std::vector<int> *codes)
{
    static CalcPasteKeys keys; // 2 KB
    if (!calc_paste_keys(text.data(), text.size(), &keys)) {
        fprintf(stderr, "calc-keys: refused: %s\n", keys.reason);
        return 0;
    }
    for (int i = 0; i < keys.count; i++) {
        codes->push_back(keys.codes[i]);
        labels->push_back(calc_key_label(keys.codes[i]));
    }
    return 1;
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
    Options opt = {0, 0, 0};
    int first = 1;
    for (; first < argc; first++) {
        if (strcmp(argv[first], "--trace") == 0)
            opt.trace = 1;
        else if (strcmp(argv[first], "--tape") == 0)
            opt.tape = 1;
        else if (strcmp(argv[first], "--paste") == 0)
            opt.paste = 1;
        else
            break;
    }
    // Options alone, or nothing at all: no key to feed. A paste takes
    // exactly one text.
    if (first >= argc || (opt.paste && first != argc - 1)) {
        print_usage();
        return 2;
    }

    std::vector<std::string> labels;
    std::vector<int> codes;
    if (opt.paste) {
        if (!paste_codes(utf8_argument(argv, first), &labels, &codes))
            return 1;
    } else {
        labels = split_labels(argc, argv, first);
        if (!label_codes(labels, &codes))
            return 2;
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
