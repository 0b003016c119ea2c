#include "reader/program/Hdf5Source.h"

#include "common/Exception.h"

#include <hdf5.h>

#include <memory>
#include <set>
#include <utility>

namespace {

// Keys: the dataset's path, then after KeyMark "c" and a column, or "m" and
// a member's name.
constexpr QChar KeyMark(0x1f);
// Deeper groups or more nodes than these are taken for a damaged file.
constexpr int DeepestGroup = 64;
constexpr std::size_t MostNodes = 2000000;

// Closes an HDF5 identifier when it goes.
class THandle {
public:
    explicit THandle(hid_t id, herr_t (*close)(hid_t)) : mId(id), mClose(close) {}
    ~THandle()
    {
        if (mId >= 0)
            mClose(mId);
    }
    THandle(const THandle&) = delete;
    THandle& operator=(const THandle&) = delete;
    operator hid_t() const { return mId; }
    bool Valid() const { return mId >= 0; }

private:
    hid_t mId;
    herr_t (*mClose)(hid_t);
};

bool IsNumber(H5T_class_t type)
{
    return type == H5T_INTEGER || type == H5T_FLOAT;
}

QString TypeName(H5T_class_t type)
{
    switch (type) {
    case H5T_STRING:
        return QStringLiteral("it holds text");
    case H5T_COMPOUND:
        return QStringLiteral("it holds records");
    case H5T_ENUM:
        return QStringLiteral("it holds named values");
    case H5T_REFERENCE:
        return QStringLiteral("it holds references");
    default:
        return QStringLiteral("it holds no numbers");
    }
}

// A string attribute of an object, empty when there is none.
QString TextAttribute(hid_t object, const char* name)
{
    if (H5Aexists(object, name) <= 0)
        return {};
    const THandle attribute(H5Aopen(object, name, H5P_DEFAULT), H5Aclose);
    if (!attribute.Valid())
        return {};
    const THandle type(H5Aget_type(attribute), H5Tclose);
    const THandle space(H5Aget_space(attribute), H5Sclose);
    if (!type.Valid() || !space.Valid() || H5Tget_class(type) != H5T_STRING
        || H5Sget_simple_extent_npoints(space) != 1)
        return {};
    if (H5Tis_variable_str(type) > 0) {
        const THandle memory(H5Tcopy(H5T_C_S1), H5Tclose);
        H5Tset_size(memory, H5T_VARIABLE);
        H5Tset_cset(memory, H5Tget_cset(type));
        char* text = nullptr;
        if (H5Aread(attribute, memory, &text) < 0 || !text)
            return {};
        const QString value = QString::fromUtf8(text);
        H5free_memory(text);
        return value;
    }
    const size_t size = H5Tget_size(type);
    if (size == 0 || size > (1u << 20))
        return {};
    QByteArray text(qsizetype(size), '\0');
    const THandle memory(H5Tcopy(type), H5Tclose);
    if (H5Aread(attribute, memory, text.data()) < 0)
        return {};
    return QString::fromUtf8(text.constData(), qsizetype(qstrnlen(text.constData(), uint(size)))).trimmed();
}

QString FirstTextAttribute(hid_t object, const char* first, const char* second)
{
    const QString value = TextAttribute(object, first);
    return value.isEmpty() ? TextAttribute(object, second) : value;
}

[[noreturn]] void Fail(const QString& fileName, const QString& what)
{
    throw Exception(QStringLiteral("The HDF5 file '%1' could not be read: %2").arg(fileName, what));
}

// The name of a link or member handed out by libhdf5.
QString TakeName(char* name)
{
    const QString value = QString::fromUtf8(name ? name : "");
    H5free_memory(name);
    return value;
}

struct TShape {
    int Rank = 0;
    hsize_t Dims[H5S_MAX_RANK] = {};
    hssize_t Points = 0;
};

TShape ShapeOf(hid_t dataset)
{
    TShape shape;
    const THandle space(H5Dget_space(dataset), H5Sclose);
    if (!space.Valid())
        return shape;
    shape.Rank = H5Sget_simple_extent_ndims(space);
    if (shape.Rank < 0 || H5Sget_simple_extent_dims(space, shape.Dims, nullptr) < 0)
        shape.Rank = -1;
    shape.Points = H5Sget_simple_extent_npoints(space);
    return shape;
}

// A numeric dataset read as one channel: no more than one dimension
// longer than 1.
bool IsVector(const TShape& shape)
{
    return shape.Rank <= 1 || (shape.Rank == 2 && (shape.Dims[0] == 1 || shape.Dims[1] == 1));
}

class TWalk {
public:
    TWalk(const QString& fileName, std::vector<TForeignNode>& nodes) : mFileName(fileName), mNodes(nodes) {}

