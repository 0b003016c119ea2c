// The "Logger File" tab: series from the channels of a data logger's or an
// analysis tool's file (MDF, TDMS, MATLAB, HDF5), chosen in its channel tree.
#include "import/LoadDataForm.h"

#include "common/AccessibleNames.h"
#include "common/MessageBoxes.h"
#include "common/PlacedLabel.h"
#include "common/WaitCursor.h"
#include "import/LoggerLoad.h"
#include "import/LoggerTreeModel.h"
#include "logger/LoggerFile.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeView>

namespace {

const QString LoggerFileFilter =
    QStringLiteral("Logger Files (*.mf4 *.mdf *.dat *.tdms *.mat *.h5 *.hdf5);;All Files (*)");
const QString ClockFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz");
// Ticked channels whose span the tab shows at most.
constexpr std::size_t ShownSpans = 200;

QString ClockText(TDateTime value)
{
    return DateTimeToQDateTime(value).toString(ClockFormat);
}

} // namespace

void TfrmLoadData::CreateLoggerTab()
{
    TabSheet5 = new QWidget;
    PageControl->addTab(TabSheet5, QStringLiteral("Logger File"));
    sbnOpenLoggerFile = TabButton(TabSheet5, QRect(8, 6, 200, 28), QStringLiteral("Select Logger File"));
    lblLoggerFileName = new QLabel(TabSheet5);
    lblLoggerFileName->setGeometry(8, 36, 389, 20);
    edtLoggerFilter = new QLineEdit(TabSheet5);
    edtLoggerFilter->setGeometry(8, 58, 389, 24);
    edtLoggerFilter->setPlaceholderText(QStringLiteral("Filter channels"));
    edtLoggerFilter->setAccessibleName(QStringLiteral("Filter channels"));

    LoggerChannels = new TLoggerTreeModel(this);
    tvwLoggerChannels = new QTreeView(TabSheet5);
    tvwLoggerChannels->setGeometry(8, 86, 389, 146);
    tvwLoggerChannels->setAccessibleName(QStringLiteral("Channels"));
    // Every row one line high: the view then lays out 100,000 rows at once.
    tvwLoggerChannels->setUniformRowHeights(true);
    tvwLoggerChannels->setModel(LoggerChannels);
    tvwLoggerChannels->header()->resizeSection(TLoggerTreeModel::NameColumn, 170);
    tvwLoggerChannels->header()->resizeSection(TLoggerTreeModel::UnitColumn, 50);
    tvwLoggerChannels->header()->resizeSection(TLoggerTreeModel::SamplesColumn, 70);

    lblLoggerTime = PlacedLabel(TabSheet5, QPoint(8, 241), QStringLiteral("Time"));
    cbxLoggerTime = TabDropDownList(TabSheet5, QPoint(70, 238), 175);
    lblLoggerTimeUnit = PlacedLabel(TabSheet5, QPoint(250, 241), QStringLiteral("Unit"));
    cbxLoggerTimeUnit = TabDropDownList(TabSheet5, QPoint(282, 238), 115);
    cbxLoggerTimeUnit->addItems({QStringLiteral("Seconds"), QStringLiteral("MATLAB datenum"),
                                 QStringLiteral("POSIX seconds")});
    NameByLabel(lblLoggerTime, cbxLoggerTime);
    NameByLabel(lblLoggerTimeUnit, cbxLoggerTimeUnit);
    lblLoggerZero = PlacedLabel(TabSheet5, QPoint(8, 272), QStringLiteral("Zero at"));
    dtpLoggerZero = new QDateTimeEdit(TabSheet5);
    dtpLoggerZero->setGeometry(70, 268, 210, 24);
    dtpLoggerZero->setDisplayFormat(ClockFormat);
    dtpLoggerZero->setToolTip(QStringLiteral("The clock time of the file's time zero"));
    NameByLabel(lblLoggerZero, dtpLoggerZero);
    lstLoggerSpans = new QListWidget(TabSheet5);
    lstLoggerSpans->setGeometry(8, 298, 389, 50);
    lstLoggerSpans->setAccessibleName(QStringLiteral("Time spans"));
    sbnLoadLoggerData = TabButton(TabSheet5, QRect(8, 352, 389, 30), QStringLiteral("Load Logger Data"));
    FillLoggerTimes();

    connect(edtLoggerFilter, &QLineEdit::textChanged, LoggerChannels, &TLoggerTreeModel::SetFilter);
    // A filtered tree shows its groups open.
    connect(LoggerChannels, &QAbstractItemModel::modelReset, tvwLoggerChannels, [this] {
        if (!LoggerChannels->Filter().isEmpty())
            tvwLoggerChannels->expandAll();
    });
    const auto spans = [this] { RunCommand([this] { ShowLoggerSpans(); }); };
    connect(LoggerChannels, &TLoggerTreeModel::TickedChanged, this, spans);
    connect(cbxLoggerTime, &QComboBox::currentIndexChanged, this, spans);
    connect(cbxLoggerTimeUnit, &QComboBox::currentIndexChanged, this, spans);
    connect(dtpLoggerZero, &QDateTimeEdit::dateTimeChanged, this, spans);
    ConnectCommand(sbnOpenLoggerFile, &TfrmLoadData::sbnOpenLoggerFileClick);
    ConnectCommand(sbnLoadLoggerData, &TfrmLoadData::sbnLoadLoggerDataClick);
}

