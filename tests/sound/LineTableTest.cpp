#include "LineTable.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TEST(LineTable, reads_every_spoken_line)
{
    const std::vector<SpokenLine> lines =
        parseLineTable("6.300\t9.100\twife\twife.dialog\tMilo, it is two.\n10\t12\tprogrammer\tprog.dialog\tOne more.\n",
                       "lines.tsv");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_DOUBLE_EQ(lines[0].start, 6.3);
    EXPECT_DOUBLE_EQ(lines[1].end, 12.0);
    EXPECT_EQ(lines[1].script, "prog.dialog");
    EXPECT_EQ(lines[0].text, "Milo, it is two.");
}

TEST(LineTable, refuses_a_span_no_mix_can_duck_naming_the_line)
{
    const char* const rows[] = {
        "nan\t1\ta\tb\tc\n", "0\tinf\ta\tb\tc\n", "-1e300\t1\ta\tb\tc\n", "-0.5\t1\ta\tb\tc\n",
        "2\t1\ta\tb\tc\n",   "1\t2\ta\tb\n",      "1\t2\ta\tb\tc\td\n",    "\n",
        "1 \t2\ta\tb\tc\n",
    };
    for (const char* row : rows) {
        SCOPED_TRACE(row);
        try {
            parseLineTable(std::string("1\t2\ta\tb\tc\n") + row, "lines.tsv");
            ADD_FAILURE() << "no error";
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(std::string(e.what()).rfind("lines.tsv:2: expected start, a later end", 0), 0u) << e.what();
        }
    }
}

} // namespace
