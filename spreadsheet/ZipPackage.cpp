#include "spreadsheet/ZipPackage.h"

#include "common/Exception.h"

#include <QFile>
#include <QFileInfo>

#include <zip.h>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// Sheets of real workbooks inflate to a few times, rarely a hundred times,
// their archive; the floor leaves room for small archives of very regular
// sheets, the ceiling bounds the time a read can take.
constexpr std::uint64_t InflateRatio = 200;
constexpr std::uint64_t InflateFloor = 64ULL << 20;
constexpr std::uint64_t InflateCeiling = 1ULL << 30;
constexpr std::size_t ChunkSize = 256 * 1024;
constexpr std::size_t MinChunkSize = 4096;

QString ZipErrorText(int code)
{
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    const QString text = QString::fromUtf8(zip_error_strerror(&error));
    zip_error_fini(&error);
    return text;
}

// The chunks that pass from the inflating thread to the reading one, a few
// at a time. An empty chunk ends the part; an error of the inflater reaches
// the reader in its place.
class TChunkQueue {
public:
    explicit TChunkQueue(std::size_t chunkSize) : mChunkSize(chunkSize)
    {
        for (int i = 0; i < ChunksInFlight; ++i)
            mEmpty.emplace_back(chunkSize);
    }

    // For the inflater: a chunk to fill, or none once the reader stopped.
    std::vector<char> Empty()
    {
        std::unique_lock<std::mutex> lock(mMutex);
        mChanged.wait(lock, [this] { return mStopped || !mEmpty.empty(); });
        if (mStopped)
            return {};
        std::vector<char> chunk = std::move(mEmpty.front());
        mEmpty.pop_front();
        chunk.resize(mChunkSize);
        return chunk;
    }

    void Fill(std::vector<char> chunk)
    {
        const std::lock_guard<std::mutex> lock(mMutex);
        mFull.push_back(std::move(chunk));
        mChanged.notify_all();
    }

    void Fail(std::exception_ptr error)
    {
        const std::lock_guard<std::mutex> lock(mMutex);
        mError = std::move(error);
        mChanged.notify_all();
    }

    // For the reader: the next chunk in order, empty at the end; rethrows the
    // inflater's error.
    std::vector<char> Full()
    {
        std::unique_lock<std::mutex> lock(mMutex);
        mChanged.wait(lock, [this] { return mError || !mFull.empty(); });
        if (!mFull.empty()) {
            std::vector<char> chunk = std::move(mFull.front());
            mFull.pop_front();
            return chunk;
        }
        std::rethrow_exception(mError);
    }

    void Recycle(std::vector<char> chunk)
    {
        const std::lock_guard<std::mutex> lock(mMutex);
        mEmpty.push_back(std::move(chunk));
        mChanged.notify_all();
    }

    void Stop()
    {
        const std::lock_guard<std::mutex> lock(mMutex);
        mStopped = true;
        mChanged.notify_all();
    }

private:
    static constexpr int ChunksInFlight = 4;
    const std::size_t mChunkSize;
    std::mutex mMutex;
    std::condition_variable mChanged;
    std::deque<std::vector<char>> mEmpty;
    std::deque<std::vector<char>> mFull;
    std::exception_ptr mError;
    bool mStopped = false;
};

Exception DamagedArchive(const QString& reason)
{
    return Exception(QStringLiteral("The zip archive is damaged or no workbook (%1).").arg(reason));
}

} // namespace

TZipPackage::TZipPackage(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw Exception(file.errorString() + QLatin1Char('.'));
    file.close();
    int code = 0;
    mArchive = zip_open(QFile::encodeName(fileName).constData(), ZIP_RDONLY, &code);
    if (!mArchive)
        throw DamagedArchive(ZipErrorText(code));
    mInflateLimit = InflateLimit(static_cast<std::uint64_t>(QFileInfo(fileName).size()));
}

