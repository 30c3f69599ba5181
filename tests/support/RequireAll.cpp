// With QUORVANE_REQUIRE_ALL=1 in the environment (CI sets it), a test that
// skips because something it needs is missing (a display, GL, ffmpeg, sox,
// built content) fails the run, naming what is missing, instead of counting
// as passed. Linked into every test program that uses the test support.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

class SkipsFail : public ::testing::EmptyTestEventListener {
public:
    void OnTestEnd(const ::testing::TestInfo& test) override
    {
        const ::testing::TestResult& result = *test.result();
        if (!result.Skipped())
            return;
        std::string why;
        for (int i = 0; i < result.total_part_count(); ++i)
            if (result.GetTestPartResult(i).skipped())
                why += result.GetTestPartResult(i).message();
        const std::string name = std::string(test.test_suite_name()) + "." + test.name();
        std::printf("[  FAILED  ] %s skipped (%s), and QUORVANE_REQUIRE_ALL=1 allows no skips\n", name.c_str(),
                    why.c_str());
        skipped.push_back(name + ": " + why);
    }

    void OnTestProgramEnd(const ::testing::UnitTest&) override
    {
        if (skipped.empty())
            return;
        std::printf("%zu tests skipped where QUORVANE_REQUIRE_ALL=1 requires every test to run:\n", skipped.size());
        for (const std::string& line : skipped)
            std::printf("  %s\n", line.c_str());
        std::fflush(stdout);
        std::exit(1);
    }

private:
    std::vector<std::string> skipped;
};

[[maybe_unused]] const bool kInstalled = [] {
    const char* required = std::getenv("QUORVANE_REQUIRE_ALL");
    if (required && std::strcmp(required, "1") == 0)
        ::testing::UnitTest::GetInstance()->listeners().Append(new SkipsFail);
    return true;
}();

} // namespace
