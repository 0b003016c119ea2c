#pragma once

class QCPAxis;
class TChart;

// The time axis: a manual range of TDateTime values.
class TTimeAxis {
public:
    explicit TTimeAxis(TChart& chart, QCPAxis* axis);

    double Minimum() const { return mMin; }
    double Maximum() const { return mMax; }
    // Each refuses, with an Exception, a minimum above the maximum or a
    // maximum below the minimum.
    void SetMinimum(double value);
    void SetMaximum(double value);
    // Sets both bounds in one step; reversed bounds are swapped.
    void SetMinMax(double a, double b);

    // The axis value at a pixel column of the chart, also outside the plot.
    double CalcPosPoint(int x) const;

private:
    void Apply();

    TChart& mChart;
    QCPAxis* mAxis;
    double mMin = 0;
    double mMax = 0;
};

// The value axis: its range follows the active series. With lanes shown, it is
// the first lane's.
class TValueAxis {
public:
    explicit TValueAxis(TChart& chart, QCPAxis* axis);

    double Minimum() const;
    double Maximum() const;
    // Computes the range from the active series at once, each lane's from its
    // own series when lanes are shown.
    void AdjustNow();

private:
    TChart& mChart;
    QCPAxis* mAxis;
};
