#pragma once

#include "chart/LineImage.h"

#include <qcustomplot.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

class TSeriesSummary;

// A line graph whose points are summarised by a TSeriesSummary kept up to
// date by its owner. With more points in view than pixel columns it draws, of
// each half pixel column, only the points with the smallest and largest
// value: the same pixels as all the points, at a cost set by the plot's width
// rather than the number of points. With fewer it draws every point as a
// plain graph does. A line of a pen wider than a pixel is drawn into an image
// of its own (see LineImage.h), where it can, when the graph is prepared,
// else without stroking long paths (see WideLines.h).
class TSummaryGraph : public QCPGraph {
public:
    TSummaryGraph(QCPAxis* keyAxis, QCPAxis* valueAxis, const TSeriesSummary& summary);

    // Works out which points the next drawing keeps, for the axes and points
    // as they are now, and draws the line into its image, and keeps both for
    // it. It only reads the graph, so several graphs can do it at once
    // (PrepareSummaryGraphs).
    void Prepare();

protected:
    void draw(QCPPainter* painter) override;
    void getOptimizedLineData(QVector<QCPGraphData>* lineData, const QCPGraphDataContainer::const_iterator& begin,
                              const QCPGraphDataContainer::const_iterator& end) const override;
    void drawLinePlot(QCPPainter* painter, const QVector<QPointF>& lines) const override;

private:
    // The points kept for a drawing, and what they were worked out for.
    struct TKept {
        std::uint64_t Version;
        std::size_t First;
        std::size_t Last;
        QCPRange Range;
        QRect Plot;
        std::vector<std::size_t> Indices;
    };

    // What a drawing of the line into the image was made for.
    struct TDrawnFor {
        std::uint64_t Version;
        int Count;
        QCPRange Keys;
        QCPRange Values;
        // The axes' scale types and whether each is reversed.
        int Scales;
        QPen Pen;
        QRect Clip;
        QPointF Offset;
        bool operator==(const TDrawnFor& other) const;
    };

    int PlotWidth() const;
    // True when the whole graph is its line, drawn as the line image draws.
    bool DrawnAsImage() const;
    TDrawnFor DrawingNow() const;
    // True when the points from begin to end are drawn from the summary.
    bool Summarises(const QCPGraphDataContainer::const_iterator& begin,
                    const QCPGraphDataContainer::const_iterator& end) const;
    bool Fits(const TKept& kept, std::size_t first, std::size_t last) const;
    // The indices of the points from first to last that are drawn.
    std::vector<std::size_t> Keep(std::size_t first, std::size_t last) const;

    const TSeriesSummary& mSummary;
    std::optional<TKept> mPrepared;
    TLineImage mLine;
    std::optional<TDrawnFor> mDrawn;
};

// Prepares the graphs on as many threads as there are processors, and
// returns when all are done.
void PrepareSummaryGraphs(const std::vector<TSummaryGraph*>& graphs);
