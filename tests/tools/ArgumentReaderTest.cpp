// The command-line reader every tool shares, on its own.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ArgumentReader.h"
#include "UsageError.h"

namespace {

struct Read {
    std::string out;
    bool quiet = false;
    std::vector<std::string> operands;
};

// Reads `arguments` as a tool with --out, --quiet / -q and operands would.
Read read(const std::vector<std::string>& arguments)
{
    Read result;
    ArgumentReader args(arguments);
    while (args.next()) {
        if (args.isFlag("--quiet", "-q"))
            result.quiet = true;
        else if (args.isOption("--out", "-o"))
            result.out = args.value();
        else
            result.operands.push_back(args.operand());
    }
    return result;
}

std::string usageErrorOf(const std::vector<std::string>& arguments)
{
    try {
        read(arguments);
    } catch (const UsageError& error) {
        return error.what();
    }
    return "(none)";
}

} // namespace

TEST(ArgumentReader, options_take_their_value_either_way_and_operands_stand_anywhere)
{
    const Read got = read({"a", "--out", "x.png", "b", "-q", "--out=y.png", "-o", "z", "--", "--out", "-"});
    EXPECT_EQ(got.out, "z");
    EXPECT_TRUE(got.quiet);
    EXPECT_EQ(got.operands, (std::vector<std::string>{"a", "b", "--out", "-"}));
    EXPECT_EQ(read({"--out="}).out, "") << "an empty value after = is a value";
}

TEST(ArgumentReader, bad_usage_says_which_argument)
{
    const struct {
        std::vector<std::string> arguments;
        std::string message;
    } cases[] = {
        {{"--frobnicate"}, "unknown option --frobnicate"},
        {{"--frobnicate=3"}, "unknown option --frobnicate"},
        {{"a", "--out"}, "--out needs a value"},
        {{"--quiet=yes"}, "--quiet takes no value"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.arguments));
        EXPECT_EQ(usageErrorOf(c.arguments), c.message);
    }
}

TEST(ArgumentReader, help_and_version_are_answered_before_the_options_end)
{
    const struct {
        std::vector<std::string> arguments;
        int what; // InfoRequest::What, or -1 for none
    } cases[] = {
        {{"a", "--help"}, InfoRequest::Help},
        {{"-h", "--frobnicate"}, InfoRequest::Help},
        {{"--version"}, InfoRequest::Version},
        {{"--", "--help"}, -1},
        {{"--out", "--help"}, -1}, // a value, not an option
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.arguments));
        int what = -1;
        try {
            read(c.arguments);
        } catch (const InfoRequest& request) {
            what = request.what;
        }
        EXPECT_EQ(what, c.what);
    }
}

TEST(ArgumentReader, numbers_are_whole_arguments_inside_their_range)
{
    EXPECT_EQ(ArgumentReader::number("q", "-0.1", -0.1, 1.0), -0.1);
    EXPECT_EQ(ArgumentReader::number("q", "1e-1", -0.1, 1.0), 0.1);
    EXPECT_EQ(ArgumentReader::integer("n", "51", 0, 51), 51);
    for (const char* text : {"", " 1", "1 ", "1x", "2", "nan", "inf", "1e999", "-0.2"})
        EXPECT_THROW(ArgumentReader::number("q", text, -0.1, 1.0), UsageError) << '"' << text << '"';
    for (const char* text : {"", "-1", "+1", "52", "1.0", "9999999999"})
        EXPECT_THROW(ArgumentReader::integer("n", text, 0, 51), UsageError) << '"' << text << '"';
    try {
        ArgumentReader::number("the quality", "2", -0.1, 1.0);
    } catch (const UsageError& error) {
        EXPECT_STREQ(error.what(), "the quality wants a number from -0.1 to 1, not \"2\"");
    }
}
