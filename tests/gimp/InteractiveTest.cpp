// decimora-gimp run interactively in GIMP's own window on a virtual display.
// Its factor dialog is a GTK window of the plug-in over GIMP (a screenshot
// is kept in the test's output folder) and no window of the bundle's own
// toolkit appears. Cancel leaves the image clean; a factor raised by one
// and OK reduce it, one Undo brings the original back and one Redo the
// result again. On a large image the progress bar's Cancel ends the run
// within a second and leaves the image clean. GIMP's image window title
// ends in the image's size and starts with "*" once the image has an undo
// step, which is how the test sees each step.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <thread>

#include "cli/ImageFixtures.h"
#include "gimp/GimpConsole.h"

namespace {

using gimptest::fs::path;
using Clock = std::chrono::steady_clock;

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

bool WaitFor(const std::function<bool()>& condition, double seconds, int pollMilliseconds = 200) {
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    while (Clock::now() < end) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(pollMilliseconds));
    }
    return condition();
}

// The first visible window whose name matches `pattern`, or "".
std::string FindWindow(const std::string& pattern) {
    const std::string ids = Output("xdotool search --onlyvisible --name '" + pattern + "' 2>/dev/null");
    return ids.substr(0, ids.find('\n'));
}

// Every window of GNUstep's AppKit (its class), mapped or not.
std::string GnustepWindows() { return Output("xdotool search --class GNUstep 2>/dev/null"); }

std::string WindowName(const std::string& window) { return Output("xdotool getwindowname " + window + " 2>/dev/null"); }

std::string WindowPid(const std::string& window) { return Output("xdotool getwindowpid " + window + " 2>/dev/null"); }

// The name of the program that owns the window.
std::string WindowProgram(const std::string& window) {
    const std::string pid = WindowPid(window);
    return pid.empty() ? "" : gimptest::ReadText("/proc/" + pid + "/comm");
}

void SendKeys(const std::string& window, const std::string& keys) {
    std::system(("xdotool windowfocus --sync " + window + " key --clearmodifiers " + keys).c_str());
}

void Screenshot(const path& file) { std::system(("import -window root '" + file.string() + "'").c_str()); }

