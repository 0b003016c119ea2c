#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Values of a series read in place: value i is at first[i * stride].
struct TValueView {
    const double* first;
    std::ptrdiff_t stride;

    double operator[](std::size_t i) const { return first[static_cast<std::ptrdiff_t>(i) * stride]; }
};

// The smallest and largest of some values; Min > Max when there is none
// (NaN takes no part).
struct TValueRange {
    double Min;
    double Max;

    bool Empty() const { return !(Min <= Max); }
    void Take(double value)
    {
        if (value < Min)
            Min = value;
        if (value > Max)
            Max = value;
    }
    void Take(const TValueRange& other)
    {
        if (other.Min < Min)
            Min = other.Min;
        if (other.Max > Max)
            Max = other.Max;
    }
};

// Indices of the points holding the smallest and the largest value.
struct TValueExtremes {
    std::size_t MinIndex;
    std::size_t MaxIndex;
};

// The smallest and largest value of every bucket of a series' points, in
// levels: a bucket of the first level covers FirstBucketPoints points, one of
// each next level Fanout buckets of the level below. Each bucket also keeps
// which of its points or buckets below holds its extremes first, so that the
// point holding an extreme is found by going down one step a level. It finds
// the extremes of the values between two indices by reading a handful of
// buckets and at most two partial buckets of points at the ends, whatever the
// number of points in between. The sum of every bucket answers the sum of
// the values between two indices the same way.
// Memory: 26 bytes per FirstBucketPoints points, about 0.47 bytes a point
// with all levels.
class TSeriesSummary {
public:
    static constexpr std::size_t FirstBucketPoints = 64;
    static constexpr std::size_t Fanout = 8;

    // Brings the summary up to date with values[0, count) when the values from
    // index changed on are new or moved (points appended, or inserted in the
    // middle), and those before it are as they were at the last update.
    void Update(TValueView values, std::size_t count, std::size_t changed);

    // Where the smallest and the largest of values[first, last) are: the
    // first point holding each. Both are first when every value is NaN.
    TValueExtremes Extremes(TValueView values, std::size_t first, std::size_t last) const;
    // The sum of values[first, last): NaN when one of them is.
    double Sum(TValueView values, std::size_t first, std::size_t last) const;
    // Asks the processor to fetch, ahead of a search that starts or ends at
    // index, the value there and the buckets the search reads beside it.
    void Prefetch(TValueView values, std::size_t index) const;
    // The range of all values.
    TValueRange Whole() const;
    // False once a value was NaN or infinite.
    bool AllFinite() const { return mAllFinite; }
    // Number of points summarised.
    std::size_t Count() const { return mCount; }
    // Changes with every update.
    std::uint64_t Version() const { return mVersion; }

private:
    class TExtremesSearch;

    // Where in a bucket its extremes lie first: the offset of the point, or
    // of the bucket of the level below.
    struct TExtremesAt {
        unsigned char Min;
        unsigned char Max;
    };
    struct TLevel {
        std::vector<TValueRange> Ranges;
        std::vector<TExtremesAt> At;
        std::vector<double> Sums;
    };
    static_assert(FirstBucketPoints <= 256 && Fanout <= 256, "offsets fit a byte");

    std::vector<TLevel> mLevels;
    std::size_t mCount = 0;
    std::uint64_t mVersion = 0;
    bool mAllFinite = true;
};
