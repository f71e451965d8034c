#include "GimpConsole.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace gimptest {

namespace {

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

int ExitStatus(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status); }

}  // namespace

fs::path FreshFolder(const fs::path& folder) {
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

Profiles::Profiles(const fs::path& folder) : folder_(FreshFolder(folder)) {
    const fs::path profile = folder_ / "template";
    const int status = ExitStatus(std::system(
        GimpCommand("gimp-console-2.10", profile, "", "(gimp-quit 0)", folder_ / "template.log").c_str()));
    if (status != 0 || !fs::is_regular_file(profile / "pluginrc")) {
        throw std::runtime_error("the first start of GIMP failed (" + std::to_string(status) + "), see " +
                                 (folder_ / "template.log").string());
    }
    std::ofstream(profile / "gimprc", std::ios::app)
        << "(plug-in-path \"${gimp_dir}/plug-ins:${gimp_plug_in_dir}/plug-ins:" << DECIMORA_GIMP_TEST_PLUGIN_PATH
        << "\")\n";
}

fs::path Profiles::Copy(const std::string& name) const {
    const fs::path copy = folder_ / name;
    fs::remove_all(copy);
    fs::copy(folder_ / "template", copy, fs::copy_options::recursive);
    return copy;
}

std::string GimpCommand(const std::string& program, const fs::path& profile, const std::string& environment,
                        const std::string& batch, const fs::path& log, bool stayOpen) {
    const std::string interface = program == "gimp-console-2.10" ? " -i" : " -s";
    return "env " + environment + " GIMP2_DIRECTORY=" + Quoted(profile.string()) + " " + program + interface +
           " -d -f -b " + Quoted(batch) + (stayOpen ? "" : " -b '(gimp-quit 0)'") + " >" + Quoted(log.string()) +
           " 2>&1";
}

int RunGimpConsole(const fs::path& profile, const std::string& environment, const fs::path& script,
                   const std::string& expression, const fs::path& log) {
    const std::string batch = "(begin (load \"" + script.string() + "\") " + expression + ")";
    return ExitStatus(std::system(GimpCommand("gimp-console-2.10", profile, "-u DISPLAY " + environment, batch, log).c_str()));
}

std::string ReadText(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace gimptest
