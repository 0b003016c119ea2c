#include "reader/program/MatlabSource.h"

#include "common/Exception.h"

#include <QFile>
#include <QtEndian>

#include <hdf5.h>
#include <matio.h>

#include <cstring>
#include <memory>

namespace {

// Keys: the variable's name and its fields' names joined by '/', then after
// KeyMark "c" and a column.
constexpr QChar KeyMark(0x1f);
constexpr int DeepestStruct = 64;
constexpr std::size_t MostNodes = 2000000;

[[noreturn]] void Fail(const QString& fileName, const QString& what)
{
    throw Exception(QStringLiteral("The MATLAB file '%1' could not be read: %2").arg(fileName, what));
}

struct TFreeVariable {
    void operator()(matvar_t* variable) const { Mat_VarFree(variable); }
};
using TVariable = std::unique_ptr<matvar_t, TFreeVariable>;

bool IsNumber(const matvar_t* variable)
{
    return variable->class_type >= MAT_C_DOUBLE && variable->class_type <= MAT_C_UINT64;
}

// Why a variable yields no channel, or empty when it does.
QString Unloadable(const matvar_t* variable)
{
    switch (variable->class_type) {
    case MAT_C_CHAR:
        return QStringLiteral("it holds text");
    case MAT_C_CELL:
        return QStringLiteral("it is a cell array");
    case MAT_C_SPARSE:
        return QStringLiteral("it is a sparse matrix");
    case MAT_C_STRUCT:
        return QStringLiteral("it is an array of structs");
    case MAT_C_EMPTY:
        return {};
    default:
        break;
    }
    if (!IsNumber(variable))
        return QStringLiteral("it is an object");
    if (variable->isComplex)
        return QStringLiteral("it holds complex numbers");
    if (variable->rank > 2)
        return QStringLiteral("it has %1 dimensions").arg(variable->rank);
    return {};
}

std::size_t Elements(const matvar_t* variable)
{
    std::size_t count = 1;
    for (int d = 0; d < variable->rank; ++d)
        count *= variable->dims[d];
    return variable->rank > 0 ? count : 0;
}

bool IsScalarStruct(const matvar_t* variable)
{
    return variable->class_type == MAT_C_STRUCT && Elements(variable) == 1;
}

bool IsMatrix(const matvar_t* variable)
{
    return variable->rank == 2 && variable->dims[0] > 1 && variable->dims[1] > 1;
}

class TWalk {
public:
    TWalk(const QString& fileName, std::vector<TForeignNode>& nodes) : mFileName(fileName), mNodes(nodes) {}

    void Variable(const matvar_t* variable, const QString& name, const QString& key, int parent, int depth)
    {
        if (depth > DeepestStruct)
            Fail(mFileName, QStringLiteral("its structs lie more than %1 deep.").arg(DeepestStruct));
        if (IsScalarStruct(variable)) {
            const int group = Add(parent, false, name, QStringLiteral("struct"), 0, {}, {});
            const unsigned fields = Mat_VarGetNumberOfFields(const_cast<matvar_t*>(variable));
            char* const* names = Mat_VarGetStructFieldnames(variable);
            for (unsigned f = 0; f < fields && names; ++f) {
                const matvar_t* field = Mat_VarGetStructFieldByIndex(const_cast<matvar_t*>(variable), f, 0);
                const QString fieldName = QString::fromUtf8(names[f] ? names[f] : "");
                if (field)
                    Variable(field, fieldName, key + QLatin1Char('/') + fieldName, group, depth + 1);
            }
            return;
        }
        const QString reason = Unloadable(variable);
        if (reason.isEmpty() && IsMatrix(variable)) {
            const int group = Add(parent, false, name,
                                  QStringLiteral("%1 rows of %2 columns")
                                      .arg(qulonglong(variable->dims[0]))
                                      .arg(qulonglong(variable->dims[1])),
                                  0, {}, {});
            for (std::size_t c = 0; c < variable->dims[1]; ++c)
                Add(group, true, QStringLiteral("%1(:,%2)").arg(name).arg(c + 1), {}, qint64(variable->dims[0]), {},
                    key + KeyMark + QLatin1Char('c') + QString::number(c));
            return;
        }
        Add(parent, true, name, {}, qint64(Elements(variable)), reason, key);
    }

private:
    int Add(int parent, bool channel, const QString& name, const QString& comment, qint64 samples,
            const QString& reason, const QString& key)
    {
        if (mNodes.size() >= MostNodes)
            Fail(mFileName, QStringLiteral("it holds more than %1 channels.").arg(MostNodes));
        mNodes.push_back({TLoggerNode{parent, channel, name, {}, comment, samples, reason}, key});
        return int(mNodes.size()) - 1;
    }

