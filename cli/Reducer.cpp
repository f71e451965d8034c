#include "cli/Reducer.h"

#include <filesystem>
#include <stdexcept>
#include <system_error>
#include <utility>

#include "host/FourCharCodes.h"
#include "cli/ErrorReport.h"
#include "cli/OutputFormat.h"
#include "imagefiles/ImageFile.h"
#include "imagefiles/FormatDetection.h"
#include "imagefiles/LightEncoding.h"

namespace cli {

namespace fs = std::filesystem;

namespace {

// Shares of a file's progress: reading, then the plug-in's run, then writing.
constexpr double kReadDone = 0.1;
constexpr double kRunDone = 0.9;

// A failure of one file, whose message the thrower has made to name it.
class FileFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Adds a remark for the user to `remarks`, once.
void Remark(std::string* remarks, const std::string& remark) {
    if (remarks->find(remark) != std::string::npos) return;
    if (!remarks->empty()) *remarks += "; ";
    *remarks += remark;
}

// The colour profile the filter decodes the file's samples to light with:
// none when reducing coded values, or when the file's encoding cannot be
// decoded, which a remark then says.
std::vector<uint8_t> ProfileForFilter(const imagefiles::ImageFile& file, ToneMode tone, std::string* remarks) {
    if (tone == ToneMode::coded) return {};
    imagefiles::LightEncoding light = imagefiles::LightEncodingOf(file);
    if (light.profile.empty()) Remark(remarks, "reduced as coded values: " + light.whyNot);
    return std::move(light.profile);
}

// "scan.tif", or "scan.tif, page 2 of 5" for a file of several pages.
std::string PageSubject(const std::string& input, int32_t page, int32_t pageCount) {
    if (pageCount == 1) return input;
    return input + ", page " + std::to_string(page + 1) + " of " + std::to_string(pageCount);
}

// Only TIFF files hold several pages; a file of several converted to
// another format is refused before any work.
void CheckPagesFit(const FileJob& job, imagefiles::ImageFormat inputFormat, int32_t pageCount) {
    const imagefiles::ImageFormat format = OutputFormat(job, inputFormat);
    if (pageCount == 1 || format == imagefiles::ImageFormat::tiff) return;
    throw FileFailure(FileMessage(job.output, std::string(imagefiles::FormatName(format)) + " files hold one image, and " +
                                                  job.input + " has " + std::to_string(pageCount) + " pages"));
}

void CheckFactorFits(const std::string& input, const standin::Image& image, std::optional<int32_t> factor) {
    if (!factor || (image.Width() >= *factor && image.Height() >= *factor)) return;
    throw FileFailure(FileMessage(input, std::to_string(image.Width()) + " x " + std::to_string(image.Height()) +
                                             " pixels is smaller than the factor " + std::to_string(*factor)));
}

}  // namespace

imagefiles::ReadOptions FileReadOptions(const ReduceSettings& settings) {
    imagefiles::ReadOptions options;
    if (settings.maxPixels) options.maxPixels = *settings.maxPixels;
    return options;
}

Reducer::Reducer(const ReduceSettings& settings) : settings_(settings), runner_(settings_.pluginFolder) {}

runner::FileResult Reducer::Reduce(const FileJob& job, const ProgressCallback& progress, EarlyRead* early) {
    const ProgressCallback report = progress ? progress : [](double) {};
    try {
        return ReduceFile(job, report, early);
    } catch (const FileFailure& failure) {
        return {runner::Outcome::failed, failure.what()};
    } catch (const imagefiles::ImageFileError& error) {
        return {runner::Outcome::failed, error.what()};
    } catch (const runner::RecordedStepError& error) {
        return {runner::Outcome::failed, error.what()};
    } catch (const std::exception& error) {
        // Whatever else stops this file (memory, a shape the host refuses)
        // must not stop the others.
        return {runner::Outcome::failed, FileMessage(job.input, error.what())};
    }
}

runner::FileResult Reducer::ReduceFile(const FileJob& job, const ProgressCallback& progress, EarlyRead* early) {
    CheckOutputAllowed(job);
    progress(0.0);
    imagefiles::ReadOptions readOptions = FileReadOptions(settings_);
    const bool readEarly = early != nullptr && early->Path() == job.input;
    imagefiles::ImageFile first = readEarly ? early->Take() : imagefiles::ReadImageFile(job.input, readOptions);
    const int32_t pageCount = first.pageCount;
    CheckPagesFit(job, first.info.format, pageCount);

    std::vector<imagefiles::ImageFile> pages;
    std::optional<standin::Descriptor> firstPageStep;
    std::string remarks;
    for (int32_t page = 0; page < pageCount; ++page) {
        readOptions.page = page;
        imagefiles::ImageFile file = page == 0 ? std::move(first) : imagefiles::ReadImageFile(job.input, readOptions);
        file.info = OutputInfo(job, file);
        const ProgressCallback pageProgress = [&progress, page, pageCount](double fraction) {
            progress((page + fraction) / pageCount);
        };
        PageResult result = ReducePage(PageSubject(job.input, page, pageCount), std::move(file), pageProgress,
                                       firstPageStep, &remarks);
        if (result.outcome.outcome != runner::Outcome::reduced) return result.outcome;
        if (page == 0) firstPageStep = result.recorded;
        pages.push_back(std::move(result.page));
    }

    imagefiles::WriteOptions options;
    options.quality = settings_.quality;
    options.overwrite = settings_.force || settings_.inPlace;
    for (const std::string& warning : imagefiles::WriteImagePages(job.output, pages, options)) Remark(&remarks, warning);
    if (!settings_.recordFile.empty()) {
        const runner::RecordedStep step{runner_.DecimoraEvent(), *firstPageStep};
        runner::WriteRecordedStepFile(settings_.recordFile, step, settings_.force);
    }
    progress(1.0);
    return {runner::Outcome::reduced, remarks.empty() ? std::string() : FileMessage(job.input, remarks)};
}

Reducer::PageResult Reducer::ReducePage(const std::string& subject, imagefiles::ImageFile&& file,
                                        const ProgressCallback& progress,
                                        const std::optional<standin::Descriptor>& firstPageStep,
                                        std::string* remarks) {
    progress(kReadDone);
    CheckFactorFits(subject, file.image, KnownFactor());
    std::vector<uint8_t> colorProfile = ProfileForFilter(file, settings_.tone, remarks);
    runner::TargetPixels pixels{fs::path(subject).filename().string(), std::move(file.image), std::move(colorProfile)};
    // The filter's own progress fills the run's share of the bar.
    const runner::RunProgress runProgress = [&progress](double fraction) {
        progress(kReadDone + fraction * (kRunDone - kReadDone));
    };
    const runner::DoItReport report = RunPlugin(pixels, firstPageStep, runProgress);
    PageResult result{runner::JudgeRun(report, subject),
                      {std::move(pixels.image), std::move(file.info), file.pageCount},
                      report.recordedStep};
    if (result.outcome.outcome == runner::Outcome::reduced && !settings_.recordFile.empty() && !result.recorded &&
        !firstPageStep) {
        throw FileFailure(FileMessage(subject, "the plug-in left no step to record"));
    }
    progress(kRunDone);
    return result;
}

// Refuses, before any work, an output whose folder is missing, one that
// exists without --force, and one that is the input itself without
// --in-place.
void Reducer::CheckOutputAllowed(const FileJob& job) const {
    std::error_code error;
    const fs::path outputFolder = fs::path(job.output).parent_path();
    if (!outputFolder.empty() && !fs::is_directory(outputFolder, error)) {
        throw FileFailure(FileMessage(job.output, outputFolder.string() + " is not a folder"));
    }
    if (!settings_.inPlace && fs::equivalent(job.input, job.output, error)) {
        throw FileFailure(FileMessage(job.output, "is the input itself; give --in-place to replace it"));
    }
    if (!settings_.force && !settings_.inPlace && fs::exists(fs::symlink_status(job.output, error))) {
        throw FileFailure(FileMessage(job.output, "exists; give --force to replace it"));
    }
}

// Later pages replay the step the first page's run recorded, so that they
// are reduced alike and an interactive run asks once.
runner::DoItReport Reducer::RunPlugin(runner::TargetPixels& pixels,
                                      const std::optional<standin::Descriptor>& firstPageStep,
                                      const runner::RunProgress& progress) {
    const standin::Descriptor* replay = firstPageStep      ? &*firstPageStep
                                        : settings_.replay ? &settings_.replay->descriptor
                                                           : nullptr;
    if (replay != nullptr) return runner_.Play(pixels, *replay, progress);
    return runner_.DoIt(pixels, settings_.parameters, progress);
}

std::optional<int32_t> Reducer::KnownFactor() const {
    const standin::Descriptor* descriptor = nullptr;
    if (settings_.replay) {
        descriptor = &settings_.replay->descriptor;
    } else if (settings_.parameters && settings_.parameters->playInfo != host::kPlayInfoShowDialog &&
               settings_.parameters->descriptor) {
        descriptor = &*settings_.parameters->descriptor;
    }
    int32_t factor = 0;
    if (descriptor == nullptr || descriptor->GetInteger(fourcc::kFactorKey, &factor) != 0) return std::nullopt;
    return factor;
}

}  // namespace cli
