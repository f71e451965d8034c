// Owners of Little CMS handles, so that each is freed on every path.
#pragma once

#include <lcms2.h>

#include <memory>

namespace imagefiles {

struct ProfileCloser {
    void operator()(void* profile) const { cmsCloseProfile(profile); }
};
// An open profile (cmsHPROFILE), closed with the owner.
using UniqueProfile = std::unique_ptr<void, ProfileCloser>;

struct ToneCurveFreer {
    void operator()(cmsToneCurve* curve) const { cmsFreeToneCurve(curve); }
};
using UniqueToneCurve = std::unique_ptr<cmsToneCurve, ToneCurveFreer>;

}  // namespace imagefiles
