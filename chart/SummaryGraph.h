#pragma once

#include <qcustomplot.h>

class TSeriesSummary;

// A line graph whose points are summarised by a TSeriesSummary kept up to
// date by its owner. With more points in view than pixel columns it draws, of
// each half pixel column, only the points with the smallest and largest
// value: the same pixels as all the points, at a cost set by the plot's width
// rather than the number of points. With fewer it draws every point as a
// plain graph does. A pen wider than a pixel is drawn without stroking long
// paths (see WideLines.h).
class TSummaryGraph : public QCPGraph {
public:
    TSummaryGraph(QCPAxis* keyAxis, QCPAxis* valueAxis, const TSeriesSummary& summary);

protected:
    void getOptimizedLineData(QVector<QCPGraphData>* lineData, const QCPGraphDataContainer::const_iterator& begin,
                              const QCPGraphDataContainer::const_iterator& end) const override;
    void drawLinePlot(QCPPainter* painter, const QVector<QPointF>& lines) const override;

private:
    int PlotWidth() const;
    bool CanSummarise() const;

    const TSeriesSummary& mSummary;
};
