#include "spreadsheet/XlsCompoundFile.h"

#include "common/Exception.h"

#include <QFile>

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-utils.h>

#include <memory>
#include <mutex>

namespace {

struct TUnref {
    void operator()(void* object) const { g_object_unref(object); }
};
template <class T>
using TGsfPointer = std::unique_ptr<T, TUnref>;

// Takes the text out of a GError and frees it.
QString ErrorText(GError* error)
{
    if (!error)
        return QStringLiteral("unknown error");
    const QString text = QString::fromUtf8(error->message);
    g_error_free(error);
    return text;
}

// The child of the compound file's root by name, without regard to case, as
// some writers spell the stream names their own way.
TGsfPointer<GsfInput> ChildNamed(GsfInfile* root, const char* name)
{
    const int count = gsf_infile_num_children(root);
    for (int i = 0; i < count; ++i) {
        const char* childName = gsf_infile_name_by_index(root, i);
        if (childName && g_ascii_strcasecmp(childName, name) == 0)
            return TGsfPointer<GsfInput>(gsf_infile_child_by_index(root, i));
    }
    return nullptr;
}

QByteArray WorkbookStream(GsfInput* input)
{
    GError* error = nullptr;
    const TGsfPointer<GsfInfile> root(gsf_infile_msole_new(input, &error));
    if (!root)
        throw Exception(QStringLiteral("The compound file is damaged or no workbook (%1).").arg(ErrorText(error)));
    // Excel 5.0/95 named the stream "Book"; its records say which kind it is.
    TGsfPointer<GsfInput> stream = ChildNamed(root.get(), "Workbook");
    if (!stream)
        stream = ChildNamed(root.get(), "Book");
    if (!stream)
        throw Exception(QStringLiteral("The compound file holds no workbook."));
    const gsf_off_t size = gsf_input_size(stream.get());
    if (size < 0 || size > gsf_input_size(input))
        throw Exception(QStringLiteral("The compound file claims a workbook larger than itself."));
    QByteArray bytes(static_cast<qsizetype>(size), Qt::Uninitialized);
    if (size > 0 && !gsf_input_read(stream.get(), static_cast<std::size_t>(size), reinterpret_cast<guint8*>(bytes.data())))
        throw Exception(QStringLiteral("The compound file is damaged: its workbook stream cannot be read whole."));
    return bytes;
}

void InitGsf()
{
    static std::once_flag once;
    std::call_once(once, gsf_init);
}

} // namespace

QByteArray ReadXlsWorkbookStream(const QString& fileName)
{
    InitGsf();
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw Exception(file.errorString() + QLatin1Char('.'));
    file.close();
    GError* error = nullptr;
    const TGsfPointer<GsfInput> input(gsf_input_stdio_new(QFile::encodeName(fileName).constData(), &error));
    if (!input)
        throw Exception(ErrorText(error) + QLatin1Char('.'));
    return WorkbookStream(input.get());
}

QByteArray ReadXlsWorkbookStream(const void* data, std::size_t size)
{
    InitGsf();
    const TGsfPointer<GsfInput> input(
        gsf_input_memory_new(static_cast<const guint8*>(data), static_cast<gsf_off_t>(size), FALSE));
    return WorkbookStream(input.get());
}
