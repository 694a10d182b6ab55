// The batch run: the benchmark's options and result line, worlds saved and continued, and the
// exit status and silence of a run that cannot start.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "BatchRun.h"
#include "BenchOptions.h"
#include "TempDir.h"

using qmtest::TempDir;

namespace {

struct BatchResult {
    int status;
    std::string out;
    std::string err;
};

BatchResult batch(std::vector<std::string> args) {
    args.insert(args.begin(), "--batch");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    const int status = qmbench::runBatch(static_cast<int>(argv.size()), argv.data());
    BatchResult r{status, ::testing::internal::GetCapturedStdout(), ::testing::internal::GetCapturedStderr()};
    return r;
}

// The result line without its timing fields, which differ from run to run.
std::string withoutTiming(const std::string& line) { return line.substr(0, line.find(" seconds=")); }

}  // namespace

TEST(BatchRun, SavedAndContinuedInTwoRunsPrintsTheLineOfOneRun) {
    TempDir dir;
    const std::string ants = dir.write("ants.txt", "0,0,1\n3,-2,2\n-4,1,RB\n");
    const std::string world = dir.pathOf("half.qmw");
    for (const char* mode : {"indexed15", "bw", "generalized"}) {
        SCOPED_TRACE(mode);
        const BatchResult whole = batch({"--ants", ants, "--mode", mode, "--states", "3", "--max-steps", "6000"});
        ASSERT_EQ(whole.status, 0) << whole.err;
        EXPECT_EQ(whole.out.rfind(std::string("mode=") + mode + " ants=3 steps=6000 moves=18000 ", 0), 0u) << whole.out;
        const BatchResult first = batch({"--ants", ants, "--mode", mode, "--states", "3", "--max-steps", "2500",
                                         "--save-world", world});
        ASSERT_EQ(first.status, 0) << first.err;
        const BatchResult rest = batch({"--open-world", world, "--max-steps", "6000"});
        ASSERT_EQ(rest.status, 0) << rest.err;
        EXPECT_EQ(withoutTiming(rest.out), withoutTiming(whole.out));
        EXPECT_TRUE(rest.err.empty()) << "no progress when standard error is not a terminal: " << rest.err;
    }
}

TEST(BatchRun, BadOptionsOrInputGiveOneLineStatusTwoAndWriteNothing) {
    TempDir dir;
    const std::string world = dir.pathOf("never.qmw");
    const std::string notAWorld = dir.write("ants.txt", "0,0,1\n");
    const std::vector<std::vector<std::string>> bad = {
        {"--mode", "hexagonal", "--save-world", world},
        {"--repeat", "3", "--save-world", world},
        {"--max-steps", "--save-world", world},
        {"--ants", dir.pathOf("missing.txt"), "--save-world", world},
        {"--open-world", notAWorld, "--save-world", world},
        {"--open-world", notAWorld, "--ants", notAWorld, "--save-world", world},
    };
    for (const auto& args : bad) {
        const BatchResult r = batch(args);
        EXPECT_EQ(r.status, 2) << args[0];
        EXPECT_TRUE(r.out.empty()) << r.out;
        ASSERT_FALSE(r.err.empty()) << args[0];
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << "one line: " << r.err;
        EXPECT_FALSE(std::filesystem::exists(world));
    }
    EXPECT_EQ(batch({"--open-world", notAWorld}).err,
              "ERROR: Cannot open world file " + notAWorld + ": it is not a world file\n");
}

TEST(BatchRun, ALimitEndsWithStatusZeroAndAWorldThatCannotGoOnIsReportedAsItStands) {
    TempDir dir;
    const std::string world = dir.pathOf("done.qmw");
    const BatchResult first = batch({"--max-steps", "700", "--save-world", world});
    ASSERT_EQ(first.status, 0);
    const BatchResult again = batch({"--open-world", world, "--max-steps", "500"});
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(withoutTiming(again.out), withoutTiming(first.out)) << "already beyond \"Max steps:\"";
    EXPECT_NE(again.out.find("moves_per_s=0"), std::string::npos);
}
