// What the JPEG reader and writer share: an error manager that records
// libjpeg's message and jumps back to the setjmp of the libjpeg call in
// progress, and prints nothing. As with PNG, the functions holding that
// setjmp keep only plain data alive.
#pragma once

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace imagefiles {

struct JpegErrorManager {
    jpeg_error_mgr base;  // first, so that libjpeg's pointer to it is ours too
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

// Sets `manager` up with our handlers; the result goes into the libjpeg
// structure's `err` before it is created. Warnings that mean
// lost pixels (premature end of data, corrupt entropy-coded data) are
// raised as errors: libjpeg would fill the missing part with gray and
// report success. Others, such as an odd but decodable progression of
// scans, are ignored as other decoders ignore them.
jpeg_error_mgr* InstallJpegErrorManager(JpegErrorManager* manager);

}  // namespace imagefiles
