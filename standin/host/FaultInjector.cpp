#include "standin/host/FaultInjector.h"

namespace standin {

void FaultInjector::FailOperation(const std::string& name, int32_t code, int occurrence) {
    rules_.push_back(Rule{name, code, occurrence, 0});
}

void FaultInjector::FailNthOperation(int64_t n, int32_t code) {
    failNth_ = n;
    failNthCode_ = code;
}

void FaultInjector::Clear() {
    rules_.clear();
    failNth_ = 0;
    failNthCode_ = 0;
}

void FaultInjector::BeginRun() {
    operationCount_ = 0;
    for (Rule& rule : rules_) rule.seen = 0;
}

std::optional<int32_t> FaultInjector::Next(const std::string& name, const std::string& qualifier) {
    ++operationCount_;
    const std::string qualified = qualifier.empty() ? std::string() : name + ":" + qualifier;
    std::optional<int32_t> failure;
    if (failNth_ > 0 && operationCount_ == failNth_) failure = failNthCode_;
    // Every matching rule counts the call, even when an earlier one already
    // fails it, so that occurrence counts stay true to the calls made.
    for (Rule& rule : rules_) {
        if (rule.name != name && (qualified.empty() || rule.name != qualified)) continue;
        ++rule.seen;
        if (!failure && (rule.occurrence == 0 || rule.occurrence == rule.seen)) failure = rule.code;
    }
    return failure;
}

}  // namespace standin
