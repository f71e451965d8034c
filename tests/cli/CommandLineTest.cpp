// The command line's rules, checked before any work, and the outputs
// planned from it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/CommandLine.h"
#include "cli/OutputPlan.h"

namespace {

using cli::Command;
using cli::ParseCommandLine;
using cli::UsageError;
using Arguments = std::vector<std::string>;

std::string UsageMessage(const Arguments& arguments) {
    try {
        ParseCommandLine(arguments);
    } catch (const UsageError& error) {
        return error.what();
    }
    return "(accepted)";
}

TEST(CommandLine, ParsesAReductionWithEveryOption) {
    const cli::CommandLine line =
        ParseCommandLine({"reduce", "a.tif", "--factor=4", "--out-dir", "out", "--force", "--quality", "80", "--jobs",
                          "3", "--plugins", "p", "--quiet", "--", "-odd.png"});
    EXPECT_EQ(line.command, Command::reduce);
    EXPECT_EQ(line.pluginFolder, "p");
    const cli::ReduceOptions& options = line.reduce;
    EXPECT_EQ(options.inputs, (Arguments{"a.tif", "-odd.png"}));
    EXPECT_EQ(options.factor, 4);
    EXPECT_EQ(options.outputFolder, "out");
    EXPECT_TRUE(options.force);
    EXPECT_EQ(options.quality, 80);
    EXPECT_EQ(options.jobs, 3);
    EXPECT_TRUE(options.quiet);
    EXPECT_FALSE(options.Interactive());
}

TEST(CommandLine, TheDialogAppearsWithoutAFactorOrWhenAskedFor) {
    EXPECT_TRUE(ParseCommandLine({"reduce", "a.png"}).reduce.Interactive());
    EXPECT_TRUE(ParseCommandLine({"reduce", "a.png", "--factor", "3", "--dialog"}).reduce.Interactive());
    EXPECT_FALSE(ParseCommandLine({"reduce", "a.png", "--replay", "s"}).reduce.Interactive());
}

TEST(CommandLine, HelpAndVersionWinOverEverythingElse) {
    EXPECT_EQ(ParseCommandLine({"reduce", "--bogus", "--help"}).command, Command::help);
    EXPECT_EQ(ParseCommandLine({"help"}).command, Command::help);
    EXPECT_EQ(ParseCommandLine({"--version"}).command, Command::version);
    EXPECT_EQ(ParseCommandLine({"about", "--plugins", "p"}).command, Command::about);
}

TEST(CommandLine, RefusesBrokenRulesWithTheReason) {
    const std::vector<std::pair<Arguments, std::string>> cases = {
        {{}, "missing command"},
        {{"shrink", "a.png"}, "unknown command \"shrink\""},
        {{"reduce"}, "no INPUT"},
        {{"reduce", "a.png", "b.png", "-o", "c.png", "--factor", "2"}, "-o takes a single INPUT"},
        {{"reduce", "a.png", "-o", "c.png", "--out-dir", "d"}, "exclude each other"},
        {{"reduce", "a.png", "--in-place", "-o", "c.png"}, "--in-place excludes"},
        {{"reduce", "a.png", "--factor", "1"}, "--factor: expected a whole number from 2 up"},
        {{"reduce", "a.png", "--factor", "4x"}, "not \"4x\""},
        {{"reduce", "a.png", "--factor", "99999999999"}, "--factor"},
        {{"reduce", "a.png", "--factor"}, "--factor: missing value"},
        {{"reduce", "a.png", "--factor="}, "--factor: empty value"},
        {{"reduce", "a.png", "--quality", "0"}, "from 1 to 100"},
        {{"reduce", "a.png", "--quality", "101"}, "from 1 to 100"},
        {{"reduce", "a.png", "--jobs", "0"}, "--jobs"},
        {{"reduce", "a.png", "--force=yes"}, "--force: takes no value"},
        {{"reduce", "a.png", "--frobnicate"}, "unknown option --frobnicate"},
        {{"reduce", "a.png", "--replay", "s", "--factor", "2"}, "drop --factor"},
        {{"reduce", "a.png", "--replay", "s", "--dialog"}, "drop --dialog"},
        {{"reduce", "a.png", "--replay", "s", "--record", "t"}, "exclude each other"},
        {{"reduce", "a.png", "b.png", "--factor", "2", "--record", "t"}, "--record takes a single INPUT"},
        {{"reduce", "a.png", "b.png", "--jobs", "2"}, "--jobs needs --factor"},
        {{"reduce", "a.png", "--factor", "2", "--dialog", "--jobs", "2"}, "--jobs needs --factor"},
        {{"about", "a.png"}, "unexpected argument"},
        {{"about", "--factor", "2"}, "unknown option"},
        {{"--version", "extra"}, "takes no arguments"},
    };
    for (const auto& [arguments, expected] : cases) {
        const std::string message = UsageMessage(arguments);
        EXPECT_NE(message.find(expected), std::string::npos) << "got: " << message << "\nwanted: " << expected;
    }
}

cli::ReduceOptions Inputs(const Arguments& inputs) {
    cli::ReduceOptions options;
    options.inputs = inputs;
    return options;
}

TEST(OutputPlan, NamesOutputsBesideTheInputsByDefault) {
    EXPECT_EQ(cli::ReducedName("dir/photo.tif"), "dir/photo-reduced.tif");
    EXPECT_EQ(cli::ReducedName("archive.tar.png"), "archive.tar-reduced.png");
    EXPECT_EQ(cli::ReducedName("noextension"), "noextension-reduced");
    EXPECT_EQ(cli::ReducedName(".hidden"), ".hidden-reduced");

    cli::ReduceOptions options = Inputs({"a/x.png", "b/y.jpg"});
    options.outputFolder = "out";
    const std::vector<cli::FileJob> jobs = cli::PlanOutputs(options);
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_EQ(jobs[0].output, "out/x.png");
    EXPECT_EQ(jobs[1].output, "out/y.jpg");

    options = Inputs({"a/x.png"});
    options.inPlace = true;
    EXPECT_EQ(cli::PlanOutputs(options)[0].output, "a/x.png");
}

TEST(OutputPlan, RefusesTwoInputsWrittenToOneFile) {
    cli::ReduceOptions options = Inputs({"a/x.png", "b/x.png"});
    options.outputFolder = "out";
    EXPECT_THROW(cli::PlanOutputs(options), UsageError);
    EXPECT_THROW(cli::PlanOutputs(Inputs({"x.png", "./x.png"})), UsageError);
}

}  // namespace