TZipPackage::TZipPackage(const void* data, std::size_t size)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(data, size, 0, &error);
    if (source)
        mArchive = zip_open_from_source(source, ZIP_RDONLY, &error);
    if (!mArchive) {
        const QString reason = QString::fromUtf8(zip_error_strerror(&error));
        zip_source_free(source);
        zip_error_fini(&error);
        throw DamagedArchive(reason);
    }
    zip_error_fini(&error);
    mInflateLimit = InflateLimit(size);
}

TZipPackage::~TZipPackage()
{
    if (mArchive)
        zip_discard(mArchive);
}

std::uint64_t TZipPackage::InflateLimit(std::uint64_t archiveSize)
{
    const std::uint64_t relative = archiveSize > InflateCeiling / InflateRatio ? InflateCeiling : archiveSize * InflateRatio;
    return std::min(InflateCeiling, std::max(InflateFloor, relative));
}

bool TZipPackage::HasPart(const QByteArray& name) const
{
    return zip_name_locate(mArchive, name.constData(), ZIP_FL_NOCASE) >= 0;
}

std::uint64_t TZipPackage::PartSize(const QByteArray& name) const
{
    const zip_int64_t index = zip_name_locate(mArchive, name.constData(), ZIP_FL_NOCASE);
    zip_stat_t stat;
    if (index < 0 || zip_stat_index(mArchive, static_cast<zip_uint64_t>(index), 0, &stat) != 0
        || !(stat.valid & ZIP_STAT_SIZE))
        return 0;
    return stat.size;
}

void TZipPackage::ReadPart(const QByteArray& name,
                           const std::function<bool(const char* data, std::size_t size)>& sink) const
{
    const zip_int64_t index = zip_name_locate(mArchive, name.constData(), ZIP_FL_NOCASE);
    if (index < 0)
        throw Exception(QStringLiteral("The part \"%1\" is missing.").arg(QString::fromUtf8(name)));
    const std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> file(
        zip_fopen_index(mArchive, static_cast<zip_uint64_t>(index), 0), zip_fclose);
    if (!file)
        throw DamagedArchive(QStringLiteral("part \"%1\": %2").arg(QString::fromUtf8(name),
                                                                   QString::fromUtf8(zip_strerror(mArchive))));
    // Inflating takes a good part of the time of a read: a helper thread
    // inflates the next chunks while the caller's thread works on this one.
    // Chunks no larger than the part says it is (small parts are the rule).
    zip_stat_t stat;
    std::size_t chunkSize = ChunkSize;
    if (zip_stat_index(mArchive, static_cast<zip_uint64_t>(index), 0, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE))
        chunkSize = static_cast<std::size_t>(std::clamp<zip_uint64_t>(stat.size + 1, MinChunkSize, ChunkSize));
    TChunkQueue queue(chunkSize);
    std::thread inflater([&] {
        try {
            std::uint64_t total = 0;
            for (;;) {
                std::vector<char> chunk = queue.Empty();
                if (chunk.empty())
                    return;
                const zip_int64_t count = zip_fread(file.get(), chunk.data(), chunk.size());
                if (count < 0)
                    throw DamagedArchive(QStringLiteral("part \"%1\": %2")
                                             .arg(QString::fromUtf8(name), QString::fromUtf8(zip_file_strerror(file.get()))));
                total += static_cast<std::uint64_t>(count);
                if (total > mInflateLimit)
                    throw Exception(
                        QStringLiteral("The part \"%1\" inflates to more than %2 MB, too much for a workbook of this size.")
                            .arg(QString::fromUtf8(name))
                            .arg(mInflateLimit >> 20));
                chunk.resize(static_cast<std::size_t>(count));
                queue.Fill(std::move(chunk));
                if (count == 0)
                    return;
            }
        } catch (...) {
            queue.Fail(std::current_exception());
        }
    });
    try {
        for (;;) {
            std::vector<char> chunk = queue.Full();
            if (chunk.empty() || !sink(chunk.data(), chunk.size()))
                break;
            queue.Recycle(std::move(chunk));
        }
    } catch (...) {
        queue.Stop();
        inflater.join();
        throw;
    }
    queue.Stop();
    inflater.join();
}
