#pragma once

#include "chartdata/ChartDataFormat.h"
#include "common/Exception.h"
#include "common/LoadProgress.h"

#include <QFile>
#include <QString>

class TChart;

// Writes every data series of the chart (hidden ones too) and the default
// time range into the companion file, replacing it only once it is complete.
void SaveChartDataFile(const TChart& chart, TDateTime axisMin, TDateTime axisMax, const QString& fileName);

// A whole companion file whose points do not fit in memory: no damage, the
// file must stay as it is.
class TChartDataTooLarge : public Exception {
public:
    using Exception::Exception;
};

// A companion file opened for reading, its structure checked from its headers
// and its length before any point is read.
class TChartDataFileReader {
public:
    // Throws "Cannot open file ..." for a file that cannot be opened or is no
    // regular file, and "The file ... is damaged: ..." when not even its time
    // range can be taken from it.
    explicit TChartDataFileReader(const QString& fileName);

    TDateTime AxisMin() const { return mLayout.AxisMin; }
    TDateTime AxisMax() const { return mLayout.AxisMax; }

    // Reads the stored series straight into new series at the end of the
    // chart, each visible and coloured by the position it takes. The series
    // stored whole before any damage are added; the damage is thrown after
    // them. `progress` (when given) hears of each block of points; a cancel
    // there throws LoadCancelled, and the series under way is not added.
    // Throws TChartDataTooLarge when the points do not fit in memory.
    void AppendSeries(TChart& chart, TLoadProgress* progress = nullptr);

private:
    void ReadSeries(TChart& chart, TLoadProgress* progress);

    QString mFileName;
    QFile mFile;
    TChartDataLayout mLayout;
};
