#include "chart/SeriesSummary.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

// Values as a series holds them, updated the way a series updates its
// summary, and checked against a plain scan.
class SummarisedValues {
public:
    void Append(const std::vector<double>& block)
    {
        const std::size_t changed = mValues.size();
        mValues.insert(mValues.end(), block.begin(), block.end());
        mSummary.Update(View(), mValues.size(), changed);
    }
    void Insert(std::size_t at, const std::vector<double>& block)
    {
        mValues.insert(mValues.begin() + static_cast<std::ptrdiff_t>(at), block.begin(), block.end());
        mSummary.Update(View(), mValues.size(), at);
    }

    // Ranges between the ends, random places, and places on and beside bucket
    // edges of the first three levels.
    void ExpectRangesRight(std::mt19937& random) const
    {
        const std::size_t n = mValues.size();
        std::vector<std::size_t> cuts = {0, n};
        std::uniform_int_distribution<std::size_t> any(0, n);
        for (int i = 0; i < 16; ++i)
            cuts.push_back(any(random));
        for (std::size_t edge = TSeriesSummary::FirstBucketPoints; edge < n; edge *= TSeriesSummary::Fanout) {
            for (int i = 0; i < 5; ++i) {
                const std::size_t at = any(random) / edge * edge;
                for (std::size_t near : {at - 1, at, at + 1})
                    if (at > 0 && near <= n)
                        cuts.push_back(near);
            }
        }
        for (std::size_t a : cuts)
            for (std::size_t b : cuts)
                if (a < b)
                    ExpectRange(a, b);

        const TValueRange whole = mSummary.Whole();
        const TValueRange scanned = Scan(0, n);
        EXPECT_EQ(whole.Min, scanned.Min);
        EXPECT_EQ(whole.Max, scanned.Max);
        EXPECT_EQ(mSummary.Count(), n);
    }

    const TSeriesSummary& Summary() const { return mSummary; }

private:
    TValueView View() const { return {mValues.data(), 1}; }

    TValueRange Scan(std::size_t first, std::size_t last) const
    {
        TValueRange range{std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
        for (std::size_t i = first; i < last; ++i)
            range.Take(mValues[i]);
        return range;
    }

    // The extremes lie in the range, hold the smallest and largest value, and
    // are the first points that do; the sum is the values' sum (exact for
    // whole numbers, whatever the order of adding).
    void ExpectRange(std::size_t first, std::size_t last) const
    {
        const TValueRange expected = Scan(first, last);
        const TValueExtremes actual = mSummary.Extremes(View(), first, last);
        const auto where = [&] {
            return std::to_string(first) + ".." + std::to_string(last) + " of " + std::to_string(mValues.size());
        };
        double sum = 0;
        for (std::size_t i = first; i < last; ++i)
            sum += mValues[i];
        const double summed = mSummary.Sum(View(), first, last);
        if (std::isnan(sum))
            ASSERT_TRUE(std::isnan(summed)) << where();
        else
            ASSERT_EQ(summed, sum) << where();
        if (expected.Empty()) {
            ASSERT_EQ(actual.MinIndex, first) << where();
            ASSERT_EQ(actual.MaxIndex, first) << where();
            return;
        }
        ASSERT_GE(actual.MinIndex, first) << where();
        ASSERT_GE(actual.MaxIndex, first) << where();
        ASSERT_LT(actual.MinIndex, last) << where();
        ASSERT_LT(actual.MaxIndex, last) << where();
        ASSERT_EQ(mValues[actual.MinIndex], expected.Min) << where();
        ASSERT_EQ(mValues[actual.MaxIndex], expected.Max) << where();
        ASSERT_EQ(Scan(first, actual.MinIndex).Min > expected.Min, true) << "not the first minimum " << where();
        ASSERT_EQ(Scan(first, actual.MaxIndex).Max < expected.Max, true) << "not the first maximum " << where();
    }

    std::vector<double> mValues;
    TSeriesSummary mSummary;
};

// Whole numbers from a small set, so that the extremes repeat.
std::vector<double> RandomValues(std::mt19937& random, std::size_t count)
{
    std::uniform_int_distribution<int> value(-300, 300);
    std::vector<double> values(count);
    for (double& v : values)
        v = value(random);
    return values;
}

} // namespace

TEST(SeriesSummary, AppendedBlocksOfAnySizeAcrossBucketEdges)
{
    std::mt19937 random(1);
    SummarisedValues values;
    values.ExpectRangesRight(random);  // empty
    EXPECT_TRUE(values.Summary().Whole().Empty());
    // Single points, blocks that end just before, on and after bucket edges,
    // and blocks spanning several levels.
    for (std::size_t size : {1, 1, 61, 1, 64, 65, 447, 513, 1, 4096, 7, 40000}) {
        values.Append(RandomValues(random, size));
        values.ExpectRangesRight(random);
    }
}

TEST(SeriesSummary, InsertsInTheMiddleMoveTheLaterBuckets)
{
    std::mt19937 random(2);
    SummarisedValues values;
    values.Append(RandomValues(random, 5000));
    // At the front, inside a bucket, on a bucket edge and just before the end;
    // then a block large enough to push values up a level.
    const std::pair<std::size_t, std::size_t> inserts[] = {{0, 1}, {100, 1}, {512, 3}, {5003, 1}, {70, 700}};
    for (const auto& [at, size] : inserts) {
        values.Insert(at, RandomValues(random, size));
        values.ExpectRangesRight(random);
    }
    // An extreme value inserted in the middle shows in the whole range.
    values.Insert(3000, {1e6});
    EXPECT_EQ(values.Summary().Whole().Max, 1e6);
    values.ExpectRangesRight(random);
}

TEST(SeriesSummary, NanTakesNoPartAndMarksTheValuesNotFinite)
{
    std::mt19937 random(3);
    SummarisedValues values;
    values.Append(RandomValues(random, 200));
    EXPECT_TRUE(values.Summary().AllFinite());
    std::vector<double> nan(100, std::numeric_limits<double>::quiet_NaN());
    nan[50] = 5000;
    values.Append(nan);
    values.ExpectRangesRight(random);
    EXPECT_EQ(values.Summary().Whole().Max, 5000);
    EXPECT_FALSE(values.Summary().AllFinite());

    SummarisedValues onlyNan;
    onlyNan.Append(std::vector<double>(70, std::numeric_limits<double>::quiet_NaN()));
    EXPECT_TRUE(onlyNan.Summary().Whole().Empty());
}
