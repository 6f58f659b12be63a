// The time series file `timei`: every record kind with its fields, in a file
// far longer than 90,000 characters, every error code with its log lines, and
// the timeo lines of the flow solver and the transient morphology.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "engine/common/status.h"
#include "engine/input/time_series.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_quality.h"
#include "engine/state/state_sediment.h"
#include "engine/state/state_tables.h"
#include "tests/support/case_folder.h"

namespace zefra {
namespace {

// A transient run of a 6 x 5 x 4 grid with two grain sizes and the extra data
// sets, and a water-quality term of the given code (the control file keeps
// only the terms the components compute); then `timei` is read.
int read_timei(const std::string& extra, const std::string& timei, int term_code = 0)
{
    EXPECT_FALSE(test::read_control(test::control_with("F 33 2.0 1\n" + extra, 6, 5, 4, 2)).has_value()) << test::log_text();
    if (term_code != 0) {
        QTerms[0] = QTerm{0, term_code, 0, 0, 1.0, 0.0};
        NoTerms = 1;
    }
    test::write_file("timei", timei);
    return ReadTimes();
}

TEST(TimeSeriesFile, EveryRecordIsStoredWhereTheSolversLookForIt)
{
    test::CaseFolder folder;
    EXPECT_EQ(read_timei("", ""), 0);
    std::remove("timei");
    EXPECT_EQ(ReadTimes(), 0);
    EXPECT_STREQ(mc_message, "have not used 'timei' file ");
    // Temperature, two sizes, wind, a component and a term that needs the
    // irradiation; two rows of equal time; 150,000 characters of remarks.
    const std::string timei = "I 0 40 38 102.5 101 12.5 0.1 0.2 3 0.6 0.8 250\n" + std::string(150000, 'x') +
                              "\nJ 10 50 48 102.6 101.1 0.5 13 0.3 0.4\nM 10 0.25 4 0.6 0.8 7.5 300\n"
                              "D 0 40 1 2 3 4 5 6 7 8 9\n D 10 80 2 3 4 5 6 7 8 9 10\nO 5 2\nu 2 3 4\nc 6 5 2 1\nP 6 8 1 z 0 0 0\n";
    ASSERT_EQ(read_timei("F 49 1\nF 52 3 0.6 0.8\nF 37 1\nF 50 1\n", timei, 42), 0) << test::log_text();
    ASSERT_EQ(TimeInNo, 3);
    EXPECT_EQ(TimeInHout[1] + TimeInTimStep[1] + TimeInTimStep[2] + Tempinn[1], 101.1 + 0.5 + 0.25 + 13.0);
    EXPECT_EQ(Cinn[0][2] + Cinn[1][1] + Winn[0][0] + Winn[2][2] + Irradi[0] + Irradi[2], 0.2 + 0.3 + 3.0 + 0.8 + 250.0 + 300.0);
    EXPECT_EQ(Cinn[2][0], 7.5);  // the component of the M row
    EXPECT_EQ(FlagTimeiConc + FlagJTime + FlagDischargeTime, 3);
    EXPECT_EQ(QDinn[1][10], 10.0);  // D rows: the G 7 records 1 ... 10 at the entry times
    ASSERT_EQ(TimePrintNo, 2);
    EXPECT_EQ(TimePrint[0].end, 1e20);
    EXPECT_EQ(TimePrint[0].points[1].index, 1);
    EXPECT_EQ(TimePrint[1].end, 8.0);
}

struct Faulty {
    const char* extra;   // data sets of the control file
    const char* timei;
    int code;
    const char* line;    // the log line after "Error in timei file: \n" (empty: none)
    int term_code = 0;
};

TEST(TimeSeriesFile, EveryFaultHasItsCodeAndMessage)
{
    const Faulty cases[] = {
        {"", "O 1 2 u 2 2 2\n", 1, "Too few numbers on O data set, or over 25 variables\n"},
        {"", "O 1 3001\n", 1, "Too few numbers on O data set, or over 25 variables\n"},
        {"", "O -1 1 u 2 2 2\n", 2, "Negative time on O data set\n"},
        {"", "O 5 1 u 2 2 2\nP 3 9 1 u 2 2 2\n", 3, "Time on O data set lower than the time on the previous data set\n"},
        {"", "O 1 1 u 7 2 2\n", 4, "Invalid cell index\n"},
        {"", "O 1 1 u 2 2 -1\n", 4, "Invalid cell index\n"},
        {"", "O 1 1 x 2 2 2\n", 5, "Invalid index letter\n"},
        {"", "O 1 1 t 2 2 2\n", 5, "Invalid index letter\n"},  // no temperature without F 49
        {"", "O 1 1 c 2 2 2 3\n", 6, "Invalid sediment size index\n"},
        {"F 50 2\n", "O 1 1 Q 2 0 0 2\n", 17, "Error in reading water quality data O/q data set\n"},
        {"", "O 1 1 q 2 2 2 0\n", 17, "Error in reading water quality data O/q data set\n"},  // no components
        {"", "I 0 40 40 102\n", 8, "Too few numbers on I data set, negative time\n"},
        {"", "I -1 40 40 102 101\n", 8, "Too few numbers on I data set, negative time\n"},
        {"", "I 0 40 40 102 101\nD 1 40 0 0 0 0 0 0 0 0 0\n", 8, "Too few numbers on I data set, negative time\n"},
        {"", "D 0 40 0 0 0 0 0 0 0 0 0\n", 8, "Too few numbers on I data set, negative time\n"},  // no entry yet
        {"", "I 5 40 40 102 101\nI 3 40 40 102 101\n", 9, "Time on I data set lower than the time on the previous data set\n"},
        {"", "I 5 40 40 102 101\nM 3 1\n", 9, "Time on I data set lower than the time on the previous data set\n"},
        {"F 37 1\n", "I 0 40 40 102 101 0.1\n", 10, "Could not read sufficient inflow concentrations on I data set\n"},
        {"", "I 0 40 40 102 101\nD 0 40 0 0 0\n", 10, "Could not read sufficient inflow concentrations on I data set\n"},
        {"F 81 3\n", "I 0 1 1 1 1\nI 1 1 1 1 1\nI 2 1 1 1 1\n", 11, "More than 200 I data sets\n"},
        {"", "J 0 40 40 102 101 -1\n", 12, ""},
        {"", "J 0 40 40 102 101 0\n", 12, ""},
        {"", "M 0 1e-9\n", 12, ""},
        {"F 52 3 1 0\n", "I 0 40 40 102 101 3 1\n", 12, ""},
        {"F 50 1\n", "M 0 1 5\n", 14, "", 1060},
        {"F 50 1\n", "M 0 1 5\n", 13, "", 6100},
        {"F 49 1\n", "I 0 40 40 102 101 95\n", 14, ""},
    };
    for (const Faulty& c : cases) {
        SCOPED_TRACE(c.timei);
        test::CaseFolder folder;
        EXPECT_EQ(read_timei(c.extra, c.timei, c.term_code), c.code);
        EXPECT_EQ(mc_message, "Error in 'timei' file " + std::to_string(c.code));
        EXPECT_TRUE(test::log_ends_with(std::string("Error in timei file: \n") + c.line)) << test::log_tail();
    }
    // The fiftieth print request is one too many.
    test::CaseFolder folder;
    std::string requests;
    for (int n = 0; n < 50; ++n) requests += "O " + std::to_string(n) + " 1 u 2 2 2\n";
    EXPECT_EQ(read_timei("", requests), 7);
    EXPECT_TRUE(test::log_ends_with("Error in timei file: \nNumber of O data sets exceeds 20\n"));
    EXPECT_EQ(TimePrintNo, 49);
}

TEST(TimeSeriesFile, TimeoLinesOfTheFlowAndOfTheMorphology)
{
    test::CaseFolder folder;
    ASSERT_EQ(read_timei("F 49 1\n", "O 10 2 u 2 2 2 t 2 2 2\n"), 0);
    xvel[2][2][2] = 0.5;
    temp[2][2][2] = 12.0;
    ASSERT_TRUE(create_timeo());
    stime = 20.0;  // inside the request's window
    ASSERT_TRUE(append_timeo_line());
    ASSERT_TRUE(append_timeo_line(TimeoLine::Morphology));  // no temperature there
    stime = 5.0;   // before it: the flow line takes the last request, the morphology line none
    ASSERT_TRUE(append_timeo_line());
    ASSERT_TRUE(append_timeo_line(TimeoLine::Morphology));
    EXPECT_EQ(test::read_file("timeo"),
              "2.0000e+01 5.000000e-01 1.200000e+01 \n"
              "2.0000e+01 5.000000e-01 \n"
              "5.0000e+00 5.000000e-01 1.200000e+01 \n"
              "5.0000e+00 \n");
}

}  // namespace
}  // namespace zefra
