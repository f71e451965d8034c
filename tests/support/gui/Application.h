// The application object GUI tests need before they show windows or alerts.
#pragma once

namespace gui_test {

// Creates the shared application (and its display connection) if there is
// none yet. Safe to call any number of times.
void PrepareApplication();

}  // namespace gui_test
