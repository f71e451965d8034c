// Load: a thousand small, varied image files through one run of
// `decimora reduce --factor 2 --jobs 2 --out-dir OUT`, as a user would reduce
// a folder of images. The run must reduce every file exactly as a run on that
// file alone does, leave nothing but its outputs behind, and keep each
// worker's memory flat from its 100th file to its last.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "cli/ProgramRun.h"
#include "load/LoadImages.h"
#include "load/WorkerMemory.h"
#include "imagefiles/ImageFile.h"

namespace {

namespace fs = std::filesystem;
using loadtest::InputImage;

constexpr int kFileCount = 1000;
constexpr int kWorkers = 2;
// Every kSampleStep-th file is also reduced in a run of its own (50 runs).
constexpr size_t kSampleStep = 20;
// A worker's memory is compared with what it held after this many files,
// when its host, plug-ins and allocator have settled.
constexpr size_t kSettledFiles = 100;
constexpr double kAllowedMemoryChange = 0.05;
// PNG keeps whole pixels per metre, which read back to within 0.01 ppi.
constexpr double kResolutionTolerance = 0.011;

// glibc raises its mapping threshold each time a large mapped block is
// freed; the image buffers then come from the heap, and what stays resident
// swings by a few buffers (here about 14 %) from one file to the next. With
// the threshold fixed every image buffer is mapped and unmapped on its own,
// so resident memory follows what the program really holds.
constexpr const char* kSteadyAllocator = "glibc.malloc.mmap_threshold=32768";

bool SanitizedBuild() {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
    return true;
#else
    return false;
#endif
#else
    return false;
#endif
}

// The leak checker of a sanitized build notes in each forked worker's stderr
// that the parent's threads were not suspended ("==123==Running thread ...").
std::string WithoutSanitizerNotes(const std::string& text) {
    if (!SanitizedBuild()) return text;
    std::string kept;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = std::min(text.find('\n', start), text.size() - 1) + 1;
        if (text.compare(start, 2, "==") != 0) kept += text.substr(start, end - start);
        start = end;
    }
    return kept;
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::vector<std::string> NamesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// What is wrong with one output, or "" when it is the input reduced by 2:
// same format and layout, half the size (rounded down), and half the
// resolution (truncated to whole pixels per inch).
std::string OutputFault(const imagefiles::ImageFile& input, const imagefiles::ImageFile& output) {
    const standin::Image& in = input.image;
    const standin::Image& out = output.image;
    std::string fault;
    auto expect = [&fault](bool holds, const std::string& what) {
        if (!holds) fault += (fault.empty() ? "" : ", ") + what;
    };
    expect(output.info.format == input.info.format, "format changed");
    expect(out.Width() == in.Width() / 2 && out.Height() == in.Height() / 2,
           "size " + std::to_string(out.Width()) + " x " + std::to_string(out.Height()) + " from " +
               std::to_string(in.Width()) + " x " + std::to_string(in.Height()));
    expect(out.Channels() == in.Channels() && out.BitsPerSample() == in.BitsPerSample(), "layout changed");
    const double resolution = std::trunc(in.Resolution() / 2);
    expect(std::fabs(out.Resolution() - resolution) <= kResolutionTolerance,
           "resolution " + std::to_string(out.Resolution()) + " instead of " + std::to_string(resolution));
    return fault;
}

// The batch run, made once for every test of the suite.
struct Batch {
    test_support::TemporaryFolder scratch;
    std::vector<InputImage> inputs;
    test_support::ProgramResult run;
    double seconds = 0;

    std::string InputFolder() const { return scratch / "in"; }
    std::string OutputFolder() const { return scratch / "out"; }
    std::string MemoryLogPath() const { return scratch / "memory.log"; }
};

class ReduceManyFiles : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        batch_ = std::make_unique<Batch>();
        fs::create_directory(batch_->InputFolder());
        fs::create_directory(batch_->OutputFolder());

        const auto writing = std::chrono::steady_clock::now();
        batch_->inputs = loadtest::PlanInputs(kFileCount);
        std::vector<std::string> arguments{"reduce",    "--factor", "2", "--jobs", std::to_string(kWorkers),
                                           "--out-dir", batch_->OutputFolder(), "--quiet"};
        for (const InputImage& input : batch_->inputs) {
            loadtest::WriteInput(batch_->InputFolder(), input);
            arguments.push_back(batch_->InputFolder() + "/" + input.name);
        }
        std::printf("[   load   ] wrote %d input files in %.1f s\n", kFileCount, SecondsSince(writing));

