// What a person sees of a run on stderr: every failure as
// "decimora: <message>", a closing count when several files were given and
// some were not reduced, and, when asked for, a progress bar redrawn on one
// line.
#pragma once

#include <cstddef>
#include <map>
#include <string>

#include "cli/Reducer.h"

namespace cli {

class RunReport {
public:
    RunReport(size_t files, bool showProgress);

    // The file with this index has come this far (0 to 1).
    void Progress(size_t index, double fraction);
    void Finished(size_t index, const runner::FileResult& result);
    // Ends the progress line and prints the closing count.
    void Close();

    // 0 when every file was reduced, else 1.
    int ExitStatus() const;

private:
    void Draw();
    void ClearLine();

    size_t files_;
    bool showProgress_;
    size_t finished_ = 0;
    size_t notReduced_ = 0;
    std::map<size_t, double> inProgress_;
    std::string drawn_;
};

// The bar's text: "[########            ]  40%  2 of 5 files".
std::string ProgressLine(double fraction, size_t finished, size_t files);

}  // namespace cli