    const QString& mFileName;
    std::vector<TForeignNode>& mNodes;
};

template <class T>
void Convert(const void* data, std::size_t first, std::size_t count, double* out)
{
    const T* values = static_cast<const T*>(data) + first;
    for (std::size_t i = 0; i < count; ++i)
        out[i] = double(values[i]);
}

// Converts count elements from first of a variable's data to doubles.
bool ConvertData(const matvar_t* variable, std::size_t first, std::size_t count, double* out)
{
    switch (variable->data_type) {
    case MAT_T_DOUBLE:
        std::memcpy(out, static_cast<const double*>(variable->data) + first, count * sizeof(double));
        return true;
    case MAT_T_SINGLE:
        Convert<float>(variable->data, first, count, out);
        return true;
    case MAT_T_INT8:
        Convert<qint8>(variable->data, first, count, out);
        return true;
    case MAT_T_UINT8:
        Convert<quint8>(variable->data, first, count, out);
        return true;
    case MAT_T_INT16:
        Convert<qint16>(variable->data, first, count, out);
        return true;
    case MAT_T_UINT16:
        Convert<quint16>(variable->data, first, count, out);
        return true;
    case MAT_T_INT32:
        Convert<qint32>(variable->data, first, count, out);
        return true;
    case MAT_T_UINT32:
        Convert<quint32>(variable->data, first, count, out);
        return true;
    case MAT_T_INT64:
        Convert<qint64>(variable->data, first, count, out);
        return true;
    case MAT_T_UINT64:
        Convert<quint64>(variable->data, first, count, out);
        return true;
    default:
        return false;
    }
}

// A v5 file is a header of 128 bytes and then its variables, each an
// element of a tag (type and byte count, 32 bits each) and its bytes, padded
// to 8 unless compressed. libmatio takes a cut in the last variable for the
// end of the file; walking the tags tells the two apart.
void CheckVariablesEnd(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        Fail(fileName, file.errorString());
    const qint64 size = file.size();
    char endian[2];
    if (!file.seek(126) || file.read(endian, 2) != 2)
        Fail(fileName, QStringLiteral("its header is cut short."));
    const bool swapped = endian[0] == 'M' && endian[1] == 'I';
    constexpr quint32 Compressed = 15;
    for (qint64 at = 128; at < size;) {
        uchar tag[8];
        if (!file.seek(at) || file.read(reinterpret_cast<char*>(tag), 8) != 8)
            Fail(fileName, QStringLiteral("it ends inside a variable's tag."));
        const quint32 type = swapped ? qFromBigEndian<quint32>(tag) : qFromLittleEndian<quint32>(tag);
        quint64 bytes = swapped ? qFromBigEndian<quint32>(tag + 4) : qFromLittleEndian<quint32>(tag + 4);
        if (type != Compressed)
            bytes = (bytes + 7) / 8 * 8;
        at += 8 + qint64(bytes);
        if (at > size)
            Fail(fileName, QStringLiteral("it ends inside a variable: it is %1 bytes long where its variables "
                                          "need %2.")
                               .arg(size)
                               .arg(at));
    }
}

} // namespace