    void Group(hid_t group, const QString& path, int parent, int depth)
    {
        if (depth > DeepestGroup)
            Fail(mFileName, QStringLiteral("its groups lie more than %1 deep.").arg(DeepestGroup));
        H5G_info_t info;
        if (H5Gget_info(group, &info) < 0)
            Fail(mFileName, QStringLiteral("the group '%1' is damaged.").arg(path));
        for (hsize_t i = 0; i < info.nlinks; ++i) {
            const ssize_t length =
                H5Lget_name_by_idx(group, ".", H5_INDEX_NAME, H5_ITER_INC, i, nullptr, 0, H5P_DEFAULT);
            if (length < 0)
                Fail(mFileName, QStringLiteral("the group '%1' is damaged.").arg(path));
            QByteArray name(qsizetype(length) + 1, '\0');
            H5Lget_name_by_idx(group, ".", H5_INDEX_NAME, H5_ITER_INC, i, name.data(), size_t(length) + 1,
                               H5P_DEFAULT);
            name.truncate(length);
            Link(group, name, path, parent, depth);
        }
    }

private:
    void Link(hid_t group, const QByteArray& name, const QString& path, int parent, int depth)
    {
        const QString text = QString::fromUtf8(name);
        const QString inner = path == QLatin1String("/") ? path + text : path + QLatin1Char('/') + text;
        H5L_info_t link;
        if (H5Lget_info(group, name.constData(), &link, H5P_DEFAULT) < 0)
            Fail(mFileName, QStringLiteral("the link '%1' is damaged.").arg(inner));
        if (link.type != H5L_TYPE_HARD)
            return;
        H5O_info_t info;
        if (H5Oget_info_by_name2(group, name.constData(), &info, H5O_INFO_BASIC, H5P_DEFAULT) < 0)
            Fail(mFileName, QStringLiteral("the object '%1' is damaged.").arg(inner));
        // An object linked from several groups, or from inside itself, is
        // listed once.
        if (!mSeen.insert({info.fileno, info.addr}).second)
            return;
        if (info.type == H5O_TYPE_GROUP) {
            const THandle inside(H5Gopen2(group, name.constData(), H5P_DEFAULT), H5Gclose);
            if (!inside.Valid())
                Fail(mFileName, QStringLiteral("the group '%1' cannot be opened.").arg(inner));
            Group(inside, inner, Add(parent, false, text, {}, {}, 0, {}, {}), depth + 1);
        } else if (info.type == H5O_TYPE_DATASET) {
            const THandle dataset(H5Dopen2(group, name.constData(), H5P_DEFAULT), H5Dclose);
            if (!dataset.Valid())
                Fail(mFileName, QStringLiteral("the dataset '%1' cannot be opened.").arg(inner));
            Dataset(dataset, text, inner, parent);
        }
    }

