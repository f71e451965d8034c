// The parser of recorded-step files (what `decimora reduce --replay FILE`
// reads): any text is either refused with a RecordedStepError or accepted as
// a step that formats to a text which parses back to the same step and
// formats the same again.
#pragma once

#include <cstddef>

namespace fuzzing {

void CheckRecordedStep(const unsigned char* data, size_t size);

}  // namespace fuzzing
