#include "bench/LoggerBench.h"

#include "common/Exception.h"
#include "logger/Hdf5File.h"
#include "logger/MatFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <hdf5.h>

#include <chrono>
#include <cstdio>
#include <vector>

namespace {

constexpr quint32 Samples = 10'000'000;

std::vector<double> Ramp()
{
    std::vector<double> values(Samples);
    for (quint32 i = 0; i < Samples; ++i)
        values[i] = i * 0.001;
    return values;
}

void AppendTag(QByteArray& out, quint32 type, quint32 bytes)
{
    char tag[8];
    qToLittleEndian(type, tag);
    qToLittleEndian(bytes, tag + 4);
    out.append(tag, 8);
}

// A MATLAB v5 file holding one uncompressed double row vector "x".
bool WriteMatFile(const QString& fileName, const std::vector<double>& values)
{
    QByteArray header(128, ' ');
    const QByteArray text("MATLAB 5.0 MAT-file, written by plotreel-bench");
    header.replace(0, text.size(), text);
    std::fill(header.begin() + 116, header.begin() + 124, '\0');
    header[124] = 0x00;
    header[125] = 0x01;
    header[126] = 'I';
    header[127] = 'M';
    QByteArray body;
    AppendTag(body, 6, 8); // array flags: class double
    const quint32 flags[2] = {qToLittleEndian<quint32>(6), 0};
    body.append(reinterpret_cast<const char*>(flags), 8);
    AppendTag(body, 5, 8); // dimensions 1 x Samples
    const qint32 dims[2] = {qToLittleEndian<qint32>(1), qToLittleEndian<qint32>(qint32(Samples))};
    body.append(reinterpret_cast<const char*>(dims), 8);
    AppendTag(body, 1, 1); // the name "x", padded
    body.append("x\0\0\0\0\0\0\0", 8);
    AppendTag(body, 9, Samples * 8);
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray element;
    AppendTag(element, 14, quint32(body.size()) + Samples * 8);
    return file.write(header) == header.size() && file.write(element) == 8 && file.write(body) == body.size()
           && file.write(reinterpret_cast<const char*>(values.data()), qint64(values.size()) * 8)
                  == qint64(values.size()) * 8;
}

bool WriteHdf5File(const QString& fileName, const std::vector<double>& values)
{
    const hid_t file = H5Fcreate(fileName.toLocal8Bit().constData(), H5F_ACC_TRUNC, H5P_DEFAULT, H5P_DEFAULT);
    if (file < 0)
        return false;
    const hsize_t size = values.size();
    const hid_t space = H5Screate_simple(1, &size, nullptr);
    const hid_t dataset = H5Dcreate2(file, "x", H5T_IEEE_F64LE, space, H5P_DEFAULT, H5P_DEFAULT, H5P_DEFAULT);
    const bool written = dataset >= 0 && H5Dwrite(dataset, H5T_NATIVE_DOUBLE, H5S_ALL, H5S_ALL, H5P_DEFAULT,
                                                  values.data()) >= 0;
    H5Dclose(dataset);
    H5Sclose(space);
    return H5Fclose(file) >= 0 && written;
}

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// The fastest of a few plain reads of the whole file, in 1 MiB blocks.
double PlainRead(const QString& fileName, double& sum)
{
    double best = 1e9;
    std::vector<char> block(1 << 20);
    for (int run = 0; run < 3; ++run) {
        const auto start = std::chrono::steady_clock::now();
        QFile file(fileName);
        if (!file.open(QIODevice::ReadOnly))
            return -1;
        qint64 got = 0;
        while ((got = file.read(block.data(), qint64(block.size()))) > 0)
            sum += block[std::size_t(got - 1)];
        best = std::min(best, Seconds(start));
    }
    return best;
}

// The fastest of a few loads of the one channel of a file through the reader.
double Load(TLoggerFile& file, double& sum)
{
    double best = 1e9;
    for (int run = 0; run < 3; ++run) {
        std::size_t count = 0;
        const auto start = std::chrono::steady_clock::now();
        TLoggerTime time;
        file.Read({int(file.Nodes().size()) - 1}, time, {-1e9, 1e9},
                  [&](std::size_t, const TDateTime* times, const double* values, std::size_t n) {
                      sum += times[n - 1] + values[n - 1];
                      count += n;
                  },
                  nullptr);
        best = std::min(best, Seconds(start));
        if (count != Samples)
            return -1;
    }
    return best;
}

int Figure(const char* name, TLoggerFile& file)
{
    double sum = 0;
    const double load = Load(file, sum);
    const double read = PlainRead(file.FileName(), sum);
    if (load < 0 || read <= 0) {
        std::fprintf(stderr, "%s: the load or the read failed\n", name);
        return 1;
    }
    std::printf("%s %.2f x\n", name, load / read);
    std::fprintf(stderr, "%s: load %.1f ms, read %.1f ms (%g)\n", name, load * 1e3, read * 1e3, sum);
    return 0;
}

} // namespace

int RunLoggerBench(int, char**)
{
    QTemporaryDir folder;
    const std::vector<double> values = Ramp();
    const QString mat = folder.filePath("bench.mat");
    const QString h5 = folder.filePath("bench.h5");
    if (!WriteMatFile(mat, values) || !WriteHdf5File(h5, values)) {
        std::fprintf(stderr, "cannot write the logger files\n");
        return 1;
    }
    try {
        TMatFile matFile(mat);
        THdf5File hdf5File(h5);
        const int matlab = Figure("mat_load_vs_read", matFile);
        const int hdf5 = Figure("hdf5_load_vs_read", hdf5File);
        return matlab != 0 ? matlab : hdf5;
    } catch (const Exception& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.Message()));
        return 1;
    }
}
