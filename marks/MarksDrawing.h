#pragma once

#include "common/DateTime.h"
#include "marks/MarkCategories.h"
#include "marks/MarkLayout.h"

#include <qcustomplot.h>

#include <cstdint>
#include <vector>

class TMarkList;

// Draws a chart's marks across all its lanes, over the data lines and under
// the cursor: a point as a thin line, a span as a light band, each in its
// category's colour with the first words of its note at the top; marks too
// close together to tell apart as one band with their count. The plot draws
// it with its main layer, so a change of the marks asks for a full redraw.
class TMarksDrawing : public QCPLayerable {
public:
    // The pixels between two marks' starts below which they join one band.
    static constexpr double Apart = 4;

    TMarksDrawing(QCustomPlot* plot, const TMarkList& marks);

    // The chart time of the video's start, where second 0 of the marks lies.
    void SetStartTime(TDateTime startTime) { mStartTime = startTime; }
    void SetCategories(const TMarkCategories& categories) { mCategories = categories; }

    // The id of the lone mark drawn at most `reach` pixels from the plot's
    // pixel column x as of the last drawing; 0 when there is none.
    std::uint64_t MarkNear(double x, double reach) const;

protected:
    void applyDefaultAntialiasingHint(QCPPainter* painter) const override;
    void draw(QCPPainter* painter) override;
    QRect clipRect() const override;

private:
    const TMarkList& mMarks;
    TDateTime mStartTime = 0;
    TMarkCategories mCategories = DefaultMarkCategories();
    // The last drawing's glyphs and the plot column of their zero.
    std::vector<TMarkGlyph> mGlyphs;
    double mLeft = 0;
};

// The first words of a note, as many as fit in about `characters`, with an
// ellipsis where words were left out.
QString NoteHeadline(const QString& note, int characters);
