// Starting GIMP for the tests: every start gets a profile of its own, a copy
// of one made by a first start of GIMP (a profile folder made by hand is
// incomplete), with decimora-gimp and the test probe on its plug-in path.
#pragma once

#include <filesystem>
#include <string>

namespace gimptest {

namespace fs = std::filesystem;

// `folder` emptied (made when missing).
fs::path FreshFolder(const fs::path& folder);

class Profiles {
public:
    // Starts GIMP once to make the profile that is copied; throws
    // std::runtime_error when that start fails.
    explicit Profiles(const fs::path& folder);
    // A fresh copy named `name`.
    fs::path Copy(const std::string& name) const;

private:
    fs::path folder_;
};

// The command that starts `program` (gimp-console-2.10 or gimp-2.10) with
// `profile` and runs the batch command, then quits unless `stayOpen`;
// `environment` holds env(1) arguments ("-u NAME", "NAME=VALUE") put before
// it, and the output goes to `log`.
std::string GimpCommand(const std::string& program, const fs::path& profile, const std::string& environment,
                        const std::string& batch, const fs::path& log, bool stayOpen = false);

// Runs gimp-console headless: loads the Script-Fu file `script`, evaluates
// `expression`, and quits. Returns the exit status.
int RunGimpConsole(const fs::path& profile, const std::string& environment, const fs::path& script,
                   const std::string& expression, const fs::path& log);

// The file's text; empty when it cannot be read.
std::string ReadText(const fs::path& path);

}  // namespace gimptest
