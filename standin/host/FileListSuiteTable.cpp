// The GetFileList suite: opening a web address only records it.
#include "host/GetFileListSuite.h"
#include "standin/host/SuiteTables.h"

namespace standin {
namespace {

int32_t BrowseUrl(const char* url) {
    return RunSuiteFunction("BrowseUrl", [&](Host& host) -> int32_t {
        if (std::optional<int32_t> failure = host.BeginOperation("BrowseUrl")) return *failure;
        if (url == nullptr) {
            host.RecordError("BrowseUrl: null URL");
            return host::kBadParameter;
        }
        host.RecordBrowsedUrl(url);
        return 0;
    });
}

const GetFileListSuite fileListSuite = {
    UnimplementedSlot<SuiteId::fileList, 1>,
    UnimplementedSlot<SuiteId::fileList, 2>,
    UnimplementedSlot<SuiteId::fileList, 3>,
    BrowseUrl,
};

}  // namespace

const GetFileListSuite* FileListSuiteTable() { return &fileListSuite; }

}  // namespace standin
