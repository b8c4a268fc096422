// Any file content as a data set file: LoadDataSet -> SaveDataSet -> LoadDataSet gives the
// same lines and encoding, a second save writes the same bytes as the first, and the folder
// holds nothing but the data set's own file afterwards (no temporary left behind).
#include "fuzz/FuzzFolder.h"
#include "fuzz/FuzzInput.h"
#include "tools/DataSet.h"
#include "tools/ProcessValues.h"

#include <QFile>

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        FuzzFailure("cannot read back the saved file", path);
    return file.readAll();
}

void WriteAll(const QString& path, std::string_view bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size()))
        FuzzFailure("cannot write the input file", path);
}

QString Lines(const TStrings& list) {
    QString text;
    for (int i = 0; i < list.Count(); ++i)
        text += u'[' + list.Get(i) + u']';
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SetDataFolder(FuzzDataFolder());
    const QString name = QStringLiteral("Fuzz");
    const QString path = DataSetPath(name);
    WriteAll(path, std::string_view(reinterpret_cast<const char*>(data), size));

    TStringList first;
    if (!LoadDataSet(first, name))
        FuzzFailure("a small regular file did not load");
    if (!SaveDataSet(first, name))
        FuzzFailure("saving a loaded list failed");
    const QByteArray saved = ReadAll(path);

    TStringList second;
    if (!LoadDataSet(second, name))
        FuzzFailure("the saved file did not load");
    if (second.Encoding() != first.Encoding())
        FuzzFailure("the encoding changed in a round trip");
    if (Lines(second) != Lines(first))
        FuzzFailure("the lines changed in a round trip", Lines(first) + QStringLiteral(" -> ") + Lines(second));

    if (!SaveDataSet(second, name) || ReadAll(path) != saved)
        FuzzFailure("a second save wrote different bytes");
    if (FuzzFolderEntries() != QStringList{QStringLiteral("DataSet_FUZZ.dblst")})
        FuzzFailure("the folder holds other files", FuzzFolderEntries().join(u' '));
    return 0;
}
