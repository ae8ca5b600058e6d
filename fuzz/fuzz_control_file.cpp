// libFuzzer target: the update control file reader and the rules that read
// it, on whatever bytes a server sends.
#include <cstddef>
#include <cstdint>

#include "services/core/update/ControlFile.h"
#include "services/core/update/UpdateRules.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const TControlFile c = TControlFile::Parse(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    update::TRuleValues v = update::ReadRuleValues(c, QStringLiteral("update"));
    (void)update::ParseUpdateDate(v.Date, v.Time);
    (void)update::ExpandFolders(c.Value(QStringLiteral("file1"), QStringLiteral("targetdir")), QStringLiteral("/prog/"),
                                QStringLiteral("/tmp/"));
    (void)c.Integer(QStringLiteral("files"), QStringLiteral("count"), 0);
    return 0;
}
