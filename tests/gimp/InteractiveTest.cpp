// decimora-gimp run interactively in GIMP's own window on a virtual display:
// the Decimora dialog appears over GIMP (a screenshot is kept in the test's
// output folder), OK reduces the image, one Undo brings the original back
// and one Redo the result again. GIMP's image window title ends in the
// image's size, which is how the test sees each step.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>

#include "cli/ImageFixtures.h"
#include "gimp/GimpConsole.h"

namespace {

using gimptest::fs::path;

// The command's standard output, last newline dropped.
std::string Output(const std::string& command) {
    std::string text;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return text;
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe) != nullptr) text += buffer;
    pclose(pipe);
    if (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
}

bool WaitFor(const std::function<bool()>& condition, int seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < end) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return condition();
}

// The first window whose name matches `pattern`, or "".
std::string FindWindow(const std::string& pattern) {
    const std::string ids = Output("xdotool search --name '" + pattern + "' 2>/dev/null");
    return ids.substr(0, ids.find('\n'));
}

std::string WindowName(const std::string& window) { return Output("xdotool getwindowname " + window + " 2>/dev/null"); }

void SendKeys(const std::string& window, const std::string& keys) {
    std::system(("xdotool windowfocus --sync " + window + " key --clearmodifiers " + keys).c_str());
}

// GIMP started in the background, ended with the test.
class RunningGimp {
public:
    explicit RunningGimp(const std::string& command) {
        pid_ = fork();
        if (pid_ == 0) {
            execl("/bin/sh", "sh", "-c", ("exec " + command).c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    ~RunningGimp() {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    RunningGimp(const RunningGimp&) = delete;
    RunningGimp& operator=(const RunningGimp&) = delete;

private:
    pid_t pid_ = -1;
};

TEST(GimpInteractiveTest, DialogOverGimpThenOkReducesAndOneUndoRestores) {
    const path out = gimptest::FreshFolder(DECIMORA_GIMP_TEST_OUT);
    const path input = out / "rgb8.png";
    clitest::WriteTestImage(input.string(), clitest::PatternImage(61, 45, 3, 8, 300.0), imagefiles::ImageFormat::png);
    const gimptest::Profiles profiles(out / "profiles");
    const std::string batch = "(let* ((image (car (gimp-file-load RUN-NONINTERACTIVE \"" + input.string() + "\" \"" +
                              input.string() + "\"))) (layer (car (gimp-image-get-active-drawable image))))"
                              " (gimp-display-new image) (gimp-image-clean-all image)"
                              " (plug-in-decimora-reduce RUN-INTERACTIVE image layer 0))";
    const RunningGimp gimp(gimptest::GimpCommand("gimp-2.10", profiles.Copy("gui"), "-u DECIMORA_PLUGIN_DIR", batch,
                                                 out / "gimp.log", true));

    std::string dialog;
    ASSERT_TRUE(WaitFor([&] { return !(dialog = FindWindow("^Decimora$")).empty(); }, 90))
        << gimptest::ReadText(out / "gimp.log");
    const std::string image = FindWindow(" 61x45 ");
    ASSERT_FALSE(image.empty()) << "no GIMP image window under the dialog";
    std::this_thread::sleep_for(std::chrono::seconds(1));
    std::system(("import -window root '" + (out / "dialog-over-gimp.png").string() + "'").c_str());

    // The OK button's centre in the dialog (its nib: 214, 13, 90 x 32 from
    // the bottom left of a 320 x 180 window). The dialog misses a press and
    // release that come at once, so they come apart.
    std::system(("xdotool mousemove --window " + dialog + " 259 151 sleep 0.5 mousedown 1 sleep 0.3 mouseup 1").c_str());
    std::string reduced;
    ASSERT_TRUE(WaitFor([&] { return WindowName(image).find(" 61x45 ") == std::string::npos; }, 60))
        << WindowName(image);
    reduced = WindowName(image);
    EXPECT_NE(reduced.find(" 30x22 "), std::string::npos) << reduced;  // by the dialog's first factor, 2

    SendKeys(image, "ctrl+z");
    EXPECT_TRUE(WaitFor([&] { return WindowName(image).find(" 61x45 ") != std::string::npos; }, 30))
        << WindowName(image);
    SendKeys(image, "ctrl+y");
    EXPECT_TRUE(WaitFor([&] { return WindowName(image) == reduced; }, 30)) << WindowName(image);
    std::system(("import -window root '" + (out / "after-redo.png").string() + "'").c_str());
}

}  // namespace
