// The stand-in host: a strict, validator-like host for plug-in bundles.
//
// It serves the basic suite and the five suites the plug-in calls, holds
// documents with real pixels in memory, loads automation and filter plug-ins
// from their bundles, plays events on the target document, and keeps one
// history list per document. It counts every suite acquisition and handle,
// records every misuse (a release of a suite that is not held, a free of a
// dead handle, a call into a reserved slot) instead of crashing, and fails
// any operation on demand.
//
// One Host is alive at a time: the suite functions are plain C functions
// that reach it through Host::Current(). Constructing a second one throws
// std::logic_error. Destroying the host unloads its plug-ins first, while
// their suites can still be released.
//
// A run of a plug-in:
//     standin::Host host;
//     standin::Plugin& plugin = host.LoadPlugin(folder + "/Decimora.plugin");
//     host.AddDocument(3001, 2001, 3, 8, 300.0);
//     standin::ScriptParameters parameters;
//     parameters.descriptor = standin::Descriptor().PutInteger(fourcc::kFactorKey, 2);
//     standin::RunResult run = host.DoIt(plugin, parameters);
//     // run.result, run.parameters->descriptor (the recorded step),
//     // host.TargetDocument()->image, host.TargetDocument()->history,
//     // host.PlayedEvents(), host.LeakedHandles(), host.Errors()
//
// Result codes of refusals are named in host/HostResults.h.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "host/BasicSuite.h"
#include "host/HostTypes.h"
#include "standin/host/Descriptor.h"
#include "standin/host/Document.h"
#include "standin/host/FaultInjector.h"
#include "standin/host/FilterPlugin.h"
#include "standin/host/HandleTable.h"
#include "standin/host/Plugin.h"
#include "standin/host/Reference.h"
#include "standin/host/RunRecord.h"
#include "standin/host/SuiteLedger.h"

namespace standin {

// The action parameters of a "Do It" request, as the host fills them in and
// as the plug-in leaves them.
struct ScriptParameters {
    int32_t playInfo = 0;  // 1 asks the plug-in for its dialog
    // Starts at 1, so that a test sees the plug-in write its 0.
    int32_t recordInfo = 1;
    std::optional<Descriptor> descriptor;
};

// What a "Do It" request ended with.
struct RunResult {
    int32_t result = 0;  // the entry point's return
    // The action parameters after the call (absent when none were passed).
    // The descriptor the plug-in left there is the recorded step; the host
    // took it over and freed its handle.
    std::optional<ScriptParameters> parameters;
};

class Host {
public:
    Host();
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    // The live host, or null.
    static Host* Current();

    // ---- Suites -----------------------------------------------------------

    // The basic suite. AcquireSuite serves, by name and version, the five
    // suites of host/SuiteHolders.h at the versions named there; any other
    // pair gives host::kSuiteNotFound and a null table. ReleaseSuite gives one
    // acquisition back (releasing what is not held is recorded as an error
    // and answered host::kSuiteNotAcquired). IsEqual compares two C strings.
    SPBasicSuite* BasicSuite();

    // AcquireSuite of `suiteName` (any version) fails with `code` from now
    // on. Same as FailOperation("AcquireSuite:" + suiteName, code).
    void FailSuite(const std::string& suiteName, int32_t code);

    // Acquisitions not yet released, over every suite.
    int OutstandingSuiteAcquisitions() const;
    const SuiteLedger& Suites() const { return suites_; }

    // Every URL the GetFileList suite's BrowseUrl was asked to open, in order.
    const std::vector<std::string>& BrowsedUrls() const { return browsedUrls_; }

    // ---- Fault injection --------------------------------------------------
    // Every suite function but IsEqual (which cannot report failure) is an
    // operation. Names: "AcquireSuite", "ReleaseSuite",
    // "descriptor.Make", "descriptor.Free", "descriptor.HasKey",
    // "descriptor.PutInteger", "descriptor.PutFloat", "descriptor.PutUnitFloat",
    // "descriptor.PutEnumerated", "descriptor.GetInteger",
    // "descriptor.GetUnitFloat", "reference.Make", "reference.Free",
    // "reference.PutEnumerated", "Play", "Get", "StringIDToTypeID",
    // "SuspendHistory", "GetPluginName", "BrowseUrl". Qualified names:
    // "AcquireSuite:<suite name>", "ReleaseSuite:<suite name>",
    // "Play:<event>" (the event's four characters, e.g. "Play:CnvS", or the
    // string ID of a filter event, "Play:Korvan Moirenix") and
    // "StringIDToTypeID:<string>".
    //
    // A failed operation returns the code and changes nothing, except that a
    // failed Free or ReleaseSuite still frees or releases, so that a sweep
    // over every operation of a run strands nothing. Its out handle or table
    // is set to null; a failed read leaves its out values as they were. A
    // code that does not fit the 16-bit result of an action suite is
    // answered host::kBadParameter. A code of 0 answers success without doing
    // anything: a Get then hands back no descriptor.

