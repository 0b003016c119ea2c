#include "chart/SeriesSummary.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace {

constexpr TValueRange NoValues{std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};

std::size_t CeilDiv(std::size_t a, std::size_t b)
{
    return (a + b - 1) / b;
}

} // namespace

void TSeriesSummary::Update(TValueView values, std::size_t count, std::size_t changed)
{
    mCount = count;
    std::size_t first = std::min(changed, count) / FirstBucketPoints;
    std::size_t below = CeilDiv(count, FirstBucketPoints);
    if (mLevels.empty())
        mLevels.emplace_back();
    std::vector<TValueRange>& points = mLevels[0];
    points.resize(below);
    bool finite = true;
    for (std::size_t b = first; b < below; ++b) {
        TValueRange range = NoValues;
        const std::size_t end = std::min(count, (b + 1) * FirstBucketPoints);
        for (std::size_t i = b * FirstBucketPoints; i < end; ++i) {
            const double value = values[i];
            finite = finite && std::isfinite(value);
            range.Take(value);
        }
        points[b] = range;
    }
    if (!finite)
        mAllFinite = false;

    // Each level above takes Fanout buckets of the one below, up to a level of
    // one bucket.
    std::size_t level = 1;
    for (; below > 1; ++level) {
        if (mLevels.size() <= level)
            mLevels.emplace_back();
        const std::vector<TValueRange>& children = mLevels[level - 1];
        std::vector<TValueRange>& buckets = mLevels[level];
        const std::size_t size = CeilDiv(below, Fanout);
        buckets.resize(size);
        first /= Fanout;
        for (std::size_t b = first; b < size; ++b) {
            TValueRange range = NoValues;
            const std::size_t end = std::min(below, (b + 1) * Fanout);
            for (std::size_t c = b * Fanout; c < end; ++c)
                range.Take(children[c]);
            buckets[b] = range;
        }
        below = size;
    }
    mLevels.resize(level);
}

// Reads the pieces that make up a range of points in index order, keeping the
// first piece with the smallest and the first with the largest value, then
// goes down from each to the first point that holds its value.
class TSeriesSummary::TExtremesSearch {
public:
    TExtremesSearch(const TSeriesSummary& summary, TValueView values, std::size_t first)
        : mSummary(summary), mValues(values), mMin{-1, first}, mMax{-1, first}
    {
    }

    void TakePoints(std::size_t first, std::size_t last)
    {
        for (std::size_t i = first; i < last; ++i) {
            const double value = mValues[i];
            if (value < mRange.Min) {
                mRange.Min = value;
                mMin = {-1, i};
            }
            if (value > mRange.Max) {
                mRange.Max = value;
                mMax = {-1, i};
            }
        }
    }

    void TakeBuckets(int level, std::size_t first, std::size_t last)
    {
        const std::vector<TValueRange>& buckets = mSummary.mLevels[static_cast<std::size_t>(level)];
        for (std::size_t b = first; b < last; ++b) {
            if (buckets[b].Min < mRange.Min) {
                mRange.Min = buckets[b].Min;
                mMin = {level, b};
            }
            if (buckets[b].Max > mRange.Max) {
                mRange.Max = buckets[b].Max;
                mMax = {level, b};
            }
        }
    }

    TValueExtremes Result() const
    {
        return {PointOf(mMin, mRange.Min, &TValueRange::Min), PointOf(mMax, mRange.Max, &TValueRange::Max)};
    }

private:
    // A point (level -1) or a bucket of a level.
    struct TPiece {
        int Level;
        std::size_t Index;
    };

    std::size_t PointOf(TPiece piece, double value, double TValueRange::*bound) const
    {
        for (; piece.Level > 0; --piece.Level) {
            const std::vector<TValueRange>& children = mSummary.mLevels[static_cast<std::size_t>(piece.Level - 1)];
            std::size_t child = piece.Index * Fanout;
            while (children[child].*bound != value)
                ++child;
            piece.Index = child;
        }
        if (piece.Level < 0)
            return piece.Index;
        std::size_t point = piece.Index * FirstBucketPoints;
        while (mValues[point] != value)
            ++point;
        return point;
    }

    const TSeriesSummary& mSummary;
    TValueView mValues;
    TValueRange mRange = NoValues;
    TPiece mMin;
    TPiece mMax;
};

TValueExtremes TSeriesSummary::Extremes(TValueView values, std::size_t first, std::size_t last) const
{
    TExtremesSearch search(*this, values, first);
    std::size_t firstBucket = CeilDiv(first, FirstBucketPoints);
    std::size_t lastBucket = last / FirstBucketPoints;
    if (firstBucket >= lastBucket) {
        search.TakePoints(first, last);
        return search.Result();
    }
    search.TakePoints(first, firstBucket * FirstBucketPoints);

    // Whole buckets of each level at the left end, going up while the level
    // above has whole buckets in between; the right ends wait for the way
    // down, so that the pieces are read in index order.
    struct TSpan {
        std::size_t First;
        std::size_t Last;
    };
    // Enough for the levels of any count of points.
    std::array<TSpan, 24> right;
    std::size_t rightCount = 0;
    std::size_t level = 0;
    for (;; ++level) {
        const std::size_t firstParent = CeilDiv(firstBucket, Fanout);
        const std::size_t lastParent = lastBucket / Fanout;
        if (level + 1 >= mLevels.size() || firstParent >= lastParent) {
            search.TakeBuckets(static_cast<int>(level), firstBucket, lastBucket);
            break;
        }
        search.TakeBuckets(static_cast<int>(level), firstBucket, firstParent * Fanout);
        right[rightCount++] = {lastParent * Fanout, lastBucket};
        firstBucket = firstParent;
        lastBucket = lastParent;
    }
    while (rightCount > 0) {
        --level;
        --rightCount;
        search.TakeBuckets(static_cast<int>(level), right[rightCount].First, right[rightCount].Last);
    }
    search.TakePoints(last / FirstBucketPoints * FirstBucketPoints, last);
    return search.Result();
}

TValueRange TSeriesSummary::Whole() const
{
    return mCount == 0 ? NoValues : mLevels.back().front();
}