    void Dataset(hid_t dataset, const QString& name, const QString& path, int parent)
    {
        const THandle type(H5Dget_type(dataset), H5Tclose);
        const TShape shape = ShapeOf(dataset);
        if (!type.Valid() || shape.Rank < 0 || shape.Points < 0)
            Fail(mFileName, QStringLiteral("the dataset '%1' is damaged.").arg(path));
        const H5T_class_t kind = H5Tget_class(type);
        const QString unit = FirstTextAttribute(dataset, "unit", "units");
        const QString comment = FirstTextAttribute(dataset, "comment", "description");
        if (kind == H5T_COMPOUND) {
            const qint64 records = shape.Rank == 1 ? qint64(shape.Dims[0]) : 0;
            const int table = Add(parent, false, name, {},
                                  comment.isEmpty() ? QStringLiteral("a table of %1 records").arg(records) : comment,
                                  0, {}, {});
            const int members = H5Tget_nmembers(type);
            for (int m = 0; m < members; ++m) {
                const QString member = TakeName(H5Tget_member_name(type, unsigned(m)));
                const H5T_class_t memberKind = H5Tget_member_class(type, unsigned(m));
                QString reason;
                if (shape.Rank != 1)
                    reason = QStringLiteral("the table has %1 dimensions").arg(shape.Rank);
                else if (!IsNumber(memberKind))
                    reason = TypeName(memberKind);
                Add(table, true, member, {}, {}, records, reason, path + KeyMark + QLatin1Char('m') + member);
            }
        } else if (!IsNumber(kind)) {
            Add(parent, true, name, unit, comment, shape.Points, TypeName(kind), path);
        } else if (IsVector(shape)) {
            Add(parent, true, name, unit, comment, shape.Points, {}, path);
        } else if (shape.Rank == 2) {
            const int array = Add(parent, false, name, {},
                                  comment.isEmpty() ? QStringLiteral("%1 rows of %2 columns")
                                                          .arg(qulonglong(shape.Dims[0]))
                                                          .arg(qulonglong(shape.Dims[1]))
                                                    : comment,
                                  0, {}, {});
            for (hsize_t c = 0; c < shape.Dims[1]; ++c)
                Add(array, true, QStringLiteral("%1[%2]").arg(name).arg(c), unit, {}, qint64(shape.Dims[0]), {},
                    path + KeyMark + QLatin1Char('c') + QString::number(c));
        } else {
            Add(parent, true, name, unit, comment, shape.Points,
                QStringLiteral("it has %1 dimensions").arg(shape.Rank), path);
        }
    }

    int Add(int parent, bool channel, const QString& name, const QString& unit, const QString& comment,
            qint64 samples, const QString& reason, const QString& key)
    {
        if (mNodes.size() >= MostNodes)
            Fail(mFileName, QStringLiteral("it holds more than %1 channels.").arg(MostNodes));
        mNodes.push_back({TLoggerNode{parent, channel, name, unit, comment, samples, reason}, key});
        return int(mNodes.size()) - 1;
    }

    const QString& mFileName;
    std::vector<TForeignNode>& mNodes;
    std::set<std::pair<unsigned long, haddr_t>> mSeen;
};

} // namespace

THdf5Source::THdf5Source(const QString& fileName) : mFileName(fileName)
{
    // libhdf5 prints its error stack on every failure; the messages here
    // say what failed.
    H5Eset_auto2(H5E_DEFAULT, nullptr, nullptr);
    if (H5Fis_hdf5(fileName.toLocal8Bit().constData()) <= 0)
        throw Exception(QStringLiteral("The file '%1' is no HDF5 file.").arg(fileName));
    mFile = H5Fopen(fileName.toLocal8Bit().constData(), H5F_ACC_RDONLY, H5P_DEFAULT);
    if (mFile < 0)
        Fail(fileName, QStringLiteral("it cannot be opened."));
}

THdf5Source::~THdf5Source()
{
    if (mFile >= 0)
        H5Fclose(mFile);
}

std::vector<TForeignNode> THdf5Source::Nodes()
{
    std::vector<TForeignNode> nodes;
    const THandle root(H5Gopen2(mFile, "/", H5P_DEFAULT), H5Gclose);
    if (!root.Valid())
        Fail(mFileName, QStringLiteral("its root group cannot be opened."));
    TWalk(mFileName, nodes).Group(root, QStringLiteral("/"), -1, 0);
    return nodes;
}

