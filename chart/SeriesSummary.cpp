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
    ++mVersion;
    std::size_t first = std::min(changed, count) / FirstBucketPoints;
    std::size_t below = CeilDiv(count, FirstBucketPoints);
    if (mLevels.empty())
        mLevels.emplace_back();
    TLevel& points = mLevels[0];
    points.Ranges.resize(below);
    points.At.resize(below);
    points.Sums.resize(below);
    bool finite = true;
    for (std::size_t b = first; b < below; ++b) {
        const std::size_t begin = b * FirstBucketPoints;
        const std::size_t end = std::min(count, begin + FirstBucketPoints);
        // The range first, in a loop without stores the compiler can widen,
        // then where it lies, in points that are still in the cache.
        TValueRange range = NoValues;
        double sum = 0;
        for (std::size_t i = begin; i < end; ++i) {
            const double value = values[i];
            finite = finite && std::isfinite(value);
            range.Min = value < range.Min ? value : range.Min;
            range.Max = value > range.Max ? value : range.Max;
            sum += value;
        }
        TExtremesAt at{0, 0};
        if (!range.Empty()) {
            std::size_t i = begin;
            while (values[i] != range.Min)
                ++i;
            at.Min = static_cast<unsigned char>(i - begin);
            i = begin;
            while (values[i] != range.Max)
                ++i;
            at.Max = static_cast<unsigned char>(i - begin);
        }
        points.Ranges[b] = range;
        points.At[b] = at;
        points.Sums[b] = sum;
    }
    if (!finite)
        mAllFinite = false;

    // Each level above takes Fanout buckets of the one below, up to a level of
    // one bucket.
    std::size_t level = 1;
    for (; below > 1; ++level) {
        if (mLevels.size() <= level)
            mLevels.emplace_back();
        const std::vector<TValueRange>& children = mLevels[level - 1].Ranges;
        const std::vector<double>& childSums = mLevels[level - 1].Sums;
        TLevel& buckets = mLevels[level];
        const std::size_t size = CeilDiv(below, Fanout);
        buckets.Ranges.resize(size);
        buckets.At.resize(size);
        buckets.Sums.resize(size);
        first /= Fanout;
        for (std::size_t b = first; b < size; ++b) {
            TValueRange range = NoValues;
            TExtremesAt at{0, 0};
            double sum = 0;
            const std::size_t begin = b * Fanout;
            const std::size_t end = std::min(below, begin + Fanout);
            for (std::size_t c = begin; c < end; ++c) {
                sum += childSums[c];
                if (children[c].Min < range.Min) {
                    range.Min = children[c].Min;
                    at.Min = static_cast<unsigned char>(c - begin);
                }
                if (children[c].Max > range.Max) {
                    range.Max = children[c].Max;
                    at.Max = static_cast<unsigned char>(c - begin);
                }
            }
            buckets.Ranges[b] = range;
            buckets.At[b] = at;
            buckets.Sums[b] = sum;
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

    // Points from first to last, all in one bucket of the first level. When
    // the bucket's own extremes lie among them they are the extremes of these
    // points too, and none need be read.
    void TakePart(std::size_t first, std::size_t last)
    {
        if (first >= last)
            return;
        const std::size_t bucket = first / FirstBucketPoints;
        const std::size_t begin = bucket * FirstBucketPoints;
        const TLevel& points = mSummary.mLevels[0];
        const std::size_t minAt = begin + points.At[bucket].Min;
        const std::size_t maxAt = begin + points.At[bucket].Max;
        if (first <= minAt && minAt < last && first <= maxAt && maxAt < last) {
            TakeMin(points.Ranges[bucket].Min, {-1, minAt});
            TakeMax(points.Ranges[bucket].Max, {-1, maxAt});
            return;
        }
        for (std::size_t i = first; i < last; ++i) {
            const double value = mValues[i];
            TakeMin(value, {-1, i});
            TakeMax(value, {-1, i});
        }
    }

    void TakeBuckets(int level, std::size_t first, std::size_t last)
    {
        const std::vector<TValueRange>& buckets = mSummary.mLevels[static_cast<std::size_t>(level)].Ranges;
        for (std::size_t b = first; b < last; ++b) {
            TakeMin(buckets[b].Min, {level, b});
            TakeMax(buckets[b].Max, {level, b});
        }
    }

    TValueExtremes Result() const { return {PointOf(mMin, &TExtremesAt::Min), PointOf(mMax, &TExtremesAt::Max)}; }

private:
    // A point (level -1) or a bucket of a level.
    struct TPiece {
        int Level;
        std::size_t Index;
    };

    void TakeMin(double value, TPiece piece)
    {
        if (value < mRange.Min) {
            mRange.Min = value;
            mMin = piece;
        }
    }
    void TakeMax(double value, TPiece piece)
    {
        if (value > mRange.Max) {
            mRange.Max = value;
            mMax = piece;
        }
    }

    std::size_t PointOf(TPiece piece, unsigned char TExtremesAt::*at) const
    {
        if (piece.Level < 0)
            return piece.Index;
        std::size_t index = piece.Index;
        for (std::size_t level = static_cast<std::size_t>(piece.Level); level > 0; --level)
            index = index * Fanout + mSummary.mLevels[level].At[index].*at;
        return index * FirstBucketPoints + mSummary.mLevels[0].At[index].*at;
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
        // Within one bucket, or across the edge of two.
        const std::size_t edge = std::min(last, (first / FirstBucketPoints + 1) * FirstBucketPoints);
        search.TakePart(first, edge);
        search.TakePart(edge, last);
        return search.Result();
    }
    search.TakePart(first, firstBucket * FirstBucketPoints);

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
    search.TakePart(last / FirstBucketPoints * FirstBucketPoints, last);
    return search.Result();
}

double TSeriesSummary::Sum(TValueView values, std::size_t first, std::size_t last) const
{
    double sum = 0;
    const auto addPoints = [&](std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i)
            sum += values[i];
    };
    const auto addBuckets = [&](std::size_t level, std::size_t from, std::size_t to) {
        for (std::size_t b = from; b < to; ++b)
            sum += mLevels[level].Sums[b];
    };
    std::size_t firstBucket = CeilDiv(first, FirstBucketPoints);
    std::size_t lastBucket = last / FirstBucketPoints;
    if (firstBucket >= lastBucket) {
        addPoints(first, last);
        return sum;
    }
    addPoints(first, firstBucket * FirstBucketPoints);
    addPoints(lastBucket * FirstBucketPoints, last);
    // The whole buckets at both ends of each level, going up while the level
    // above has whole buckets in between.
    for (std::size_t level = 0;; ++level) {
        const std::size_t firstParent = CeilDiv(firstBucket, Fanout);
        const std::size_t lastParent = lastBucket / Fanout;
        if (level + 1 >= mLevels.size() || firstParent >= lastParent) {
            addBuckets(level, firstBucket, lastBucket);
            return sum;
        }
        addBuckets(level, firstBucket, firstParent * Fanout);
        addBuckets(level, lastParent * Fanout, lastBucket);
        firstBucket = firstParent;
        lastBucket = lastParent;
    }
}

void TSeriesSummary::Prefetch(TValueView values, std::size_t index) const
{
    __builtin_prefetch(values.first + static_cast<std::ptrdiff_t>(index) * values.stride);
    // A search reads the buckets beside an end of its range up to the edge
    // of their parent, on the two lowest levels; those above stay cached.
    std::size_t bucket = index / FirstBucketPoints;
    for (std::size_t level = 0; level < std::min<std::size_t>(2, mLevels.size()); ++level) {
        const std::vector<TValueRange>& ranges = mLevels[level].Ranges;
        const std::size_t siblings = bucket / Fanout * Fanout;
        if (siblings >= ranges.size())
            return;
        __builtin_prefetch(&ranges[siblings]);
        __builtin_prefetch(&ranges[std::min(siblings + Fanout, ranges.size()) - 1]);
        __builtin_prefetch(&mLevels[level].At[siblings]);
        bucket /= Fanout;
    }
}

TValueRange TSeriesSummary::Whole() const
{
    return mCount == 0 ? NoValues : mLevels.back().Ranges.front();
}
