#include "fuzz/checks/RecordedStepChecks.h"

#include <string>

#include "fuzz/checks/ContractViolation.h"
#include "runner/RecordedStep.h"

namespace fuzzing {
namespace {

bool Same(const runner::RecordedStep& a, const runner::RecordedStep& b) {
    return a.event == b.event && a.descriptor == b.descriptor;
}

}  // namespace

void CheckRecordedStep(const unsigned char* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    runner::RecordedStep step;
    try {
        step = runner::ParseRecordedStep(text);
    } catch (const runner::RecordedStepError& error) {
        Expect(error.what()[0] != '\0', "refused step: a message says why");
        return;
    } catch (const std::exception& error) {
        Fail(std::string("refused step: an exception other than RecordedStepError: ") + error.what());
    }

    Expect(!text.empty() && text.back() == '\n' && text.size() <= runner::kMaxRecordedStepBytes,
           "accepted step: the text is within the size limit and ends with a newline");
    const std::string written = runner::FormatRecordedStep(step);
    runner::RecordedStep again;
    try {
        again = runner::ParseRecordedStep(written);
    } catch (const std::exception& error) {
        Fail(std::string("accepted step: its formatted text is refused: ") + error.what() + "\n" + written);
    }
    Expect(Same(again, step), "accepted step: formatted and parsed again, it is the same step");
    Expect(runner::FormatRecordedStep(again) == written, "accepted step: formatting is stable");
}

}  // namespace fuzzing
