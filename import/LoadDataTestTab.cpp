// The "Test Data" tab: generated series for trying out the chart and video.
#include "import/LoadDataForm.h"

#include "chart/Chart.h"
#include "chartdata/ChartData.h"

#include <QPushButton>
#include <QTabWidget>

void TfrmLoadData::CreateTestDataTab()
{
    TabSheet4 = new QWidget;
    PageControl->addTab(TabSheet4, QStringLiteral("Test Data"));
    sbnLoadTestData3 = TabButton(TabSheet4, QRect(16, 24, 320, 32), QStringLiteral("Load Test Data"));
    sbnLoadTestData2 = TabButton(TabSheet4, QRect(16, 72, 320, 32), QStringLiteral("Load Test Data 2"));
    sbnLoadTestData2->setVisible(false);
    ConnectCommand(sbnLoadTestData3, &TfrmLoadData::sbnLoadTestData3Click);
    ConnectCommand(sbnLoadTestData2, &TfrmLoadData::sbnLoadTestData2Click);
}

void TfrmLoadData::AddTestSeries(std::vector<TChartPoint> (*generate)(const TLoadWindow&, TRandom&))
{
    TChart& chart = mHost.TargetChart();
    // Named after its colour's entry: the number of series before it.
    TFastLineSeries* series = AddChartSeries(chart, "Test data " + QByteArray::number(chart.SeriesCount()));
    series->SetShowInLegend(true);
    const std::vector<TChartPoint> points = generate(Window(), mRandom);
    series->AddPoints(points.data(), points.size());
    LoadSucceeded();
}

void TfrmLoadData::sbnLoadTestData3Click()
{
    AddTestSeries(RandomWalkTestData);
}

void TfrmLoadData::sbnLoadTestData2Click()
{
    AddTestSeries(SineTestData);
}
