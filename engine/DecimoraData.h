// One "Do It" request: the run object that carries the request from the entry
// point to the end of the reduction, and the history callback the host runs.
//
// Failures travel two ways. A member records the host's result code in
// `error` and returns it. Hard failures are thrown: the run object itself
// (DecimoraData*), a suite holder's uint32_t code, or an int32_t code. The
// history callback Execute(void*) and the entry point turn them back into
// result codes; nothing thrown reaches the host.
#pragma once

#include <cstdint>

#include "engine/ImageProperties.h"
#include "host/PluginMessage.h"

class DecimoraDialog;

// The result of the latest history callback, from the moment it returns
// until DoIt resets it to 0.
extern int32_t gError;

// The history callback handed to SuspendHistory; `data` is the DecimoraData.
// Returns the run's result code and never lets an exception out.
int32_t Execute(void* data);

class DecimoraData {
public:
    static constexpr int kMaxFactorNames = 256;
    static constexpr int32_t kDefaultFactor = 2;
    // What GetDocumentSize, and ExecuteFilter after it, return when the
    // document could not be measured.
    static constexpr int32_t kNotMeasured = 1;

    DecimoraData();
    DecimoraData(const DecimoraData&) = delete;
    DecimoraData& operator=(const DecimoraData&) = delete;

    // Runs the request inside one history state named after the plug-in.
    // Returns 0; throws this object when the target cannot be set up.
    int32_t DoIt(PSActionsPlugInMessage* message);

    // The body of the history callback: settles the factor (script or
    // dialog), writes it back and runs the pipeline. Returns `error`.
    int32_t Execute();

    // --- Factor list and resolution table --------------------------------
    int32_t GetFactorNames();
    int32_t GetDocumentInfo();
    // Sets `name` for 0 <= index < count; otherwise leaves it untouched.
    void GetFactorName(int index, const char*& name);
    // The number `name` spells ("%d"); 0 when it does not begin with one.
    int32_t GetFactorByName(const char*& name);
    int32_t SetFactorByName(const char*& name);
    // Index of the first name whose number equals `factor`; 0 if none does.
    int32_t GetFactorIndex();
    static int32_t GetIntermediateResolution(int factor);
    bool CheckSizeLimit(ImageProperties* properties, char* message);

    // A factor the pipeline can divide by and double without overflow.
    static bool IsUsableFactor(int32_t candidate);

    // --- Script parameters ------------------------------------------------
    // 0 when there is nothing to read (no parameters, no descriptor, no
    // factor key) or the factor was read; otherwise the host's code.
    int32_t ReadScriptParams();
    // Hands the host a fresh descriptor with the factor in place of the old
    // one, which is freed, or, when `replaced` is given, handed to the caller.
    int32_t WriteScriptParams(ActionDescriptorHandle* replaced = nullptr);

    // --- Document measurement ---------------------------------------------
    // 0 on success, kNotMeasured on failure. The failing call's code is left
    // in `error`; kDescriptorNotFound when the host answered without one.
    int32_t GetDocumentSize(ImageProperties* properties);

    // --- Action steps: each returns the host's result, 0 on success --------
    int32_t PlayCrop(int width, int height);
    int32_t PlayResolution(double resolution);
    int32_t PlayMoirenixFilter(int value, int mode);
    int32_t PlayImageSize(int width, int height);

    // --- Pipeline ---------------------------------------------------------
    int32_t ExecuteFilter();

    int32_t count;
    const char* factorNames[kMaxFactorNames];
    int32_t factor;
    int32_t error;
    ActionParameters* actionParams;
    DecimoraDialog* dialog;

private:
    // Records `result` in `error` and returns it.
    int32_t Record(int32_t result);
    // Shared by the crop, resolution and resize steps: plays `event` with the
    // entries `fill` puts into a fresh descriptor.
    template <class Fill>
    int32_t PlayEvent(uint32_t event, Fill fill);
};