        const auto reducing = std::chrono::steady_clock::now();
        batch_->run = clitest::RunDecimora(
            arguments, {{"DECIMORA_MEMORY_LOG", batch_->MemoryLogPath()}, {"GLIBC_TUNABLES", kSteadyAllocator}});
        batch_->seconds = SecondsSince(reducing);
        std::printf("[   load   ] reduced %d files with %d workers in %.1f s (%.1f files/s)\n", kFileCount, kWorkers,
                    batch_->seconds, kFileCount / batch_->seconds);
    }

    static void TearDownTestSuite() { batch_.reset(); }

    void SetUp() override { ASSERT_EQ(batch_->run.status, 0) << batch_->run.err; }

    static std::unique_ptr<Batch> batch_;
};

std::unique_ptr<Batch> ReduceManyFiles::batch_;

TEST_F(ReduceManyFiles, EveryFileIsWrittenAndNothingElseIsLeft) {
    EXPECT_EQ(WithoutSanitizerNotes(batch_->run.err), "");
    EXPECT_EQ(batch_->run.out, "");
    std::vector<std::string> names;
    for (const InputImage& input : batch_->inputs) names.push_back(input.name);
    // Temporary outputs are dot files beside their targets: none may remain.
    EXPECT_EQ(NamesIn(batch_->OutputFolder()), names);
    EXPECT_EQ(NamesIn(batch_->InputFolder()), names);
    EXPECT_EQ(NamesIn(batch_->scratch.Path()), (std::vector<std::string>{"in", "memory.log", "out"}));
}

TEST_F(ReduceManyFiles, EachOutputHasHalfTheSizeAndResolution) {
    std::vector<std::string> faults;
    for (const InputImage& input : batch_->inputs) {
        const std::string fault = OutputFault(imagefiles::ReadImageFile(batch_->InputFolder() + "/" + input.name),
                                              imagefiles::ReadImageFile(batch_->OutputFolder() + "/" + input.name));
        if (!fault.empty()) faults.push_back(input.name + ": " + fault);
    }
    EXPECT_EQ(faults.size(), 0u) << "first: " << (faults.empty() ? "" : faults.front());
}

TEST_F(ReduceManyFiles, SampledOutputsEqualRunsOnTheirFileAlone) {
    test_support::TemporaryFolder single;
    const auto start = std::chrono::steady_clock::now();
    int runs = 0;
    for (size_t index = 0; index < batch_->inputs.size(); index += kSampleStep) {
        const std::string& name = batch_->inputs[index].name;
        SCOPED_TRACE(name);
        const test_support::ProgramResult run = clitest::RunDecimora(
            {"reduce", batch_->InputFolder() + "/" + name, "--factor", "2", "-o", single / name, "--quiet"});
        ++runs;
        ASSERT_EQ(run.status, 0) << run.err;
        const imagefiles::ImageFile alone = imagefiles::ReadImageFile(single / name);
        const imagefiles::ImageFile inBatch = imagefiles::ReadImageFile(batch_->OutputFolder() + "/" + name);
        EXPECT_EQ(inBatch.info.format, alone.info.format);
        EXPECT_TRUE(inBatch.image == alone.image) << "the pixels differ from the single run's";
    }
    std::printf("[   load   ] %d single-file runs in %.1f s\n", runs, SecondsSince(start));
}

TEST_F(ReduceManyFiles, EachWorkersMemoryStaysFlat) {
    if (SanitizedBuild()) {
        GTEST_SKIP() << "sanitized build: the sanitizer's allocator holds freed memory in quarantine, so "
                        "resident memory says nothing about growth";
    }
    const std::map<pid_t, loadtest::WorkerMemory> workers = loadtest::ReadMemoryLog(batch_->MemoryLogPath());
    ASSERT_EQ(workers.size(), static_cast<size_t>(kWorkers));
    size_t files = 0;
    for (const auto& [pid, memory] : workers) files += memory.residentKib.size();
    EXPECT_EQ(files, static_cast<size_t>(kFileCount));

    for (const auto& [pid, memory] : workers) {
        SCOPED_TRACE("worker " + std::to_string(pid));
        const std::vector<long>& figures = memory.residentKib;
        if (figures.front() < 0) GTEST_SKIP() << "no /proc/self/statm here to read resident memory from";
        ASSERT_GE(figures.size(), kSettledFiles) << "too few files to compare";
        const long settled = figures[kSettledFiles - 1];
        const long last = figures.back();
        const double change = static_cast<double>(last - settled) / static_cast<double>(settled);
        std::printf("[   load   ] worker %ld: %zu files, resident %ld KiB after file %zu, %ld KiB after file %zu "
                    "(%+.2f %%), %ld KiB after file 1\n",
                    static_cast<long>(pid), figures.size(), settled, kSettledFiles, last, figures.size(),
                    change * 100, figures.front());
        EXPECT_GT(settled, 0);
        EXPECT_LE(std::fabs(change), kAllowedMemoryChange)
            << settled << " KiB after file " << kSettledFiles << ", " << last << " KiB at the end";
    }
}

}  // namespace