void TfrmLoadData::sbnOpenLoggerFileClick()
{
    const QString fileName = QFileDialog::getOpenFileName(this, QString(), QFileInfo(lblLoggerFileName->text()).path(),
                                                          LoggerFileFilter);
    if (fileName.isEmpty())
        return;
    OpenLoggerFile(fileName);
}

void TfrmLoadData::OpenLoggerFile(const QString& fileName)
{
    std::unique_ptr<TLoggerFile> file;
    {
        WaitCursor wait;
        file = ::OpenLoggerFile(fileName);
    }
    LoggerFile = std::move(file);
    lblLoggerFileName->setText(fileName);
    lblLoggerFileName->setToolTip(fileName);
    edtLoggerFilter->clear();
    LoggerChannels->SetNodes(LoggerFile->Nodes());
    FillLoggerTimes();
}

void TfrmLoadData::FillLoggerTimes()
{
    const QSignalBlocker blockTime(cbxLoggerTime);
    const QSignalBlocker blockZero(dtpLoggerZero);
    cbxLoggerTime->clear();
    cbxLoggerTime->addItem(QStringLiteral("The file's own"), -1);
    if (LoggerFile) {
        const std::vector<TLoggerNode>& nodes = LoggerFile->Nodes();
        for (std::size_t i = 0; i < nodes.size(); ++i) {
            if (!nodes[i].Channel || !nodes[i].Unloadable.isEmpty())
                continue;
            QString path = nodes[i].Name;
            for (int parent = nodes[i].Parent; parent >= 0; parent = nodes[std::size_t(parent)].Parent)
                path = nodes[std::size_t(parent)].Name + QLatin1Char('/') + path;
            cbxLoggerTime->addItem(path, int(i));
        }
    }
    cbxLoggerTime->setCurrentIndex(0);
    // A file that records its start places its samples by it; otherwise its
    // zero is where the video starts unless the user says otherwise.
    const bool recorded = LoggerFile && LoggerFile->RecordedStart();
    dtpLoggerZero->setEnabled(!recorded);
    dtpLoggerZero->setDateTime(DateTimeToQDateTime(recorded ? *LoggerFile->RecordedStart() : StartTime()));
    ShowLoggerSpans();
}

TLoggerTime TfrmLoadData::LoggerTime() const
{
    TLoggerTime time;
    time.TimeNode = cbxLoggerTime->currentData().toInt();
    time.Unit = static_cast<TLoggerTimeUnit>(std::max(0, cbxLoggerTimeUnit->currentIndex()));
    time.Zero = DateTimeFromQDateTime(dtpLoggerZero->dateTime());
    return time;
}

void TfrmLoadData::ShowLoggerSpans()
{
    cbxLoggerTimeUnit->setEnabled(cbxLoggerTime->currentData().toInt() >= 0);
    lstLoggerSpans->clear();
    if (!LoggerFile)
        return;
    const std::vector<int> ticked = LoggerChannels->Ticked();
    const TLoggerTime time = LoggerTime();
    const QStringList titles = LoggerSeriesTitles(LoggerFile->Nodes(), ticked);
    WaitCursor wait;
    for (std::size_t i = 0; i < ticked.size() && i < ShownSpans; ++i) {
        TDateTime first = 0;
        TDateTime last = 0;
        QString span;
        try {
            span = LoggerFile->TimeSpan(ticked[i], time, first, last)
                       ? QStringLiteral("%1 to %2").arg(ClockText(first), ClockText(last))
                       : QStringLiteral("no samples");
        } catch (const Exception& e) {
            span = e.Message();
        }
        lstLoggerSpans->addItem(QStringLiteral("%1: %2").arg(titles[int(i)], span));
    }
    if (ticked.size() > ShownSpans)
        lstLoggerSpans->addItem(QStringLiteral("... and %1 more").arg(ticked.size() - ShownSpans));
}

bool TfrmLoadData::RunLoggerFileDialog(const QString& fileName)
{
    PageControl->setCurrentWidget(TabSheet5);
    RunCommand([&] { OpenLoggerFile(fileName); });
    return RunLoadDataDialog();
}

bool TfrmLoadData::CheckLoggerInput()
{
    QString failure;
    if (!LoggerFile)
        failure = QStringLiteral("The logger file is NOT selected.");
    else if (LoggerChannels->Ticked().empty())
        failure = QStringLiteral("No one channel selected.");
    if (failure.isEmpty())
        return true;
    ShowWarningBox(failure);
    return false;
}

void TfrmLoadData::sbnLoadLoggerDataClick()
{
    if (!CheckLoggerInput())
        return;
    const std::vector<int> channels = LoggerChannels->Ticked();
    const QStringList titles = LoggerSeriesTitles(LoggerFile->Nodes(), channels);
    QList<TFieldChoice> fields;
    for (std::size_t i = 0; i < channels.size(); ++i)
        fields.append({titles[int(i)], channels[i]});
    CreateImportSeries(fields);
    const TLoggerTime time = LoggerTime();
    const TLoadWindow window = Window();
    bool loaded = false;
    try {
        loaded = RunImport([&](TLoadProgress* progress) {
            LoadLoggerChannels(*LoggerFile, channels, time, window, ImportedSeries(), progress);
        });
    } catch (...) {
        // A load that fails adds nothing.
        DropImportSeries();
        throw;
    }
    if (loaded)
        LoadSucceeded();
}
