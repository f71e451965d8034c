// Fails host operations on demand, so tests can drive a plug-in through
// every failure path.
//
// An operation is known by a name ("Get", "descriptor.Make") and, for some,
// a qualified name ("AcquireSuite:<suite name>", "Play:CnvS"). A rule names
// either form and fails every matching call, or only its n-th matching call.
// Independently, the n-th operation of the run (counting every operation)
// can be failed: a sweep over n reaches every operation of a run.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace standin {

class FaultInjector {
public:
    // Fails calls of `name` with `code`: every call when `occurrence` is 0,
    // else only the occurrence-th matching call (1-based) of the run.
    void FailOperation(const std::string& name, int32_t code, int occurrence = 0);

    // Fails the n-th operation of the run (1-based) with `code`; 0 disables.
    void FailNthOperation(int64_t n, int32_t code);

    // Removes every rule.
    void Clear();

    // Starts a new run: operation and occurrence counts begin again at 0.
    void BeginRun();

    // Counts one operation. Returns the code to fail it with, if any rule
    // matches. `qualifier`, when not empty, gives the qualified name
    // "<name>:<qualifier>".
    std::optional<int32_t> Next(const std::string& name, const std::string& qualifier);

    // Operations counted since the run began.
    int64_t OperationCount() const { return operationCount_; }

private:
    struct Rule {
        std::string name;
        int32_t code;
        int occurrence;
        int seen;
    };
    std::vector<Rule> rules_;
    int64_t operationCount_ = 0;
    int64_t failNth_ = 0;
    int32_t failNthCode_ = 0;
};

}  // namespace standin
