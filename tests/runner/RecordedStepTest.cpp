// The recorded-step text: what the formatter writes reads back the same, and
// the parser refuses everything else with a reason, never a crash.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "runner/RecordedStep.h"

namespace {

using runner::ParseRecordedStep;
using runner::RecordedStep;
using runner::RecordedStepError;

RecordedStep FullStep() {
    RecordedStep step;
    step.event = 0x44636D72;  // 'Dcmr'
    step.descriptor.PutInteger(0x52742020, -2147483647 - 1)
        .PutFloat(0x00000001, 0.1)
        .PutUnitFloat(0x52736C74, 0x23527366, -1.5e300)
        .PutEnumerated(0x496E7472, 0x4E727374, 0x7F000000);
    return step;
}

std::string ParseError(const std::string& text) {
    try {
        ParseRecordedStep(text);
    } catch (const RecordedStepError& error) {
        return error.what();
    }
    return "(accepted)";
}

TEST(RecordedStep, FormatsThePluginsStepAsDocumented) {
    RecordedStep step;
    step.event = 0x44636D72;
    step.descriptor.PutInteger(0x52742020, 4);
    EXPECT_EQ(runner::FormatRecordedStep(step), "decimora step 1\nevent 'Dcmr'\n'Rt  ' integer 4\n");
}

TEST(RecordedStep, EveryValueTypeAndCodeFormReadsBackExactly) {
    const RecordedStep step = FullStep();
    const std::string text = runner::FormatRecordedStep(step);
    EXPECT_NE(text.find("0x00000001 float 0.1\n"), std::string::npos) << text;
    EXPECT_NE(text.find("'Intr' enumerated 'Nrst' 0x7F000000\n"), std::string::npos) << text;
    const RecordedStep read = ParseRecordedStep(text);
    EXPECT_EQ(read.event, step.event);
    EXPECT_EQ(read.descriptor, step.descriptor);
}

TEST(RecordedStep, AStepWithoutEntriesIsValid) {
    EXPECT_EQ(ParseRecordedStep("decimora step 1\nevent 'Dcmr'\n").descriptor.Count(), 0u);
}

TEST(RecordedStep, RefusesAnythingButTheExactForm) {
    const std::string head = "decimora step 1\nevent 'Dcmr'\n";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", "empty"},
        {"decimora step 2\nevent 'Dcmr'\n", "line 1"},
        {"decimora step 1\n", "event line is missing"},
        {"decimora step 1\r\nevent 'Dcmr'\r\n", "line 1"},
        {head + "'Rt  ' integer 4", "line 3: the line does not end with a newline"},
        {head + "\n", "line 3: blank line"},
        {head + "'Rt  '\tinteger 4\n", "line 3: expected one blank"},
        {head + "'Rt  '  integer 4\n", "line 3"},
        {head + "'Rt  ' integer 4 \n", "line 3: unexpected text"},
        {head + "'Rt  ' integer +4\n", "expected an integer"},
        {head + "'Rt  ' integer 2147483648\n", "out of the 32-bit range"},
        {head + "'Rt  ' integer 4\n'Rt  ' integer 5\n", "line 4: key 'Rt  ' appears twice"},
        {head + "'Rt  ' string four\n", "unknown value type"},
        {head + "'Rt  ' float nan\n", "finite"},
        {head + "'Rt  ' float inf\n", "finite"},
        {head + "'Rt  ' float 1e999\n", "finite"},
        {head + "'Rt ' integer 4\n", "four-character code"},
        {head + "0x5274202 integer 4\n", "hexadecimal"},
        {head + "0x5274202g integer 4\n", "hexadecimal"},
        {head + "0x52742020 integer 4\n0x52742020 integer 5\n", "appears twice"},
        {head + "0x5274202a integer 4\n", "upper-case"},
        {head + "'R\x01  ' integer 4\n", "unprintable"},
        {head + "# comment\n", "line 3"},
        {std::string("decimora step 1\nevent 'Dcmr'\n\0", 30) + "\n", "line 3"},
        {head + std::string(runner::kMaxRecordedStepBytes, 'x') + "\n", "larger than"},
    };
    for (const auto& [text, expected] : cases) {
        const std::string message = ParseError(text);
        EXPECT_NE(message.find(expected), std::string::npos) << "got: " << message << "\nwanted: " << expected;
    }
}

// Cut at every length, and with bytes changed at random, a valid step either
// still reads as a step or is refused with RecordedStepError.
TEST(RecordedStep, DamagedTextIsRefusedNeverMisread) {
    const std::string text = runner::FormatRecordedStep(FullStep());
    for (size_t length = 0; length < text.size(); ++length) {
        const std::string cut = text.substr(0, length);
        try {
            const RecordedStep read = ParseRecordedStep(cut);
            EXPECT_EQ(cut.back(), '\n') << "accepted an unterminated cut at " << length;
            EXPECT_LT(read.descriptor.Count(), FullStep().descriptor.Count());
        } catch (const RecordedStepError&) {
        }
    }
    std::mt19937 random(20260401);
    for (int round = 0; round < 2000; ++round) {
        std::string damaged = text;
        const int changes = 1 + static_cast<int>(random() % 4);
        for (int i = 0; i < changes; ++i) damaged[random() % damaged.size()] = static_cast<char>(random() % 256);
        try {
            ParseRecordedStep(damaged);
        } catch (const RecordedStepError&) {
        }
    }
}

}  // namespace
