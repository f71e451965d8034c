#include "standin/host/Host.h"

#include <stdexcept>

#include "standin/host/PixelMemory.h"
#include "standin/host/SuiteTables.h"

namespace standin {

namespace {
Host* gCurrentHost = nullptr;
}  // namespace

Host::Host() {
    if (gCurrentHost != nullptr) throw std::logic_error("only one stand-in host may be alive at a time");
    gCurrentHost = this;
    stringIds_["canvasSize"] = fourcc::kCanvasSizeEvent;
    stringIds_["imageSize"] = fourcc::kImageSizeEvent;
}

// Plug-ins go first: their modules release their suites as they unload,
// through this host.
Host::~Host() {
    while (!plugins_.empty()) UnloadPlugin(*plugins_.back());
    handles_.Clear();
    gCurrentHost = nullptr;
}

Host* Host::Current() { return gCurrentHost; }

SPBasicSuite* Host::BasicSuite() { return BasicSuiteTable(); }

void Host::FailSuite(const std::string& suiteName, int32_t code) {
    faults_.FailOperation("AcquireSuite:" + suiteName, code);
}

int Host::OutstandingSuiteAcquisitions() const { return suites_.Outstanding(); }

void Host::FailOperation(const std::string& name, int32_t code, int occurrence) {
    faults_.FailOperation(name, code, occurrence);
}

void Host::FailNthOperation(int64_t n, int32_t code) { faults_.FailNthOperation(n, code); }

void Host::ClearFaults() { faults_.Clear(); }

void Host::BeginRun() {
    faults_.BeginRun();
    operationLog_.clear();
    run_ = RunRecord{};
}

std::optional<int32_t> Host::BeginOperation(const std::string& name, const std::string& qualifier) {
    if (logOperations_) operationLog_.push_back(qualifier.empty() ? name : name + ":" + qualifier);
    return faults_.Next(name, qualifier);
}

int32_t Host::OutOfMemory(const std::bad_alloc& error) {
    if (const auto* scratch = dynamic_cast<const ScratchSpaceError*>(&error)) {
        try {
            run_.scratchFailure = scratch->what();
        } catch (const std::bad_alloc&) {
            // Too short of memory to keep the reason; the code still says it.
        }
    }
    return host::kNotEnoughMemory;
}

void Host::RecordError(const std::string& error) { errors_.push_back(error); }

void Host::RecordUnimplementedCall(const std::string& slot) {
    unimplementedCalls_.push_back(slot);
    errors_.push_back("call into the unimplemented " + slot);
}

Document& Host::AddDocument(int32_t width, int32_t height, int32_t channels, int32_t bitsPerSample,
                            double resolution, const std::string& name) {
    documents_.push_back(
        std::make_unique<Document>(Document{name, Image(width, height, channels, bitsPerSample, resolution), {}, {}}));
    target_ = documents_.back().get();
    return *target_;
}

ASZString Host::MakeRunString(const std::string& text) {
    ASZString string = handles_.AddString(text, Owner::host);
    runStrings_.push_back(string);
    return string;
}

}  // namespace standin