    // Fails calls of `name` (plain or qualified) with `code`: every call when
    // `occurrence` is 0, else only that matching call of the run (1-based).
    void FailOperation(const std::string& name, int32_t code, int occurrence = 0);
    // Fails the n-th operation of the run (1-based), whatever it is; 0 stops.
    void FailNthOperation(int64_t n, int32_t code);
    // Removes every fault rule, FailSuite's included.
    void ClearFaults();

    // Operations since the run began (or since the host was made), and, when
    // logging was asked for, their names in order (qualified where the
    // operation has a qualifier). Off by default: only tests and
    // decimora-host read the log, and a production run would pay a string
    // for every suite call.
    int64_t OperationCount() const { return faults_.OperationCount(); }
    void LogOperations(bool log) { logOperations_ = log; }
    const std::vector<std::string>& OperationLog() const { return operationLog_; }

    // Starts a run: operation and occurrence counts begin again at 0, and the
    // operation log and the run's record are cleared. About and DoIt call it.
    void BeginRun();

    // ---- Misuse and leaks -------------------------------------------------

    // Every misuse the host saw, as readable sentences, in order.
    const std::vector<std::string>& Errors() const { return errors_; }

    // Calls into reserved (unimplemented) slots of the suite tables.
    const std::vector<std::string>& UnimplementedCalls() const { return unimplementedCalls_; }

    // Descriptors and references the plug-in made or was given and has not
    // freed. Between runs a well-behaved plug-in holds none.
    int LeakedHandles() const { return handles_.LiveCount(Owner::plugin); }
    std::vector<std::string> LeakedHandleDescriptions() const { return handles_.DescribeLive(Owner::plugin); }

    // ---- Documents --------------------------------------------------------

    // Opens a black document and makes it the target. Throws
    // std::invalid_argument for a shape Image::CheckGeometry refuses or a
    // resolution Image::CheckResolution refuses.
    Document& AddDocument(int32_t width, int32_t height, int32_t channels, int32_t bitsPerSample,
                          double resolution, const std::string& name = "Untitled");

    // The target (active) document, or null; null makes no document the target.
    Document* TargetDocument() { return target_; }
    void SetTargetDocument(Document* document) { target_ = document; }

    // ---- Plug-ins ---------------------------------------------------------

    // Loads the bundle at `bundlePath` and registers its event. Throws
    // std::runtime_error naming the bundle and the reason when the bundle,
    // its registration or its module is refused, or when its event id or
    // string ID is taken.
    Plugin& LoadPlugin(const std::string& bundlePath);

    // Loads every "*.plugin" folder in `folder`, in name order. Returns the
    // messages of the bundles it refused; the others stay loaded.
    std::vector<std::string> LoadPluginFolder(const std::string& folder);

    // $DECIMORA_PLUGIN_DIR, else the folder "plug-ins" next to the program,
    // else, for an installed program, ../lib/decimora/plug-ins from it.
    static std::string DefaultPluginFolder();

    // The loaded plug-in with that menu name, or null.
    Plugin* FindPlugin(const std::string& menuName);
    const std::vector<std::unique_ptr<Plugin>>& Plugins() const { return plugins_; }

    // Closes the plug-in's module (its static destructors release its
    // suites) and forgets its event.
    void UnloadPlugin(Plugin& plugin);

    // Modules loaded from now on stay mapped when unloaded, and their static
    // destructors run at process exit, after the host (their suite releases
    // are then answered host::kNoHost). For leak-checked runs of Objective-C
    // modules: the Objective-C runtime keeps what a module registered when it
    // loaded, and once the module is unmapped the leak checker can no longer
    // say whose that memory is.
    void KeepModulesMapped(bool keep) { modulesStayMapped_ = keep; }

    // ---- Requests ---------------------------------------------------------

    // "SP Interface"/"About" with the message header. Returns the entry
    // point's result.
    int32_t About(Plugin& plugin);

    // "PS Photoshop"/"Do It" with PSActionsPlugInMessage, and action
    // parameters when `parameters` is given (their descriptor becomes a
    // plug-in-owned handle). A plug-in that is already running answers
    // host::kBusy; an exception out of the entry point is recorded and answered
    // host::kPluginThrew. Host strings made for the run are freed after it.
    RunResult DoIt(Plugin& plugin, const std::optional<ScriptParameters>& parameters = std::nullopt);

    // Plays an event on the target document as the control suite's Play
    // does: 'CnvS', 'ImgS', a filter's event (its pixels restored if the
    // filter fails) or an automation plug-in's own event (a replay: "Do It"
    // with `arguments` as its descriptor). Outside a history block each
    // change adds a history state named after the event. Inside one, a
    // filter that takes sampled requests may run later, when an event needs
    // its result (HostFilters.cpp); what every event sees is the same.
    // `result`, when given, receives the event's result descriptor.
    int32_t Play(DescriptorEventID event, const Descriptor& arguments,
                 PlayDialogOptions options = host::kDisplayNoDialogs, Descriptor* result = nullptr);

    // Events played since the run began (host calls included), in the order
    // they finished: a replayed automation event comes after the events it
    // played.
    const std::vector<PlayedEvent>& PlayedEvents() const { return run_.playedEvents; }