TMatlabSource::TMatlabSource(const QString& fileName) : mFileName(fileName)
{
    mFile = Mat_Open(fileName.toLocal8Bit().constData(), MAT_ACC_RDONLY);
    if (!mFile)
        throw Exception(QStringLiteral("The file '%1' is no MATLAB file that can be read.").arg(fileName));
    if (Mat_GetVersion(mFile) == MAT_FT_MAT5)
        CheckVariablesEnd(fileName);
    // libmatio lists no variables of a v7.3 file whose HDF5 part it cannot
    // open, as if there were none.
    if (Mat_GetVersion(mFile) == MAT_FT_MAT73) {
        H5Eset_auto2(H5E_DEFAULT, nullptr, nullptr);
        const hid_t file = H5Fopen(fileName.toLocal8Bit().constData(), H5F_ACC_RDONLY, H5P_DEFAULT);
        if (file < 0)
            Fail(fileName, QStringLiteral("its HDF5 part cannot be opened; it is cut short or damaged."));
        H5Fclose(file);
    }
}

TMatlabSource::~TMatlabSource()
{
    if (mFile)
        Mat_Close(mFile);
}

std::vector<TForeignNode> TMatlabSource::Nodes()
{
    std::vector<TForeignNode> nodes;
    TWalk walk(mFileName, nodes);
    while (const TVariable variable{Mat_VarReadNextInfo(mFile)}) {
        const QString name = QString::fromUtf8(variable->name ? variable->name : "");
        walk.Variable(variable.get(), name, name, -1, 0);
    }
    return nodes;
}

void TMatlabSource::Read(const QString& key, const TChunk& chunk)
{
    const QStringList path = key.section(KeyMark, 0, 0).split(QLatin1Char('/'));
    const QString part = key.section(KeyMark, 1);
    const TVariable variable{Mat_VarRead(mFile, path[0].toUtf8().constData())};
    if (!variable)
        Fail(mFileName, QStringLiteral("the variable '%1' cannot be read.").arg(path[0]));
    const matvar_t* data = variable.get();
    for (int i = 1; i < path.size() && data; ++i)
        data = IsScalarStruct(data)
                   ? Mat_VarGetStructFieldByName(const_cast<matvar_t*>(data), path[i].toUtf8().constData(), 0)
                   : nullptr;
    const QString name = key.section(KeyMark, 0, 0);
    if (!data)
        Fail(mFileName, QStringLiteral("'%1' cannot be read.").arg(name));
    if (data->class_type == MAT_C_EMPTY || Elements(data) == 0)
        return;
    if (!Unloadable(data).isEmpty() || !data->data)
        Fail(mFileName, QStringLiteral("'%1' holds no numbers.").arg(name));

    std::size_t first = 0;
    std::size_t count = Elements(data);
    if (part.startsWith(QLatin1Char('c'))) {
        bool ok = false;
        const std::size_t column = part.mid(1).toULongLong(&ok);
        if (!ok || !IsMatrix(data) || column >= data->dims[1])
            Fail(mFileName, QStringLiteral("'%1' has no column %2.").arg(name).arg(part.mid(1)));
        count = data->dims[0];
        first = column * count;
    }
    if (data->data_size <= 0 || Mat_SizeOf(data->data_type) != std::size_t(data->data_size)
        || data->nbytes / std::size_t(data->data_size) < Elements(data))
        Fail(mFileName, QStringLiteral("'%1' holds fewer numbers than it says.").arg(name));
    std::vector<double> block(std::min(count, BlockSamples));
    for (std::size_t done = 0; done < count;) {
        const std::size_t size = std::min(count - done, BlockSamples);
        if (!ConvertData(data, first + done, size, block.data()))
            Fail(mFileName, QStringLiteral("'%1' holds numbers of an unknown type.").arg(name));
        chunk(block.data(), size);
        done += size;
    }
}
