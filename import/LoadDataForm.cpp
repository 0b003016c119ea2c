#include "import/LoadDataForm.h"

#include "common/AccessibleNames.h"
#include "common/TimeText.h"
#include "chart/Chart.h"
#include "chartdata/ChartData.h"
#include "common/Fonts.h"
#include "common/LoadProgressDialog.h"
#include "common/MessageBoxes.h"
#include "database/Database.h"
#include "common/WaitCursor.h"
#include "import/CheckedDateEdit.h"
#include "logger/LoggerFile.h"

#include <QComboBox>
#include <QDateTime>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QStyleOption>
#include <QTabWidget>
#include <QTimeEdit>

#include <algorithm>

namespace {

// The width at which a time edit shows every time of day whole in its
// format and locale: the widest text, measured over all hours and minutes,
// with the frame and the arrows around it.
int WidthForEveryTime(const QTimeEdit& edit)
{
    edit.ensurePolished();
    const QFontMetrics metrics = edit.fontMetrics();
    int widest = 0;
    for (int hour = 0; hour < 24; ++hour) {
        for (int minute = 0; minute < 60; ++minute) {
            const QString text = edit.locale().toString(QTime(hour, minute, minute), edit.displayFormat());
            widest = std::max(widest, metrics.horizontalAdvance(text));
        }
    }
    // As the edit measures its own text: a blank after it and room for the
    // text cursor.
    const QSize text(widest + metrics.horizontalAdvance(QLatin1Char(' ')) + 2, edit.sizeHint().height());
    QStyleOptionSpinBox option;
    option.initFrom(&edit);
    option.frame = edit.hasFrame();
    option.buttonSymbols = edit.buttonSymbols();
    option.subControls = QStyle::SC_SpinBoxFrame | QStyle::SC_SpinBoxEditField | QStyle::SC_SpinBoxUp
                         | QStyle::SC_SpinBoxDown;
    return edit.style()->sizeFromContents(QStyle::CT_SpinBox, &option, text, &edit).width();
}

} // namespace

TfrmLoadData::TfrmLoadData(TLoadDataHost& host)
    : QDialog(host.HostWindow(), Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      mHost(host),
      mRandom(static_cast<std::uint64_t>(QDateTime::currentMSecsSinceEpoch()))
{
    setWindowTitle(QStringLiteral("Load Chart Data"));
    setFont(ArialFont(13));
    setFixedSize(442, 487);

    Label1 = new QLabel(QStringLiteral("Start Translation Time:"), this);
    Label1->move(16, 17);
    dtpDate = new TCheckedDateEdit(this);
    dtpDate->setGeometry(154, 13, 143, 24);
    dtpDate->SetDate(QDate(2016, 10, 31));
    dtpDate->SetChecked(false);
    dtpTime = new QTimeEdit(this);
    dtpTime->setGeometry(300, 13, 85, 24);
    dtpTime->setDisplayFormat(LongTimeFormat(QLocale()));
    dtpTime->setTime(QTime(7, 0, 0));
    // Wider where the locale's times need it ("12:00:00 PM").
    dtpTime->resize(std::max(dtpTime->width(), WidthForEveryTime(*dtpTime)), dtpTime->height());
    NameByLabel(Label1, dtpTime);
    dtpDate->SetAccessibleNames(QStringLiteral("Start Translation Date"));

    PageControl = new QTabWidget(this);
    PageControl->setGeometry(16, 56, 409, 417);
    // The tabs in their order: each adds itself at the end.
    CreateDatabaseTab();
    CreateExcelTab();
    CreateTextTab();
    CreateTestDataTab();
    CreateLoggerTab();
    PageControl->setCurrentIndex(0);
}

TfrmLoadData::~TfrmLoadData() = default;

bool TfrmLoadData::RunLoadDataDialog()
{
    move(mHost.DialogPosition());
    return exec() == QDialog::Accepted;
}

bool TfrmLoadData::IsDateChecked() const
{
    return dtpDate->Checked();
}

TDateTime TfrmLoadData::StartTime() const
{
    return StartTranslationTime(IsDateChecked(), EncodeDate(dtpDate->Date()), EncodeTime(dtpTime->time()));
}

TLoadWindow TfrmLoadData::Window() const
{
    return MakeLoadWindow(StartTime(), mHost.TargetVideoDuration());
}

void TfrmLoadData::CreateImportSeries(const QList<TFieldChoice>& fields)
{
    ImportSeries.clear();
    for (const TFieldChoice& field : fields) {
        TFastLineSeries* series = AddChartSeries(mHost.TargetChart(), field.Field.toUtf8());
        series->SetShowInLegend(true);
        series->SetTag(field.Index);
        ImportSeries.append({field.Field, series});
    }
}

bool TfrmLoadData::RunImport(const std::function<void(TLoadProgress* progress)>& load)
{
    const TChartReplotHold hold(mHost.TargetChart());
    TLoadProgressDialog progress(this, QStringLiteral("Loading the chart data..."));
    try {
        WaitCursor wait;
        load(&progress);
    } catch (const LoadCancelled&) {
        DropImportSeries();
        return false;
    }
    return true;
}

void TfrmLoadData::DropImportSeries()
{
    TChart& chart = mHost.TargetChart();
    for (const TImportEntry& entry : ImportSeries) {
        for (int i = chart.SeriesCount() - 1; i >= 1; --i) {
            if (chart.Series(i) == entry.Series)
                chart.FreeSeries(i);
        }
    }
    ImportSeries.clear();
}

void TfrmLoadData::LoadSucceeded()
{
    accept();
}

QPushButton* TfrmLoadData::TabButton(QWidget* tab, const QRect& geometry, const QString& caption)
{
    auto* button = new QPushButton(caption, tab);
    button->setGeometry(geometry);
    // Reached with the Tab key; a click leaves the focus where it was.
    button->setFocusPolicy(Qt::TabFocus);
    button->setAutoDefault(false);
    return button;
}

QComboBox* TfrmLoadData::TabDropDownList(QWidget* tab, const QPoint& place, int width)
{
    auto* list = new QComboBox(tab);
    list->setEditable(false);
    list->move(place);
    list->resize(width, list->sizeHint().height());
    return list;
}

void TfrmLoadData::FillChoices(QComboBox* timeList, QListWidget* dataList, const QStringList& entries)
{
    timeList->clear();
    dataList->clear();
    for (const QString& entry : entries) {
        timeList->addItem(entry);
        auto* item = new QListWidgetItem(entry, dataList);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    timeList->setCurrentIndex(-1);
    // A new list starts at its top, not where the previous one was scrolled.
    dataList->scrollToTop();
    dataList->setCurrentRow(-1);
}

QList<TfrmLoadData::TFieldChoice> TfrmLoadData::CheckedEntries(const QListWidget* list)
{
    QList<TFieldChoice> entries;
    for (int row = 0; row < list->count(); ++row) {
        const QListWidgetItem* item = list->item(row);
        if (item->checkState() == Qt::Checked)
            entries.append({item->text(), row});
    }
    return entries;
}

std::vector<TFastLineSeries*> TfrmLoadData::ImportedSeries() const
{
    std::vector<TFastLineSeries*> series;
    for (const TImportEntry& entry : ImportSeries)
        series.push_back(entry.Series);
    return series;
}

void TfrmLoadData::ConnectCommand(QPushButton* button, void (TfrmLoadData::*handler)())
{
    connect(button, &QPushButton::clicked, this, [this, handler] { RunCommand([this, handler] { (this->*handler)(); }); });
}
