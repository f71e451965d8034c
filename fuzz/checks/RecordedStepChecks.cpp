#include "fuzz/checks/RecordedStepChecks.h"

#include <string>

#include "fuzz/checks/ContractViolation.h"
#include "cli/RecordedStep.h"

namespace fuzzing {
namespace {

bool Same(const cli::RecordedStep& a, const cli::RecordedStep& b) {
    return a.event == b.event && a.descriptor == b.descriptor;
}

}  // namespace

void CheckRecordedStep(const unsigned char* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    cli::RecordedStep step;
    try {
        step = cli::ParseRecordedStep(text);
    } catch (const cli::RecordedStepError& error) {
        Expect(error.what()[0] != '\0', "refused step: a message says why");
        return;
    } catch (const std::exception& error) {
        Fail(std::string("refused step: an exception other than RecordedStepError: ") + error.what());
    }

    Expect(!text.empty() && text.back() == '\n' && text.size() <= cli::kMaxRecordedStepBytes,
           "accepted step: the text is within the size limit and ends with a newline");
    const std::string written = cli::FormatRecordedStep(step);
    cli::RecordedStep again;
    try {
        again = cli::ParseRecordedStep(written);
    } catch (const std::exception& error) {
        Fail(std::string("accepted step: its formatted text is refused: ") + error.what() + "\n" + written);
    }
    Expect(Same(again, step), "accepted step: formatted and parsed again, it is the same step");
    Expect(cli::FormatRecordedStep(again) == written, "accepted step: formatting is stable");
}

}  // namespace fuzzing
