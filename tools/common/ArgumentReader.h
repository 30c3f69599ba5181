// Reads a tool's command line the way every tool of the project does:
// options and operands in any order, "--name VALUE" or "--name=VALUE",
// "-x VALUE" for a short name, "--" ending the options, and -h, --help and
// --version answered wherever they stand. Reports what is wrong by throwing
// UsageError; touches no file.
//
//     ArgumentReader args(arguments);
//     while (args.next()) {
//         if (args.isFlag("--quiet", "-q"))       quiet = true;
//         else if (args.isOption("--out"))         out = args.value();
//         else                                     files.push_back(args.operand());
//     }
#pragma once

#include <string>
#include <vector>

class ArgumentReader {
public:
    explicit ArgumentReader(std::vector<std::string> arguments);

    // Moves to the next argument; false when all are read. Throws
    // InfoRequest at -h, --help or --version before the options end.
    bool next();

    // The current argument is the option `name` (or `alias`) taking a value.
    bool isOption(const char* name, const char* alias = nullptr) const;
    // The current argument is the switch `name` (or `alias`); throws
    // UsageError when it was given a value with "=".
    bool isFlag(const char* name, const char* alias = nullptr) const;
    // The current option's value: the text after "=", or else the next
    // argument, which it consumes. Throws UsageError when there is none.
    std::string value();
    // True when the current option was given a value with "=": for an
    // option whose value is optional, which then never takes the next one.
    bool hasAttachedValue() const { return hasAttached; }
    // The current argument as an operand (not an option). Throws UsageError
    // for an option that no branch took.
    std::string operand() const;

    // `text` as a finite decimal number from `low` to `high`; throws
    // UsageError naming `what` (an option or operand) otherwise.
    static double number(const std::string& what, const std::string& text, double low, double high);
    // `text` as a whole decimal number from `low` to `high`, likewise.
    static int integer(const std::string& what, const std::string& text, int low, int high);

private:
    std::vector<std::string> arguments;
    size_t at = 0;        // index of the argument after the current one
    bool optionsEnded = false;
    bool isOperandNow = false;
    std::string name;     // the current argument, up to "=" for an option
    std::string attached; // the text after "="
    bool hasAttached = false;
};
