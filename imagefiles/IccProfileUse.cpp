#include "imagefiles/IccProfileUse.h"

#include <cctype>

#include "imagefiles/LcmsHandles.h"

namespace imagefiles {
namespace {

std::string SpaceDescription(uint32_t space) {
    switch (space) {
        case cmsSigCmykData: return "a CMYK profile";
        case cmsSigCmyData: return "a CMY profile";
        case cmsSigLabData: return "a Lab profile";
        case cmsSigXYZData: return "an XYZ profile";
        case cmsSigYCbCrData: return "a YCbCr profile";
        default: break;
    }
    std::string name = "a profile for the colour space '";
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = static_cast<char>((space >> shift) & 0xFF);
        name += std::isprint(static_cast<unsigned char>(c)) ? c : '?';
    }
    return name + "'";
}

bool HasLookupTables(cmsHPROFILE profile) {
    for (cmsTagSignature tag : {cmsSigAToB0Tag, cmsSigAToB1Tag, cmsSigAToB2Tag, cmsSigDToB0Tag}) {
        if (cmsIsTag(profile, tag)) return true;
    }
    return false;
}

// lcms2 reads a tag only when asked, so a damaged curve or colourant shows
// here.
std::string WhyCurvesCannotDecode(cmsHPROFILE profile, bool grey) {
    const std::vector<cmsTagSignature> curves =
        grey ? std::vector<cmsTagSignature>{cmsSigGrayTRCTag}
             : std::vector<cmsTagSignature>{cmsSigRedTRCTag, cmsSigGreenTRCTag, cmsSigBlueTRCTag};
    for (cmsTagSignature tag : curves) {
        const auto* curve = static_cast<const cmsToneCurve*>(cmsReadTag(profile, tag));
        if (curve == nullptr) return "its ICC profile is damaged";
        if (!cmsIsToneCurveMonotonic(curve)) return "its ICC profile has a tone curve that is not monotonic";
    }
    if (grey) return "";
    for (cmsTagSignature tag : {cmsSigRedColorantTag, cmsSigGreenColorantTag, cmsSigBlueColorantTag}) {
        if (cmsReadTag(profile, tag) == nullptr) return "its ICC profile is damaged";
    }
    return "";
}

}  // namespace

std::string WhyIccProfileCannotDecode(const std::vector<uint8_t>& bytes, int32_t channels) {
    const UniqueProfile profile(cmsOpenProfileFromMem(bytes.data(), static_cast<cmsUInt32Number>(bytes.size())));
    if (!profile) return "its ICC profile is damaged";
    // As a number: a damaged profile names spaces the enumeration lacks.
    const auto space = static_cast<uint32_t>(cmsGetColorSpace(profile.get()));
    const bool greyImage = channels <= 2;
    if (space != cmsSigGrayData && space != cmsSigRgbData) return "its ICC profile is " + SpaceDescription(space);
    if (greyImage && space == cmsSigRgbData) return "its ICC profile is an RGB profile on a grey image";
    if (!greyImage && space == cmsSigGrayData) return "its ICC profile is a grey profile on an RGB image";
    const bool hasCurves = greyImage ? cmsIsTag(profile.get(), cmsSigGrayTRCTag) : cmsIsMatrixShaper(profile.get());
    if (!hasCurves) {
        return HasLookupTables(profile.get()) ? "its ICC profile maps colour through lookup tables"
                                              : "its ICC profile has no tone curves";
    }
    return WhyCurvesCannotDecode(profile.get(), greyImage);
}

}  // namespace imagefiles
