// File URLs as paths.
#include <cstring>

#include "standin/corefoundation/Objects.h"

using cfstandin::Checked;
using cfstandin::Require;

Boolean CFURLGetFileSystemRepresentation(CFURLRef url, Boolean /*resolveAgainstBase*/, UInt8* buffer,
                                         CFIndex maxBufferLength) {
    const CFStandinUrl* file = Checked<CFStandinUrl>(url, "CFURLGetFileSystemRepresentation");
    Require(buffer != nullptr, "CFURLGetFileSystemRepresentation", "null buffer");
    if (maxBufferLength <= 0 || file->path.size() >= static_cast<size_t>(maxBufferLength)) return false;
    std::memcpy(buffer, file->path.c_str(), file->path.size() + 1);
    return true;
}