    // What the host saw of the run since it began: its history block, its
    // events and a scratch-space failure (RunRecord.h).
    const RunRecord& LastRun() const { return run_; }

    // The id registered under a string ID: "canvasSize", "imageSize", and
    // every loaded plug-in's event.string.
    std::optional<DescriptorEventID> EventForString(const std::string& stringId) const;

    // Receives the progress (0 to 1) of every filter played from now on;
    // answering false asks the filter to stop (the play then fails and the
    // pixels are put back). An empty function listens to nothing.
    void SetFilterProgress(std::function<bool(double)> listener) { filterProgress_ = std::move(listener); }

    // What the last history callback returned.
    int32_t LastHistoryResult() const { return lastHistoryResult_; }

    // ---- Used by the suite functions --------------------------------------

    // Counts one operation, logs it when asked to, and returns the code to
    // fail it with if a fault rule says so.
    std::optional<int32_t> BeginOperation(const std::string& name, const std::string& qualifier = std::string());
    void RecordError(const std::string& error);
    void RecordUnimplementedCall(const std::string& slot);
    SuiteLedger& MutableSuites() { return suites_; }
    void RecordBrowsedUrl(const std::string& url) { browsedUrls_.push_back(url); }
    HandleTable& Handles() { return handles_; }

    // The properties of what `reference` addresses: of the target document,
    // 'Rslt' (unit float '#Rsl', pixels per inch), 'Wdth' and 'Hght' (unit
    // float '#Rlt', points: pixels * 72 / resolution).
    int32_t GetProperties(const Reference& reference, Descriptor* properties);

    // Snapshots the target document, calls `callback(data)` once, and then
    // adds one history state `name` when it returned 0, or puts the document
    // back exactly as it was. host::kBusy inside another history block.
    int32_t SuspendHistory(const Reference& reference, HistoryCallback callback, void* data, const std::string& name);

    // What running out of memory answers: kNotEnoughMemory, with the reason
    // kept in the run's record when the scratch space ran out.
    int32_t OutOfMemory(const std::bad_alloc& error);

    // The plug-in behind an SPPlugin record the host handed out, or null.
    Plugin* FindPlugin(SPPlugin* ref);

    // A host-owned string, freed when the current run ends.
    ASZString MakeRunString(const std::string& text);

    // How an event is named in fault rules and the played-event list.
    std::string EventName(DescriptorEventID event) const;

private:
    int32_t DispatchEvent(DescriptorEventID event, const Descriptor& arguments, PlayDialogOptions options);
    int32_t PlayOnTarget(const char* historyName, int32_t (*play)(const Descriptor&, Image&),
                         const Descriptor& arguments);
    // A filter played and checked but not yet run (HostFilters.cpp).
    struct DeferredFilter {
        Plugin* plugin;
        Descriptor arguments;
        Document* document;
        double resolution;  // the document's when the filter was played
    };
    int32_t PlayFilter(Plugin& filter, const Descriptor& arguments);
    int32_t PlayImageSizeOnTarget(const Descriptor& arguments);
    // A request for `filter` on `pixels`, which a check or a sampled request
    // only reads.
    FilterRequest FilterRequestFor(const DeferredFilter& filter, const uint8_t* pixels);
    int32_t CallFilter(Plugin& filter, const FilterRequest& request);
    int32_t RunWholeFilter(const DeferredFilter& filter);
    int32_t RunSampledFilter(const DeferredFilter& filter, Image& shrunk);
    // Runs a deferred filter on the whole image; 0 when there is none.
    int32_t FinishDeferredFilter();
    Plugin* PluginForEvent(DescriptorEventID event);
    void RegisterEvent(Plugin& plugin);
    int32_t CallEntry(Plugin& plugin, const char* caller, const char* selector, void* message);
    // Marks the time of one request (About, DoIt, a replay): the outermost
    // one starts the run and frees the run's strings at its end.
    class RequestScope {
    public:
        explicit RequestScope(Host& host);
        ~RequestScope();
        RequestScope(const RequestScope&) = delete;
        RequestScope& operator=(const RequestScope&) = delete;

    private:
        Host& host_;
    };
    std::optional<Descriptor> TakeOverDescriptor(ActionDescriptorHandle handle);

    SuiteLedger suites_;
    FaultInjector faults_;
    HandleTable handles_;
    bool logOperations_ = false;
    std::vector<std::string> operationLog_;
    std::vector<std::string> errors_;
    std::vector<std::string> unimplementedCalls_;
    std::vector<std::string> browsedUrls_;

    std::vector<std::unique_ptr<Document>> documents_;
    Document* target_ = nullptr;
    bool historySuspended_ = false;
    std::optional<DeferredFilter> deferredFilter_;
    int32_t lastHistoryResult_ = 0;
    RunRecord run_;

    std::vector<std::unique_ptr<Plugin>> plugins_;
    std::map<std::string, DescriptorEventID> stringIds_;
    DescriptorEventID nextGeneratedEvent_ = 0x00010001;
    int requestDepth_ = 0;
    bool modulesStayMapped_ = false;
    std::vector<ASZString> runStrings_;
    std::function<bool(double)> filterProgress_;
};

}  // namespace standin
