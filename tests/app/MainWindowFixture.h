#pragma once

#include "app/MainForm.h"
#include "chart/Chart.h"
#include "tests/support/FakeVideoPlayer.h"

#include <QLocale>
#include <QTest>
#include <gtest/gtest.h>
#include <qcustomplot.h>

// The real main window over a player whose position the test reports.
class MainWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        auto fake = std::make_unique<FakeVideoPlayer>();
        player = fake.get();
        window = std::make_unique<TfrmMain>(std::move(fake));
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    void TearDown() override { QLocale::setDefault(QLocale::c()); }

    TChart& Chart() const { return *window->ChartAll; }
    TTimeAxis& Axis() const { return window->ChartAll->BottomAxis(); }

    // Opens a video of this many seconds with the given start time.
    void OpenVideo(float seconds, TDateTime startTime = 0, const QString& fileName = QStringLiteral("/nonexistent/clip.mp4"))
    {
        player->Duration = seconds;
        window->StartTime = startTime;
        window->OpenVideoFile(fileName);
        Chart().ReplotNow();
    }

    // The chart's pixel column of a time.
    int ColumnOf(TDateTime t) const
    {
        const QCustomPlot* plot = Chart().Plot();
        return qRound(plot->xAxis->coordToPixel(t)) + plot->x();
    }

    void PressChart(int x, int y, Qt::MouseButton button = Qt::LeftButton)
    {
        QCustomPlot* plot = Chart().Plot();
        QTest::mousePress(plot, button, Qt::NoModifier, QPoint(x, y) - plot->pos());
        QTest::mouseRelease(plot, button, Qt::NoModifier, QPoint(x, y) - plot->pos());
    }

    FakeVideoPlayer* player = nullptr;
    std::unique_ptr<TfrmMain> window;
};

inline TDateTime At(int h, int m, double s = 0)
{
    return (h * 3600 + m * 60 + s) / SecondsPerDay;
}
