#include "imagefiles/JpegSupport.h"

#include <jerror.h>

#include <csetjmp>

namespace imagefiles {
namespace {

bool MeansLostPixels(int code) {
    switch (code) {
        case JWRN_JPEG_EOF:
        case JWRN_HIT_MARKER:
        case JWRN_MUST_RESYNC:
        case JWRN_HUFF_BAD_CODE:
        case JWRN_ARITH_BAD_CODE:
            return true;
        default:
            return false;
    }
}

void OnJpegError(j_common_ptr common) {
    JpegErrorManager* manager = reinterpret_cast<JpegErrorManager*>(common->err);
    (*common->err->format_message)(common, manager->message);
    std::longjmp(manager->jump, 1);
}

void OnJpegMessage(j_common_ptr common, int level) {
    if (level < 0 && MeansLostPixels(common->err->msg_code)) OnJpegError(common);
}

void IgnoreOutput(j_common_ptr) {}

}  // namespace

jpeg_error_mgr* InstallJpegErrorManager(JpegErrorManager* manager) {
    jpeg_std_error(&manager->base);
    manager->base.error_exit = OnJpegError;
    manager->base.emit_message = OnJpegMessage;
    manager->base.output_message = IgnoreOutput;
    manager->message[0] = '\0';
    return &manager->base;
}

}  // namespace imagefiles