void THdf5Source::Read(const QString& key, const TChunk& chunk)
{
    const QString path = key.section(KeyMark, 0, 0);
    const QString part = key.section(KeyMark, 1);
    const THandle dataset(H5Dopen2(mFile, path.toUtf8().constData(), H5P_DEFAULT), H5Dclose);
    if (!dataset.Valid())
        Fail(mFileName, QStringLiteral("the dataset '%1' cannot be opened.").arg(path));
    const THandle fileType(H5Dget_type(dataset), H5Tclose);
    const TShape shape = ShapeOf(dataset);
    if (!fileType.Valid() || shape.Rank < 0 || shape.Points < 0)
        Fail(mFileName, QStringLiteral("the dataset '%1' is damaged.").arg(path));

    // The samples run along one dimension of the dataset; the others are
    // fixed at `fixed`.
    int along = 0;
    hsize_t fixed[H5S_MAX_RANK] = {};
    hsize_t samples = hsize_t(shape.Points);
    hid_t memoryType = H5T_NATIVE_DOUBLE;
    std::unique_ptr<THandle> record;
    const QChar what = part.isEmpty() ? QChar() : part.at(0);
    const QString which = part.mid(1);
    if (what == QLatin1Char('c')) {
        bool ok = false;
        const hsize_t column = which.toULongLong(&ok);
        if (!ok || shape.Rank != 2 || column >= shape.Dims[1] || H5Tget_class(fileType) == H5T_COMPOUND)
            Fail(mFileName, QStringLiteral("the dataset '%1' has no column %2.").arg(path, which));
        fixed[1] = column;
        samples = shape.Dims[0];
    } else if (what == QLatin1Char('m')) {
        const int member = H5Tget_member_index(fileType, which.toUtf8().constData());
        if (shape.Rank != 1 || H5Tget_class(fileType) != H5T_COMPOUND || member < 0
            || !IsNumber(H5Tget_member_class(fileType, unsigned(member))))
            Fail(mFileName, QStringLiteral("the dataset '%1' has no number column '%2'.").arg(path, which));
        // The member alone, as a double.
        record = std::make_unique<THandle>(H5Tcreate(H5T_COMPOUND, sizeof(double)), H5Tclose);
        H5Tinsert(*record, which.toUtf8().constData(), 0, H5T_NATIVE_DOUBLE);
        memoryType = *record;
    } else if (!IsNumber(H5Tget_class(fileType)) || !IsVector(shape)) {
        Fail(mFileName, QStringLiteral("the dataset '%1' holds no vector of numbers.").arg(path));
    } else if (shape.Rank == 2 && shape.Dims[0] == 1) {
        along = 1;
    }

    const THandle fileSpace(H5Dget_space(dataset), H5Sclose);
    std::vector<double> block(std::min<hsize_t>(samples, BlockSamples));
    for (hsize_t start = 0; start < samples;) {
        const hsize_t count = std::min<hsize_t>(samples - start, BlockSamples);
        hsize_t offsets[H5S_MAX_RANK];
        hsize_t counts[H5S_MAX_RANK];
        for (int d = 0; d < shape.Rank; ++d) {
            offsets[d] = d == along ? start : fixed[d];
            counts[d] = d == along ? count : 1;
        }
        const THandle memorySpace(H5Screate_simple(1, &count, nullptr), H5Sclose);
        if (shape.Rank > 0
            && H5Sselect_hyperslab(fileSpace, H5S_SELECT_SET, offsets, nullptr, counts, nullptr) < 0)
            Fail(mFileName, QStringLiteral("the dataset '%1' is damaged.").arg(path));
        if (H5Dread(dataset, memoryType, memorySpace, shape.Rank > 0 ? hid_t(fileSpace) : H5S_ALL, H5P_DEFAULT,
                    block.data())
            < 0)
            Fail(mFileName, QStringLiteral("the samples of '%1' cannot be read.").arg(path));
        chunk(block.data(), std::size_t(count));
        start += count;
    }
}
