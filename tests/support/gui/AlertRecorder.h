// Records every alert run while a recorder is alive: what the code under
// test configured (texts, style, buttons) and how the alert ended. This tells
// a test what no window shows portably, such as the alert's style.
#pragma once

#include <string>
#include <vector>

namespace gui_test {

struct RecordedAlert {
    std::string messageText;      // the headline
    std::string informativeText;  // the body
    unsigned long style = 0;      // 0 warning, 1 informational, 2 critical
    std::vector<std::string> buttonTitles;  // in the order added
    long result = 0;              // what runModal returned
};

// While it exists, -[NSAlert runModal] is wrapped so that each run is
// recorded, in the order the alerts end. Only one recorder may exist at a time.
class AlertRecorder {
public:
    AlertRecorder();
    ~AlertRecorder();
    AlertRecorder(const AlertRecorder&) = delete;
    AlertRecorder& operator=(const AlertRecorder&) = delete;

    const std::vector<RecordedAlert>& Alerts() const { return alerts; }

private:
    friend struct AlertRecorderAccess;
    std::vector<RecordedAlert> alerts;
};

}  // namespace gui_test
