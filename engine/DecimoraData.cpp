#include "engine/DecimoraData.h"

#include <memory>

#include "dialog/DecimoraDialog.h"
#include "engine/ScopeHolders.h"
#include "host/FourCharCodes.h"

int32_t gError = 0;

namespace {

// The run's dialog for the time of its modal loop. The run forgets it however
// the loop ends, before it is destroyed.
class OpenDialog {
public:
    explicit OpenDialog(DecimoraData& run) : run_(run), dialog_(new DecimoraDialog(&run)) {
        run_.dialog = dialog_.get();
    }
    ~OpenDialog() { run_.dialog = nullptr; }
    OpenDialog(const OpenDialog&) = delete;
    OpenDialog& operator=(const OpenDialog&) = delete;

    bool DoModal() { return dialog_->DoModal(); }

private:
    DecimoraData& run_;
    std::unique_ptr<DecimoraDialog> dialog_;
};

// Puts the step's old descriptor back in place of the one written for this
// run, which is freed.
void HandBackStep(ActionParameters& params, ActionDescriptorHandle old, int32_t recordInfo) {
    AutoActionDescriptor written;
    *written.Out() = params.descriptor;
    params.descriptor = old;
    params.recordInfo = recordInfo;
}

}  // namespace

DecimoraData::DecimoraData()
    : count(0), factorNames{}, factor(kDefaultFactor), error(0), actionParams(nullptr), dialog(nullptr) {}

int32_t DecimoraData::Record(int32_t result) {
    error = result;
    return result;
}

int32_t DecimoraData::DoIt(PSActionsPlugInMessage* message) {
    AutoActionReference reference;
    if (Record(host::ToHostResult(sPSActionReference->Make(reference.Out()))) != 0) throw this;

    // The name stays the host's: it labels the history state and is not freed.
    ASZString name = nullptr;
    if (Record(sPSUIHooks->GetPluginName(message->plugin, &name)) != 0) throw this;

    if (Record(host::ToHostResult(sPSActionReference->PutEnumerated(reference.Get(), fourcc::kDocument,
                                                                    fourcc::kOrdinal, fourcc::kTarget))) != 0)
        throw this;

    actionParams = message->actionParameters;

    // The host calls ::Execute(this) once, before SuspendHistory returns; the
    // outcome reaches the host only through the callback's result.
    sPSActionControl->SuspendHistory(reference.Get(), &::Execute, this, name);

    error = 0;
    gError = 0;
    return 0;
}

int32_t DecimoraData::Execute() {
    GetFactorNames();
    error = 0;

    // A step without a factor keeps the default; a factor that is there but
    // cannot be read ends the run before anything is played or recorded.
    if (ReadScriptParams() != 0) return error;

    if (actionParams == nullptr || actionParams->playInfo == host::kPlayInfoShowDialog) {
        if (!OpenDialog(*this).DoModal()) return Record(host::kUserCanceled);
    }

    // A script may carry any integer; refuse one the pipeline cannot divide
    // by or double before anything is recorded or played.
    if (!IsUsableFactor(factor)) return Record(host::kParameterError);

    // The step's old descriptor is freed only after the pipeline: when the
    // host gave no description of the document nothing ran, and the step is
    // handed back as it was rather than recording a factor that never ran.
    const int32_t recordInfo = actionParams != nullptr ? actionParams->recordInfo : 0;
    AutoActionDescriptor replacedStep;
    const bool rewritten = WriteScriptParams(replacedStep.Out()) == 0 && actionParams != nullptr;
    const bool measuredNothing = ExecuteFilter() == kNotMeasured && error == host::kDescriptorNotFound;
    if (rewritten && measuredNothing) HandBackStep(*actionParams, replacedStep.Release(), recordInfo);
    return error;
}

int32_t Execute(void* data) {
    try {
        if (data == nullptr) {
            gError = host::kParameterError;
            throw gError;
        }
        gError = static_cast<DecimoraData*>(data)->Execute();
    } catch (DecimoraData* run) {
        gError = run->error;
    } catch (int32_t code) {
        gError = code;
    } catch (...) {
        gError = host::kUnknownExceptionError;
    }
    return gError;
}