// Whether the image window shows `size` ("61x45") and no undo step.
bool ShowsClean(const std::string& window, const std::string& size) {
    const std::string name = WindowName(window);
    return name.find(" " + size + " ") != std::string::npos && name.rfind('*', 0) != 0;
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

// GIMP shows `image` (a Script-Fu expression) clean and runs the plug-in
// interactively on it `runs` times.
std::string Batch(const std::string& image, int runs) {
    std::string batch = "(let* ((image " + image + ") (layer (car (gimp-image-get-active-drawable image))))"
                        " (gimp-display-new image) (gimp-image-clean-all image)";
    for (int run = 0; run < runs; ++run) batch += " (plug-in-decimora-reduce RUN-INTERACTIVE image layer 0)";
    return batch + ")";
}

const char* const kDialogTitle = "^Reduce without Moir";

class GimpInteractiveTest : public testing::Test {
protected:
    void SetUp() override {
        out_ = gimptest::FreshFolder(path(DECIMORA_GIMP_TEST_OUT) /
                                     testing::UnitTest::GetInstance()->current_test_info()->name());
    }
    void StartGimp(const std::string& batch) {
        const gimptest::Profiles profiles(out_ / "profiles");
        gimp_.emplace(gimptest::GimpCommand("gimp-2.10", profiles.Copy("gui"), "-u DECIMORA_PLUGIN_DIR", batch,
                                            out_ / "gimp.log", true));
    }
    // The factor dialog of a plug-in process other than `previousPid` (a
    // new process may get the same window id).
    std::string AwaitDialog(const std::string& previousPid = "") {
        std::string dialog;
        const bool shown = WaitFor(
            [&] {
                dialog = FindWindow(kDialogTitle);
                return !dialog.empty() && WindowPid(dialog) != previousPid;
            },
            90);
        return shown ? dialog : "";
    }

    path out_;
    std::optional<RunningGimp> gimp_;
};

TEST_F(GimpInteractiveTest, GtkDialogOverGimpCancelThenOkWithFactorThreeAndOneUndoRestores) {
    const path input = out_ / "rgb8.png";
    clitest::WriteTestImage(input.string(), clitest::PatternImage(61, 45, 3, 8, 300.0), imagefiles::ImageFormat::png);
    StartGimp(Batch("(car (gimp-file-load RUN-NONINTERACTIVE \"" + input.string() + "\" \"" + input.string() + "\"))", 2));

    const std::string dialog = AwaitDialog();
    ASSERT_FALSE(dialog.empty()) << gimptest::ReadText(out_ / "gimp.log");
    std::string image;
    ASSERT_TRUE(WaitFor([&] { return !(image = FindWindow(" 61x45 ")).empty(); }, 10))
        << "no GIMP image window under the dialog";
    std::this_thread::sleep_for(std::chrono::seconds(1));
    Screenshot(out_ / "dialog-over-gimp.png");
    EXPECT_EQ(WindowProgram(dialog), "decimora-gimp\n");
    EXPECT_NE(Output("xprop -id " + dialog + " WM_CLASS").find("\"decimora-gimp\""), std::string::npos);
    EXPECT_EQ(GnustepWindows(), "") << "GNUstep made windows";

    const std::string firstPid = WindowPid(dialog);
    SendKeys(dialog, "Escape");
    const std::string second = AwaitDialog(firstPid);
    ASSERT_FALSE(second.empty()) << "no dialog for the second run";
    EXPECT_TRUE(ShowsClean(image, "61x45")) << WindowName(image);

    // Up raises the preset factor, 2 (no earlier reduction), to 3.
    SendKeys(second, "Up sleep 0.3 key --clearmodifiers Return");
    ASSERT_TRUE(WaitFor([&] { return WindowName(image).find(" 61x45 ") == std::string::npos; }, 60))
        << WindowName(image);
    const std::string reduced = WindowName(image);
    EXPECT_NE(reduced.find(" 20x15 "), std::string::npos) << reduced;
    EXPECT_EQ(GnustepWindows(), "") << "GNUstep made windows";

    SendKeys(image, "ctrl+z");
    EXPECT_TRUE(WaitFor([&] { return ShowsClean(image, "61x45"); }, 30)) << WindowName(image);
    SendKeys(image, "ctrl+y");
    EXPECT_TRUE(WaitFor([&] { return WindowName(image) == reduced; }, 30)) << WindowName(image);
    Screenshot(out_ / "after-redo.png");
}

TEST_F(GimpInteractiveTest, ProgressCancelEndsALargeRunWithinASecondAndLeavesTheImageClean) {
    StartGimp(Batch("(let* ((image (car (gimp-image-new 10000 10000 RGB)))"
                    " (layer (car (gimp-layer-new image 10000 10000 RGB-IMAGE \"big\" 100 LAYER-MODE-NORMAL))))"
                    " (gimp-image-insert-layer image layer 0 0) (gimp-drawable-fill layer FILL-WHITE) image)",
                    1));
    const std::string dialog = AwaitDialog();
    ASSERT_FALSE(dialog.empty()) << gimptest::ReadText(out_ / "gimp.log");
    std::string image;
    ASSERT_TRUE(WaitFor([&] { return !(image = FindWindow(" 10000x10000 ")).empty(); }, 10))
        << "no GIMP image window under the dialog";
    const std::string plugIn = "/proc/" + WindowPid(dialog);
    SendKeys(dialog, "Return");

    // Run from a batch command, the plug-in's progress has a window of its
    // own; its Cancel button sits at its bottom right.
    std::string progress;
    ASSERT_TRUE(WaitFor([&] { return !(progress = FindWindow("^Progress$")).empty(); }, 30));
    std::this_thread::sleep_for(std::chrono::seconds(1));
    Screenshot(out_ / "progress.png");
    const std::string size = Output("xdotool getwindowgeometry --shell " + progress + " | grep -E 'WIDTH|HEIGHT'");
    const int width = std::stoi(size.substr(size.find("WIDTH=") + 6));
    const int height = std::stoi(size.substr(size.find("HEIGHT=") + 7));
    const auto pressed = Clock::now();
    std::system(("xdotool mousemove --window " + progress + " " + std::to_string(width - 55) + " " +
                 std::to_string(height - 28) + " click 1")
                    .c_str());
    const bool ended = WaitFor(
        [&] {
            const std::string status = gimptest::ReadText(plugIn + "/status");
            return status.empty() || status.find("zombie") != std::string::npos;
        },
        5, 20);
    const double seconds = std::chrono::duration<double>(Clock::now() - pressed).count();
    EXPECT_TRUE(ended && seconds <= 1.0) << "the run went on for " << seconds << " s after Cancel";
    std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_TRUE(ShowsClean(image, "10000x10000")) << WindowName(image);
}

}  // namespace
